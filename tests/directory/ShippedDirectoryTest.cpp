// Checks the directory the program ships with, as built beside the executable
// from directory/sites.txt and directory/categories.txt.

#include "data/Cp1256.h"
#include "data/RecordReader.h"
#include "data/Records.h"
#include "support/Fixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace korvalo {
namespace {

struct ShippedFile {
    bool opened = false;
    bool readFailed = false;
    uint64_t fragmentBytes = 0;
};

template <typename Record, typename Decode>
ShippedFile readShipped(const std::string& path, size_t recordSize, Decode decode,
                        std::vector<Record>& out) {
    ShippedFile file;
    RecordReader reader(recordSize);
    file.opened = reader.open(path);
    if (!file.opened)
        return file;
    while (const uint8_t* stored = reader.next())
        out.push_back(decode(stored));
    file.readFailed = reader.failed();
    file.fragmentBytes = reader.fragmentBytes();
    return file;
}

std::string utf8(const std::string& cp1256) {
    return Cp1256::toUnicode(cp1256).toStdString();
}

// Names a site in a failure message by its position and address.
std::string describe(size_t index, const SiteRecord& site) {
    return "site record " + std::to_string(index) + " '" + utf8(site.Url) + "'";
}

std::string describe(const CategoryRecord& category) {
    return "category " + std::to_string(category.Id) + " '" + utf8(category.Name) + "'";
}

// The address key that catches the same site listed twice: scheme and host
// folded to lower case, a leading "www." and a trailing slash dropped.
std::string addressKey(const std::string& url) {
    std::string key = url;
    const size_t sep = key.find("://");
    const size_t hostEnd = std::min(key.find_first_of("/?#", sep + 3), key.size());
    std::transform(key.begin(), key.begin() + static_cast<std::ptrdiff_t>(hostEnd), key.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    key.erase(0, sep + 3);
    if (key.rfind("www.", 0) == 0)
        key.erase(0, 4);
    while (!key.empty() && key.back() == '/')
        key.pop_back();
    return key;
}

// Empty when the address is a scheme, "://" and a host with a dot, with no
// blanks or control characters anywhere; otherwise what is wrong.
std::string addressProblem(const std::string& url) {
    for (unsigned char c : url) {
        if (c <= ' ' || c == 0x7F)
            return "holds a blank or control character";
    }
    const size_t sep = url.find("://");
    if (sep == std::string::npos || sep == 0)
        return "has no scheme followed by ://";
    for (size_t i = 0; i < sep; ++i) {
        const unsigned char c = static_cast<unsigned char>(url[i]);
        if (!std::isalpha(c) && !(i > 0 && (std::isdigit(c) || c == '+' || c == '-' || c == '.')))
            return "has a malformed scheme";
    }
    const size_t hostStart = sep + 3;
    const size_t hostEnd = std::min(url.find_first_of("/?#", hostStart), url.size());
    const std::string host = url.substr(hostStart, hostEnd - hostStart);
    if (host.empty())
        return "has an empty host";
    if (host.find('.') == std::string::npos || host.front() == '.' || host.back() == '.' ||
        host.find("..") != std::string::npos)
        return "has a host without a proper dot: '" + host + "'";
    return {};
}

class ShippedDirectoryTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        sitesFile_ = readShipped<SiteRecord>(
            KORVALO_BIN_DIR "/weburl.kvl", kSiteRecordSize,
            [](const uint8_t* s) { return DecodeSiteRecord(s); }, sites_);
        categoriesFile_ = readShipped<CategoryRecord>(
            KORVALO_BIN_DIR "/cate.dat", kCategoryRecordSize,
            [](const uint8_t* s) { return DecodeCategoryRecord(s); }, categories_);
        for (const CategoryRecord& c : categories_) {
            if (c.IsRoot == 1 && c.Name == kInfoCategoryName && infoId_ == 0)
                infoId_ = c.Id;
        }
    }

    static void TearDownTestSuite() {
        sites_.clear();
        categories_.clear();
    }

