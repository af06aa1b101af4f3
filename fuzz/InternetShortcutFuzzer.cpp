// The shortcut reader over any bytes, and the round trip of an address
// through a shortcut as the program writes it.

#include "FuzzSupport.h"

#include "browser/InternetShortcut.h"

#include <QByteArray>
#include <QStringDecoder>

using namespace korvalo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    if (const auto address = shortcutAddress(bytes))
        FUZZ_CHECK(!address->contains(u' '));
    isShortcutFileName(QString::fromUtf8(bytes));

    // An address that fits one line and holds no blank reads back unchanged.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString address = utf8(bytes);
    if (size <= 90 && !utf8.hasError() && !bytes.contains(' ') && !bytes.contains('\r') &&
        !bytes.contains('\n')) {
        const QByteArray file = "[InternetShortcut]\r\nURL=" + bytes.toByteArray() + "\r\n";
        const auto read = shortcutAddress(file);
        FUZZ_CHECK(read && *read == address);
    }
    return 0;
}
