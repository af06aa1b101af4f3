// The "nsreg.dat" reader over any bytes: one folder per "profilelocation"
// at most, none holding a NUL, and each folder's caption a single path part
// without '_'.

#include "FuzzSupport.h"

#include "browser/BookmarkTree.h"
#include "browser/CommunicatorProfiles.h"

using namespace korvalo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QStringList folders = ParseNsregProfileFolders(bytes);
    FUZZ_CHECK(folders.size() <= kMaxBrowserProfiles);
    FUZZ_CHECK(folders.size() <= bytes.toByteArray().toLower().count("profilelocation"));
    for (const QString& folder : folders) {
        FUZZ_CHECK(!folder.contains(QChar(0)));
        const QString caption = CommunicatorProfileCaption(folder);
        FUZZ_CHECK(!caption.contains(u'_') && !caption.contains(u'\\') && !caption.contains(u'/'));
        FUZZ_CHECK(caption.size() <= folder.size());
    }
    return 0;
}