    void SetUp() override {
        ASSERT_TRUE(sitesFile_.opened) << "cannot open " KORVALO_BIN_DIR "/weburl.kvl";
        ASSERT_TRUE(categoriesFile_.opened) << "cannot open " KORVALO_BIN_DIR "/cate.dat";
    }

    bool isVersionRecord(const SiteRecord& s) const {
        return s.CategoryId == infoId_ && s.Url != kPasswordUrl;
    }

    // The version and password records are not sites; the last test covers them.
    bool isSpecial(const SiteRecord& s) const {
        return isVersionRecord(s) || s.Url == kPasswordUrl;
    }

    const CategoryRecord* categoryById(int32_t id) const {
        for (const CategoryRecord& c : categories_) {
            if (c.Id == id)
                return &c;
        }
        return nullptr;
    }

    static inline ShippedFile sitesFile_;
    static inline ShippedFile categoriesFile_;
    static inline std::vector<SiteRecord> sites_;
    static inline std::vector<CategoryRecord> categories_;
    static inline int32_t infoId_ = 0;
};

TEST_F(ShippedDirectoryTest, bothFilesDecodeWholeAndHoldAFullDirectory) {
    EXPECT_FALSE(sitesFile_.readFailed);
    EXPECT_FALSE(categoriesFile_.readFailed);
    EXPECT_EQ(sitesFile_.fragmentBytes, 0u) << "weburl.kvl ends in a partial record";
    EXPECT_EQ(categoriesFile_.fragmentBytes, 0u) << "cate.dat ends in a partial record";

    const auto mains = std::count_if(categories_.begin(), categories_.end(), [](const auto& c) {
        return c.IsRoot == 1 && c.Name != kInfoCategoryName;
    });
    EXPECT_GE(mains, 15) << "main categories besides info";
    EXPECT_GE(sites_.size(), 500u);
}

TEST_F(ShippedDirectoryTest, everyTextFitsAndRoundTripsThroughWindows1256) {
    const std::set<std::string> languages = {test::cp("عربي"), test::cp("انجليزي"),
                                             test::cp("ع/E")};
    auto roundTrips = [](const std::string& bytes) {
        const auto back = Cp1256::fromUnicode(Cp1256::toUnicode(bytes));
        return back && *back == bytes;
    };

    for (size_t i = 0; i < sites_.size(); ++i) {
        const SiteRecord& s = sites_[i];
        const std::string who = describe(i, s);
        EXPECT_FALSE(checkSiteRecord(s)) << who << ": " << checkSiteRecord(s)->describe();
        EXPECT_TRUE(roundTrips(s.Url)) << who << ": address does not round-trip";
        EXPECT_TRUE(roundTrips(s.Title)) << who << ": title does not round-trip";
        EXPECT_TRUE(roundTrips(s.Language)) << who << ": language does not round-trip";
        EXPECT_EQ(s.UserMark, 0) << who << ": shipped records carry UserMark 0";
        if (isSpecial(s))
            continue;
        EXPECT_FALSE(s.Title.empty()) << who << ": empty description";
        EXPECT_EQ(languages.count(s.Language), 1u)
            << who << ": unexpected language label '" << utf8(s.Language) << "'";
    }
    for (const CategoryRecord& c : categories_) {
        EXPECT_FALSE(checkCategoryRecord(c))
            << describe(c) << ": " << checkCategoryRecord(c)->describe();
        EXPECT_FALSE(c.Name.empty()) << describe(c) << ": empty name";
        EXPECT_TRUE(roundTrips(c.Name)) << describe(c) << ": name does not round-trip";
        EXPECT_EQ(c.UserMark, 0) << describe(c) << ": shipped records carry UserMark 0";
    }
}

