// The "profiles.ini" reader over any bytes: each profile folder once, clean
// and inside the Firefox folder when relative, at most kMaxBrowserProfiles.

#include "FuzzSupport.h"

#include "browser/FirefoxBookmarks.h"

#include <QDir>

#include <set>

using namespace korvalo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString firefox = QStringLiteral("/home/user/.mozilla/firefox");
    const std::vector<FirefoxProfile> profiles = ParseFirefoxProfiles(bytes, firefox);
    FUZZ_CHECK(profiles.size() <= size_t(kMaxBrowserProfiles));
    std::set<QString> folders;
    for (const FirefoxProfile& p : profiles) {
        FUZZ_CHECK(folders.insert(p.folder).second);
        FUZZ_CHECK(QDir::cleanPath(p.folder) == p.folder);
        FUZZ_CHECK(!p.folder.contains(u'\n'));
    }
    return 0;
}
