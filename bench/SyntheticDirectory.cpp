#include "SyntheticDirectory.h"

#include "data/Cp1256.h"

#include <QString>

#include <array>
#include <cstdio>
#include <stdexcept>

namespace korvalo::bench {

namespace {

// Word lists in UTF-8, converted once to Windows-1256.
constexpr const char* kArabicWords[] = {
    "موقع",    "أخبار",    "العربية", "الرياضة", "التعليم",  "الثقافة",  "الصحة",   "العلوم",
    "التقنية", "الحاسب",   "البرامج", "الشبكة",  "الاقتصاد", "الأعمال",  "السياحة", "السفر",
    "الأدب",   "الشعر",    "التاريخ", "المرأة",  "الأسرة",   "الطفل",    "الطبخ",   "الألعاب",
    "الترفيه", "الموسيقى", "الأفلام", "الصور",   "الجامعة",  "المدرسة",  "الوظائف", "الإعلانات",
    "الدليل",  "البحث",    "المجلة",  "الجريدة", "اليومية",  "الرسمي",   "الحكومة", "الوزارة",
    "البنك",   "الشركة",   "المنتدى", "الحوار",  "الدروس",   "المكتبة",  "الكتب",   "الترجمة",
    "اللغة",   "القاموس",  "الطقس",   "الخرائط", "السيارات", "العقارات", "الزراعة", "البيئة",
    "الفضاء",  "الفلك",    "الطب",    "الرياض",  "القاهرة",  "دبي",      "الكويت",  "بيروت",
    "دمشق",    "بغداد",    "المغرب",  "تونس",    "في",       "من",       "على",     "مع",
    "عن",      "كل",       "جديد",    "شامل",    "مجاني",    "أفضل",     "دليل",    "خدمات",
};

constexpr const char* kLatinWords[] = {
    "sahara",  "nile",    "falcon",  "oasis",  "cedar", "desert",   "palm",   "star",
    "moon",    "pearl",   "gulf",    "atlas",  "delta", "crescent", "bazaar", "medina",
    "souk",    "caravan", "jasmine", "amber",  "coral", "harbor",   "bridge", "garden",
    "library", "school",  "market",  "news",   "sport", "health",   "travel", "tech",
    "soft",    "net",     "web",     "portal", "forum", "club",     "world",  "daily",
    "online",  "media",   "press",   "radio",  "book",  "art",      "music",  "games",
};

constexpr const char* kTlds[] = {".com", ".net",    ".org",  ".com.sa",
                                 ".ae",  ".com.eg", ".info", ".edu.jo"};
constexpr const char* kPaths[] = {
    "", "/", "/index.html", "/ar/", "/news/", "/main.php?id=", "/portal/home.asp", "/vb/"};

// Forty topics for the main categories and a few for their sub-categories.
constexpr const char* kTopics[] = {
    "أخبار وإعلام", "رياضة",  "تعليم",  "ثقافة وأدب", "صحة وطب",   "علوم",   "حاسب وبرامج",
    "إنترنت",       "اقتصاد", "أعمال",  "سياحة وسفر", "تاريخ",     "دين",    "مرأة وأسرة",
    "أطفال",        "طبخ",    "ألعاب",  "ترفيه",      "موسيقى",    "أفلام",  "صور",
    "جامعات",       "مدارس",  "وظائف",  "إعلانات",    "أدلة",      "بحث",    "مجلات",
    "صحف",          "حكومات", "بنوك",   "شركات",      "منتديات",   "مكتبات", "لغات",
    "طقس",          "سيارات", "عقارات", "زراعة",      "فضاء وفلك",
};
static_assert(std::size(kTopics) == SyntheticDirectory::kMainCategories);
constexpr const char* kSubTopics[] = {"عربية",  "عالمية", "محلية", "خليجية",
                                      "متخصصة", "عامة",   "مختارة"};
constexpr const char* kLanguages[] = {"عربي", "عربي", "عربي",    "عربي",    "عربي",
                                      "عربي", "عربي", "انجليزي", "انجليزي", "ع/E"};

std::string cp(const char* utf8) {
    auto bytes = Cp1256::fromUnicode(QString::fromUtf8(utf8));
    if (!bytes)
        throw std::runtime_error(std::string("not Windows-1256: ") + utf8);
    return *bytes;
}

template <size_t N> std::array<std::string, N> converted(const char* const (&words)[N]) {
    std::array<std::string, N> out;
    for (size_t i = 0; i < N; ++i)
        out[i] = cp(words[i]);
    return out;
}

const auto& arabicWords() {
    static const auto w = converted(kArabicWords);
    return w;
}
const auto& topics() {
    static const auto w = converted(kTopics);
    return w;
}
const auto& subTopics() {
    static const auto w = converted(kSubTopics);
    return w;
}
const auto& languages() {
    static const auto w = converted(kLanguages);
    return w;
}

uint64_t mix(uint64_t x) { // splitmix64's finaliser
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

std::string base36(uint64_t v) {
    std::string s;
    do {
        s.insert(s.begin(), "0123456789abcdefghijklmnopqrstuvwxyz"[v % 36]);
        v /= 36;
    } while (v);
    return s;
}

template <typename Record, size_t Size, typename Encode>
void writeRecords(const std::string& path, uint64_t count, Encode encode) {
    const std::string part = path + ".part";
    FILE* f = std::fopen(part.c_str(), "wb");
    if (!f)
        throw std::runtime_error("cannot create " + part);
    std::vector<uint8_t> chunk;
    chunk.reserve(Size * 8192);
    std::array<uint8_t, Size> bytes;
    bool ok = true;
    for (uint64_t i = 0; i < count && ok; ++i) {
        if (!encode(i, bytes))
            throw std::runtime_error("a generated record does not fit its fields");
        chunk.insert(chunk.end(), bytes.begin(), bytes.end());
        if (chunk.size() == chunk.capacity() || i + 1 == count) {
            ok = std::fwrite(chunk.data(), 1, chunk.size(), f) == chunk.size();
            chunk.clear();
        }
    }
    ok = std::fclose(f) == 0 && ok;
    // Renamed only when complete, so an interrupted run never leaves a short
    // file that a later run would take as generated.
    if (!ok || std::rename(part.c_str(), path.c_str()) != 0)
        throw std::runtime_error("cannot write " + path);
}

} // namespace

SyntheticDirectory::SyntheticDirectory(uint64_t sites, int subCategoriesPerMain,
                                       std::string password)
    : sites_(sites)
    , subsPerMain_(subCategoriesPerMain)
    , password_(std::move(password)) {}

std::string SyntheticDirectory::mainName(int32_t id) const {
    return topics()[static_cast<size_t>(id - 1)];
}

std::string SyntheticDirectory::subName(int32_t mainId, int k) const {
    const auto& subs = subTopics();
    std::string name = mainName(mainId) + " " + subs[static_cast<size_t>(k) % subs.size()];
    if (static_cast<size_t>(k) >= subs.size())
        name.append(" ").append(std::to_string(k / static_cast<int>(subs.size())));
    return name;
}

int32_t SyntheticDirectory::subId(int32_t mainId, int k) const {
    return 100 + (mainId - 1) * subsPerMain_ + k;
}

std::string SyntheticDirectory::bigCategoryName() const {
    return mainName(kBigCategoryId);
}
std::string SyntheticDirectory::smallCategoryName() const {
    return mainName(kBigCategoryId + 1);
}

std::string SyntheticDirectory::absentUrl() const {
    return "http://www.not-in-the-directory.org/";
}

SiteRecord SyntheticDirectory::site(uint64_t i) const {
    SiteRecord r;
    if (i == versionIndex()) {
        r.Url = versionLabel();
        r.CategoryId = kInfoCategoryId;
        r.Title = cp("إصدار الدليل");
        return r;
    }
    if (i == passwordIndex()) {
        r.Url = std::string(kPasswordUrl);
        r.Title = password_;
        return r;
    }
    const uint64_t h = mix(i * 0x2545F4914F6CDD1Dull + 0x5EED);
    const uint64_t h2 = mix(h);

    r.CategoryId =
        i % 20 == 7 ? kBigCategoryId : 2 + static_cast<int32_t>(h % (kMainCategories - 1));
    if (h2 % 10 < 6)
        r.SubCategoryId = subId(r.CategoryId, static_cast<int>((h2 >> 8) % subsPerMain_));
    r.UserMark = (h2 >> 16) % 32 == 0 ? 1 : 0;
    r.Language = languages()[(h >> 40) % languages().size()];

    // An address of 25 to 70 characters, unique through the index.
    const auto word = [&](int shift) { return kLatinWords[(h >> shift) % std::size(kLatinWords)]; };
    r.Url = "http://www.";
    r.Url += word(8);
    if ((h >> 14) % 2)
        r.Url.append("-").append(word(20));
    r.Url.append("-").append(base36(i));
    r.Url += kTlds[(h >> 26) % std::size(kTlds)];
    const char* path = kPaths[(h >> 30) % std::size(kPaths)];
    r.Url += path;
    if (std::string_view(path).ends_with('='))
        r.Url += std::to_string((h >> 34) % 5000);

    // A description of 20 to 74 bytes of Arabic words.
    const auto& words = arabicWords();
    const size_t target = 20 + h2 % 55;
    uint64_t w = h2;
    do {
        const std::string& next = words[(w >> 24) % words.size()];
        w = mix(w);
        if (!r.Title.empty() && r.Title.size() + 1 + next.size() > target)
            break;
        if (!r.Title.empty())
            r.Title += ' ';
        r.Title += next;
    } while (r.Title.size() < target);
    return r;
}

std::vector<CategoryRecord> SyntheticDirectory::categories() const {
    std::vector<CategoryRecord> out;
    for (int32_t id = 1; id <= kMainCategories; ++id) {
        out.push_back({mainName(id), id, 1, 0, 0});
        for (int k = 0; k < subsPerMain_; ++k)
            out.push_back({subName(id, k), subId(id, k), 0, id, 0});
    }
    out.push_back({std::string(kInfoCategoryName), kInfoCategoryId, 1, 0, 0});
    return out;
}

uint64_t SyntheticDirectory::bigCategoryRows() const {
    uint64_t n = 0;
    for (uint64_t i = 7; i < sites_; i += 20)
        if (i != versionIndex() && i != passwordIndex())
            ++n;
    return n;
}

void SyntheticDirectory::writeSiteFile(const std::string& path) const {
    writeRecords<SiteRecord, kSiteRecordSize>(path, sites_, [this](uint64_t i, SiteBytes& out) {
        return EncodeSiteRecord(site(i), out);
    });
}

void SyntheticDirectory::writeCategoryFile(const std::string& path) const {
    const std::vector<CategoryRecord> all = categories();
    writeRecords<CategoryRecord, kCategoryRecordSize>(
        path, all.size(),
        [&all](uint64_t i, CategoryBytes& out) { return EncodeCategoryRecord(all[i], out); });
}

} // namespace korvalo::bench