TEST_F(ShippedDirectoryTest, addressesAreWellFormedAndListedOnce) {
    std::map<std::string, size_t> seen;
    for (size_t i = 0; i < sites_.size(); ++i) {
        const SiteRecord& s = sites_[i];
        if (isSpecial(s))
            continue;
        const std::string problem = addressProblem(s.Url);
        EXPECT_TRUE(problem.empty()) << describe(i, s) << ": address " << problem;
        if (!problem.empty())
            continue;
        const auto [it, fresh] = seen.emplace(addressKey(s.Url), i);
        EXPECT_TRUE(fresh) << describe(i, s) << " repeats "
                           << describe(it->second, sites_[it->second]);
    }
}

TEST_F(ShippedDirectoryTest, categoryTreeIsConsistentAndEveryShownCategoryHoldsSites) {
    ASSERT_FALSE(categories_.empty());
    // Id 1 opens the program: its sites are listed at start-up.
    EXPECT_EQ(categories_.front().Id, 1) << "the first record is " << describe(categories_.front());
    const CategoryRecord* first = categoryById(1);
    ASSERT_NE(first, nullptr) << "no category with Id 1";
    EXPECT_EQ(first->IsRoot, 1) << describe(*first) << " is not a main category";
    EXPECT_NE(first->Name, kInfoCategoryName);
    EXPECT_NE(infoId_, 0) << "no main category named info";

    std::set<int32_t> ids;
    for (const CategoryRecord& c : categories_) {
        EXPECT_TRUE(ids.insert(c.Id).second) << describe(c) << ": Id used twice";
        EXPECT_GT(c.Id, 0) << describe(c);
        if (c.IsRoot == 1) {
            EXPECT_EQ(c.ParentId, 0) << describe(c) << ": a main category has ParentId 0";
            continue;
        }
        EXPECT_EQ(c.IsRoot, 0) << describe(c) << ": IsRoot is neither 0 nor 1";
        const CategoryRecord* parent = categoryById(c.ParentId);
        EXPECT_TRUE(parent && parent->IsRoot == 1 && parent->Name != kInfoCategoryName)
            << describe(c) << ": ParentId " << c.ParentId << " names no shown main category";
    }

    std::map<int32_t, size_t> filed;
    for (size_t i = 0; i < sites_.size(); ++i) {
        const SiteRecord& s = sites_[i];
        if (s.Url == kPasswordUrl)
            continue;
        const CategoryRecord* main = categoryById(s.CategoryId);
        if (!main || main->IsRoot != 1) {
            ADD_FAILURE() << describe(i, s) << ": CategoryId " << s.CategoryId
                          << " names no main category";
            continue;
        }
        ++filed[s.CategoryId];
        if (s.SubCategoryId == 0)
            continue;
        const CategoryRecord* sub = categoryById(s.SubCategoryId);
        if (!sub || sub->IsRoot != 0 || sub->ParentId != s.CategoryId) {
            ADD_FAILURE() << describe(i, s) << ": SubCategoryId " << s.SubCategoryId
                          << " is not a sub-category of " << describe(*main);
            continue;
        }
        ++filed[s.SubCategoryId];
    }
    for (const CategoryRecord& c : categories_) {
        if (c.IsRoot == 1 && c.Name == kInfoCategoryName)
            continue;
        EXPECT_GT(filed[c.Id], 0u) << describe(c) << " is shown but holds no site";
    }
}

TEST_F(ShippedDirectoryTest, carriesOneVersionLabelAndNoPassword) {
    std::vector<size_t> versions;
    for (size_t i = 0; i < sites_.size(); ++i) {
        const SiteRecord& s = sites_[i];
        EXPECT_NE(s.Url, kPasswordUrl) << describe(i, s) << ": a shipped directory has no password";
        if (isVersionRecord(s))
            versions.push_back(i);
    }
    ASSERT_EQ(versions.size(), 1u) << "records under the info category";
    const SiteRecord& version = sites_[versions.front()];
    EXPECT_FALSE(version.Url.empty()) << "empty version label";
    EXPECT_TRUE(version.Title.empty() && version.Language.empty())
        << describe(versions.front(), version) << ": the version record carries only its label";
    EXPECT_EQ(version.SubCategoryId, 0);
}

} // namespace
} // namespace korvalo
