#include "online/ServerAddress.h"

#include <QtGlobal>

namespace korvalo {

QString ServerBaseAddress() {
    QString address = qEnvironmentVariable("KORVALO_SERVER").trimmed();
    while (address.endsWith(u'/'))
        address.chop(1);
    const qsizetype hostStart = address.indexOf(u"://") + 3;
    const bool usable = (address.startsWith(u"http://", Qt::CaseInsensitive) ||
                         address.startsWith(u"https://", Qt::CaseInsensitive)) &&
                        address.size() > hostStart;
    return usable ? address : QString::fromLatin1(kServerBaseAddress);
}

} // namespace korvalo
