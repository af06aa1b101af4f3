// The block reader and the readers built on it, over any file: every whole
// record is handed out once, in order, the fragment is measured, and the
// readers of the site file and "cate.dat" agree with it.

#include "FuzzSupport.h"

#include "data/CategoryFile.h"
#include "data/RecordReader.h"
#include "data/Records.h"
#include "data/SiteListing.h"

#include <cstring>

using namespace korvalo;

namespace {

void checkReader(const std::string& path, const uint8_t* data, size_t size, size_t recordSize) {
    RecordReader reader(recordSize);
    FUZZ_CHECK(reader.open(path));
    size_t at = 0;
    while (const uint8_t* record = reader.next()) {
        FUZZ_CHECK(at + recordSize <= size);
        FUZZ_CHECK(std::memcmp(record, data + at, recordSize) == 0);
        at += recordSize;
    }
    FUZZ_CHECK(!reader.failed());
    FUZZ_CHECK(at == size / recordSize * recordSize);
    FUZZ_CHECK(reader.recordsRead() == size / recordSize);
    FUZZ_CHECK(reader.fragmentBytes() == size % recordSize);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = fuzz::scratchFolder() + "records";
    fuzz::writeInput(path, data, size);
    checkReader(path, data, size, kSiteRecordSize);
    checkReader(path, data, size, kCategoryRecordSize);

    const uint64_t sites = size / kSiteRecordSize;
    const StartupScan scan = ScanSiteFileAtStartup(path, size ? data[0] % 4 : 0);
    FUZZ_CHECK(scan.opened && scan.siteCount == sites);
    FUZZ_CHECK(ReadSiteRows(path).size() == sites);
    const SiteListingResult listing = ListCategorySites(path, 1, size && data[0] & 1);
    FUZZ_CHECK(listing.opened && listing.rows.size() <= sites);

    const auto tree = ReadCategoryTree(path);
    FUZZ_CHECK(tree);
    size_t shown = 0;
    for (const CategoryTree::Main& main : tree->mains)
        shown += 1 + main.children.size();
    FUZZ_CHECK(shown == tree->flat.size() && tree->names.size() <= shown);
    for (const std::string& name : tree->flat) {
        const auto id = FindCategoryId(path, name);
        FUZZ_CHECK(id && FindLastCategoryIdByName(path, name));
    }
    return 0;
}
