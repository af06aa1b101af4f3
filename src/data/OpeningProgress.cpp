#include "data/OpeningProgress.h"

#include "data/RecordReader.h"
#include "data/Records.h"

#include <sys/stat.h>

namespace korvalo {

OpenedSiteFile ScanOpenedSiteFile(const std::string& sitePath, const std::function<void()>& opened,
                                  const std::function<void()>& advance) {
    OpenedSiteFile scan;
    RecordReader in(kSiteRecordSize);
    struct stat st;
    if (!in.open(sitePath) || ::stat(sitePath.c_str(), &st) != 0)
        return scan;
    scan.opened = true;
    if (opened)
        opened();
    OpeningProgress progress(static_cast<uint64_t>(st.st_size));
    while (const uint8_t* record = in.next()) {
        if (progress.beforeRecord() && advance)
            advance();
        ++scan.siteCount;
        if (storedSiteCategoryId(record) == 1)
            scan.firstCategoryRows.appendStored(record);
    }
    scan.complete = !in.failed();
    return scan;
}

} // namespace korvalo
