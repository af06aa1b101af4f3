#include "support/Fixtures.h"

#include "data/Cp1256.h"
#include "data/RecordReader.h"
#include "support/TempDir.h"

#include <stdexcept>

namespace korvalo::test {

std::string encodeSites(const std::vector<SiteRecord>& sites) {
    std::string out;
    for (const SiteRecord& s : sites) {
        SiteBytes b;
        if (!EncodeSiteRecord(s, b))
            throw std::invalid_argument("site record does not fit: " + s.Url);
        out.append(b.begin(), b.end());
    }
    return out;
}

std::string encodeCategories(const std::vector<CategoryRecord>& categories) {
    std::string out;
    for (const CategoryRecord& c : categories) {
        CategoryBytes b;
        if (!EncodeCategoryRecord(c, b))
            throw std::invalid_argument("category record does not fit: " + c.Name);
        out.append(b.begin(), b.end());
    }
    return out;
}

void writeSites(const std::string& path, const std::vector<SiteRecord>& sites) {
    writeFile(path, encodeSites(sites));
}

void writeCategories(const std::string& path, const std::vector<CategoryRecord>& categories) {
    writeFile(path, encodeCategories(categories));
}

std::vector<SiteRecord> readSites(const std::string& path) {
    std::vector<SiteRecord> out;
    RecordReader reader(kSiteRecordSize);
    if (reader.open(path))
        while (const uint8_t* rec = reader.next())
            out.push_back(DecodeSiteRecord(rec));
    return out;
}

std::vector<CategoryRecord> readCategories(const std::string& path) {
    std::vector<CategoryRecord> out;
    RecordReader reader(kCategoryRecordSize);
    if (reader.open(path))
        while (const uint8_t* rec = reader.next())
            out.push_back(DecodeCategoryRecord(rec));
    return out;
}

std::string cp(const char* utf8) {
    const auto bytes = Cp1256::fromUnicode(QString::fromUtf8(utf8));
    if (!bytes)
        throw std::invalid_argument("not representable in Windows-1256");
    return *bytes;
}

} // namespace korvalo::test
