#include "ImportHtml.h"

#include "ExitStatus.h"
#include "RecordFile.h"

#include "browser/NetscapeBookmarks.h"
#include "data/Cp1256.h"
#include "data/Records.h"
#include "platform/AtomicFile.h"

#include <QFile>

#include <limits>
#include <optional>
#include <ostream>
#include <unordered_set>
#include <vector>

namespace korvalo::kvl {

namespace {

constexpr int32_t kNoCategory = -1;

std::string cp(const char* utf8) {
    return *Cp1256::fromUnicode(QString::fromUtf8(utf8));
}

class Importer {
public:
    Importer(std::string source, std::vector<QByteArrayView> lines, std::ostream& err)
        : source_(std::move(source))
        , lines_(std::move(lines))
        , err_(err) {}

    // Takes in the records of the data files as they are.
    void load(const RecordFile& categories, const RecordFile& sites) {
        for (size_t i = 0; i < categories.count(kCategoryRecordSize); ++i) {
            categories_.push_back(DecodeCategoryRecord(categories.record(i, kCategoryRecordSize)));
            largestId_ = std::max(largestId_, categories_.back().Id);
        }
        for (size_t i = 0; i < sites.count(kSiteRecordSize); ++i)
            urls_.insert(storedSiteUrl(sites.record(i, kSiteRecordSize)));
    }

    void importTop(const BookmarkList& entries) {
        for (const BookmarkNode& node : entries) {
            if (node.kind == BookmarkNode::Folder) {
                const int32_t main = category(node, 0);
                if (main == kNoCategory)
                    continue;
                for (const BookmarkNode& child : node.children) {
                    if (child.kind == BookmarkNode::Folder) {
                        const int32_t sub = category(child, main);
                        if (sub != kNoCategory)
                            importLinks(child.children, main, sub);
                    } else if (child.kind == BookmarkNode::Bookmark) {
                        importLink(child, main, 0);
                    }
                }
            } else if (node.kind == BookmarkNode::Bookmark) {
                if (loose_ == 0)
                    loose_ = findOrAdd(cp("مواقع مستوردة"), 0);
                if (loose_ != kNoCategory)
                    importLink(node, loose_, 0);
            }
        }
    }

    bool outOfIds() const { return outOfIds_; }
    const std::string& newCategories() const { return newCategories_; }
    const std::string& newSites() const { return newSites_; }
    size_t categoriesAdded() const { return newCategories_.size() / kCategoryRecordSize; }
    size_t sitesAdded() const { return newSites_.size() / kSiteRecordSize; }
    size_t duplicates() const { return duplicates_; }
    size_t skipped() const { return skipped_; }

private:
    void report(int line, const std::string& what) {
        err_ << source_ << ":" << line << ": " << what << "\n";
    }

    // The text as Windows-1256 bytes that fit the field, or why it cannot be.
    std::optional<std::string> storable(TextField field, const QString& text, std::string& why) {
        if (const auto bad = Cp1256::firstUnrepresentable(text)) {
            char code[16];
            std::snprintf(code, sizeof code, "U+%04X", unsigned(bad->unicode()));
            why = std::string(fieldName(field)) +
                  " holds a character that Windows-1256 cannot represent (" + code + ")";
            return std::nullopt;
        }
        std::string bytes = *Cp1256::fromUnicode(text);
        if (const auto e = checkText(field, bytes)) {
            why = e->describe();
            return std::nullopt;
        }
        return bytes;
    }

    // The category a folder stands for under parent (0: a main category),
    // found by name or added; kNoCategory when its name cannot be one.
    int32_t category(const BookmarkNode& folder, int32_t parent) {
        std::string why;
        auto name = storable(TextField::Name, folder.caption, why);
        if (name && name->empty())
            why = "the folder has no name";
        else if (name && *name == kInfoCategoryName)
            why = "a category named info would hold the directory's version label";
        if (!why.empty()) {
            const size_t links = countLinks(folder.children);
            skipped_ += links;
            report(folder.line,
                   why + "; the folder and its " + std::to_string(links) + " links skipped");
            return kNoCategory;
        }
        return findOrAdd(*name, parent);
    }

