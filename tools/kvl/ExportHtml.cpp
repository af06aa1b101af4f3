#include "ExportHtml.h"

#include "ExitStatus.h"
#include "RecordFile.h"

#include "data/Cp1256.h"
#include "data/Records.h"
#include "platform/AtomicFile.h"

#include <QString>

#include <map>
#include <ostream>
#include <vector>

namespace korvalo::kvl {

namespace {

struct Folder {
    std::string name;
    int32_t id = 0;
    std::vector<Folder> subs;
    std::vector<SiteRecord> sites;
};

// Windows-1256 bytes as UTF-8 with HTML's special characters and control
// characters escaped. In an address a blank is escaped too: bookmark readers
// end an address there.
std::string html(const std::string& cp1256, bool address = false) {
    const std::string utf8 = Cp1256::toUnicode(cp1256).toStdString();
    std::string out;
    out.reserve(utf8.size());
    for (const char c : utf8) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&#39;";
            break;
        case ' ':
            out += address ? "&#32;" : " ";
            break;
        default:
            // A line break would end the line that bookmark readers read.
            if (static_cast<unsigned char>(c) < 0x20)
                out += "&#" + std::to_string(int(c)) + ";";
            else
                out += c;
        }
    }
    return out;
}

void writeFolder(const Folder& folder, int depth, std::string& page) {
    const std::string indent(size_t(depth) * 4, ' ');
    page += indent + "<DT><H3>" + html(folder.name) + "</H3>\n";
    page += indent + "<DL><p>\n";
    for (const Folder& sub : folder.subs)
        writeFolder(sub, depth + 1, page);
    for (const SiteRecord& site : folder.sites) {
        page += indent + "    <DT><A HREF=\"" + html(site.Url, true) + "\" LANGUAGE=\"" +
                html(site.Language) + "\">" + html(site.Title) + "</A>\n";
    }
    page += indent + "</DL><p>\n";
}

} // namespace

int exportHtml(const std::string& siteFile, const std::string& cateFile, const std::string& outFile,
               std::ostream& out, std::ostream& err) {
    const RecordFile categories = readRecordFile(cateFile, kCategoryRecordSize);
    const RecordFile sites = readRecordFile(siteFile, kSiteRecordSize);
    if (categories.status != RecordFile::Read || sites.status != RecordFile::Read) {
        const bool cate = categories.status != RecordFile::Read;
        err << "kvl: cannot read " << (cate ? cateFile : siteFile) << ": "
            << (cate ? categories : sites).error << "\n";
        return kBadInput;
    }

    // The tree as the program shows it: main categories in file order, "info"
    // left out, each with the sub-categories that name it as their parent.
    std::vector<Folder> mains;
    std::map<int32_t, size_t> mainById;
    std::optional<int32_t> infoId;
    const size_t categoryCount = categories.count(kCategoryRecordSize);
    for (size_t i = 0; i < categoryCount; ++i) {
        const CategoryRecord c = DecodeCategoryRecord(categories.record(i, kCategoryRecordSize));
        if (c.Name == kInfoCategoryName) {
            if (!infoId)
                infoId = c.Id;
        } else if (c.IsRoot == 1 && mainById.emplace(c.Id, mains.size()).second) {
            mains.push_back({c.Name, c.Id, {}, {}});
        }
    }
    size_t subCount = 0;
    for (size_t i = 0; i < categoryCount; ++i) {
        const CategoryRecord c = DecodeCategoryRecord(categories.record(i, kCategoryRecordSize));
        const auto main = mainById.find(c.ParentId);
        if (c.IsRoot == 0 && c.Name != kInfoCategoryName && main != mainById.end()) {
            mains[main->second].subs.push_back({c.Name, c.Id, {}, {}});
            ++subCount;
        }
    }

    size_t exported = 0;
    size_t leftOut = 0;
    const size_t siteCount = sites.count(kSiteRecordSize);
    for (size_t i = 0; i < siteCount; ++i) {
        SiteRecord site = DecodeSiteRecord(sites.record(i, kSiteRecordSize));
        const auto main = mainById.find(site.CategoryId);
        // The password record and the version records are no sites.
        if (site.Url == kPasswordUrl || site.CategoryId == infoId.value_or(0) ||
            main == mainById.end()) {
            ++leftOut;
            continue;
        }
        Folder& folder = mains[main->second];
        Folder* target = &folder;
        for (Folder& sub : folder.subs) {
            if (site.SubCategoryId != 0 && sub.id == site.SubCategoryId) {
                target = &sub;
                break;
            }
        }
        target->sites.push_back(std::move(site));
        ++exported;
    }

    std::string page = "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n"
                       "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">\n"
                       "<TITLE>Bookmarks</TITLE>\n"
                       "<H1>Bookmarks</H1>\n"
                       "<DL><p>\n";
    for (const Folder& main : mains)
        writeFolder(main, 1, page);
    page += "</DL><p>\n";

    std::string error;
    if (!atomicReplace(outFile, page, &error)) {
        err << "kvl: " << error << "\n";
        return kBadInput;
    }
    out << "kvl: " << outFile << ": " << exported << " sites in " << mains.size()
        << " main categories and " << subCount << " sub-categories";
    if (leftOut > 0)
        out << "; " << leftOut << " records that are no site or under no shown category left out";
    out << "\n";
    return kOk;
}

} // namespace korvalo::kvl
