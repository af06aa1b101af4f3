// The INI reader of Internet shortcuts and "opera.ini" over any bytes: names
// and values come trimmed and whole-line, the first section and key of a
// name win, and a shortcut's address is its URL value or "N/A".

#include "FuzzSupport.h"

#include "browser/BookmarkTree.h"
#include "browser/IniText.h"
#include "browser/InternetExplorerFavorites.h"

using namespace korvalo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const std::vector<IniSection> sections = parseIni(bytes);
    for (const IniSection& s : sections) {
        FUZZ_CHECK(s.name == s.name.trimmed() && !s.name.contains(']') && !s.name.contains('\n'));
        for (const auto& [key, value] : s.values) {
            FUZZ_CHECK(key == key.trimmed() && !key.contains('=') && !key.contains('\n'));
            FUZZ_CHECK(!value.contains('\n'));
        }
        // Looked up by name, a key gives the value of the first section of
        // that name that holds the key first.
        if (!s.values.empty()) {
            const auto found = iniValue(bytes, s.name, s.values.front().first);
            const IniSection* first = nullptr;
            for (const IniSection& t : sections)
                if (t.name.compare(s.name, Qt::CaseInsensitive) == 0) {
                    first = &t;
                    break;
                }
            FUZZ_CHECK(found == iniValue(*first, s.values.front().first));
        }
    }
    const auto url = iniValue(bytes, "InternetShortcut", "URL");
    FUZZ_CHECK(internetShortcutUrl(bytes) ==
               (url ? decodeBookmarkText(*url) : QStringLiteral("N/A")));
    iniValue(bytes, "USER PREFS", "HOT LIST FILE VER2");
    return 0;
}