    int32_t findOrAdd(const std::string& name, int32_t parent) {
        for (const CategoryRecord& c : categories_) {
            if (c.Name == name && c.IsRoot == (parent == 0 ? 1 : 0) &&
                (parent == 0 || c.ParentId == parent))
                return c.Id;
        }
        if (largestId_ == std::numeric_limits<int32_t>::max()) {
            outOfIds_ = true;
            return kNoCategory;
        }
        const CategoryRecord added{name, ++largestId_, parent == 0 ? 1 : 0, parent, 0};
        CategoryBytes bytes;
        EncodeCategoryRecord(added, bytes);
        newCategories_.append(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        categories_.push_back(added);
        return added.Id;
    }

    // Links at any depth below a sub-category's folder all go into it.
    void importLinks(const BookmarkList& entries, int32_t main, int32_t sub) {
        for (const BookmarkNode& node : entries) {
            if (node.kind == BookmarkNode::Folder)
                importLinks(node.children, main, sub);
            else if (node.kind == BookmarkNode::Bookmark)
                importLink(node, main, sub);
        }
    }

    void importLink(const BookmarkNode& link, int32_t main, int32_t sub) {
        std::string why;
        const auto url = storable(TextField::Url, link.address, why);
        const auto title = url ? storable(TextField::Title, link.caption, why) : std::nullopt;
        const auto language =
            title ? storable(TextField::Language, languageOn(link.line), why) : std::nullopt;
        if (url && url->empty())
            why = "the link has no address";
        else if (url && *url == kPasswordUrl)
            why = "the address pass is the password record's";
        if (!why.empty() || !language) {
            ++skipped_;
            report(link.line, why + "; link skipped");
            return;
        }
        if (!urls_.insert(*url).second) {
            ++duplicates_;
            return;
        }
        SiteBytes bytes;
        EncodeSiteRecord(SiteRecord{*url, main, *title, *language, 0, sub}, bytes);
        newSites_.append(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    }

    // The LANGUAGE attribute export-html writes, else the program's default.
    QString languageOn(int line) const {
        static constexpr QByteArrayView kAttribute = " LANGUAGE=\"";
        if (line >= 1 && size_t(line) <= lines_.size()) {
            const QByteArrayView text = lines_[size_t(line) - 1];
            const qsizetype start = text.indexOf(kAttribute);
            const qsizetype end = start < 0 ? -1 : text.indexOf('"', start + kAttribute.size());
            if (end >= 0) {
                const qsizetype from = start + kAttribute.size();
                return decodeHtmlEntities(decodeBookmarkText(text.sliced(from, end - from)));
            }
        }
        return QStringLiteral("عربي");
    }

    static size_t countLinks(const BookmarkList& entries) {
        size_t n = 0;
        for (const BookmarkNode& node : entries)
            n += node.kind == BookmarkNode::Bookmark ? 1 : countLinks(node.children);
        return n;
    }

    std::string source_;
    std::vector<QByteArrayView> lines_;
    std::ostream& err_;
    std::vector<CategoryRecord> categories_;
    int32_t largestId_ = 0;
    std::unordered_set<std::string> urls_;
    int32_t loose_ = 0;
    bool outOfIds_ = false;
    std::string newCategories_;
    std::string newSites_;
    size_t duplicates_ = 0;
    size_t skipped_ = 0;
};

std::vector<QByteArrayView> splitLines(QByteArrayView text) {
    std::vector<QByteArrayView> lines;
    qsizetype pos = 0;
    while (pos < text.size()) {
        qsizetype end = text.indexOf('\n', pos);
        if (end < 0)
            end = text.size();
        lines.push_back(text.sliced(pos, end - pos));
        pos = end + 1;
    }
    return lines;
}

} // namespace

int importHtml(const std::string& inFile, const std::string& siteFile, const std::string& cateFile,
               std::ostream& out, std::ostream& err) {
    const auto html = readBookmarkFile(QFile::decodeName(inFile.c_str()));
    if (!html) {
        err << "kvl: cannot read " << inFile << "\n";
        return kBadInput;
    }
    const auto tree = ParseNetscapeBookmarks(*html, HtmlText::Decoded);
    if (!tree) {
        err << "kvl: " << inFile << ": folders nested deeper than " << kMaxBookmarkDepth
            << " levels or more than " << kMaxBookmarkEntries << " entries\n";
        return kBadInput;
    }

    // The program's own locks: a running copy neither reads a half-done
    // import nor writes between our read and our write.
    const FileLock cateLock(lockPathFor(cateFile));
    const FileLock siteLock(lockPathFor(siteFile));
    if (!cateLock.locked() || !siteLock.locked()) {
        err << "kvl: cannot lock " << (cateLock.locked() ? siteFile : cateFile) << "\n";
        return kBadInput;
    }
    const RecordFile categories = readRecordFile(cateFile, kCategoryRecordSize);
    const RecordFile sites = readRecordFile(siteFile, kSiteRecordSize);
    if (categories.status == RecordFile::Failed || sites.status == RecordFile::Failed) {
        const bool cate = categories.status == RecordFile::Failed;
        err << "kvl: cannot read " << (cate ? cateFile : siteFile) << ": "
            << (cate ? categories : sites).error << "\n";
        return kBadInput;
    }

    Importer importer(inFile, splitLines(*html), err);
    importer.load(categories, sites);
    importer.importTop(*tree);
    if (importer.outOfIds()) {
        err << "kvl: " << cateFile << " has no category Id left to give; nothing written\n";
        return kBadInput;
    }

    // Categories first: should the site file then fail, the directory only
    // has a few categories more, and no site names a category that is missing.
    const bool writeCategories =
        categories.status == RecordFile::Missing || !importer.newCategories().empty();
    const bool writeSites = sites.status == RecordFile::Missing || !importer.newSites().empty();
    std::string error;
    if (writeCategories &&
        !atomicReplace(cateFile, categories.records + importer.newCategories(), &error)) {
        err << "kvl: " << error << "; nothing written\n";
        return kBadInput;
    }
    if (writeSites && !atomicReplace(siteFile, sites.records + importer.newSites(), &error)) {
        err << "kvl: " << error << "; " << siteFile << " left as it was, "
            << importer.categoriesAdded() << " categories added to " << cateFile << "\n";
        return kBadInput;
    }
    // A part record is no record; the program too writes over it.
    if (writeCategories && categories.fragmentBytes > 0)
        err << "kvl: " << cateFile << ": trailing fragment of " << categories.fragmentBytes
            << " bytes dropped\n";
    if (writeSites && sites.fragmentBytes > 0)
        err << "kvl: " << siteFile << ": trailing fragment of " << sites.fragmentBytes
            << " bytes dropped\n";
    out << "kvl: " << inFile << ": " << importer.sitesAdded() << " sites added to " << siteFile
        << ", " << importer.categoriesAdded() << " categories added to " << cateFile << "; "
        << importer.duplicates() << " duplicate addresses and " << importer.skipped()
        << " links that cannot be stored skipped\n";
    return kOk;
}

} // namespace korvalo::kvl
