#include "Operations.h"

#include "browser/FavoritesFile.h"
#include "browser/InternetShortcut.h"
#include "data/CategoryEdit.h"
#include "data/CategoryFile.h"
#include "data/Records.h"
#include "data/SiteFile.h"
#include "platform/AtomicFile.h"
#include "platform/RegistryFile.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace korvalo::reliability {

namespace fs = std::filesystem;

namespace {

const QString kSettingsKey = QStringLiteral(".DEFAULT\\Software\\Korvalo\\2.0");
const QString kHistoryKey = QStringLiteral("Software\\Default");

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeAll(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
}

std::string encode(const SiteRecord& s) {
    SiteBytes b;
    EncodeSiteRecord(s, b);
    return std::string(b.begin(), b.end());
}

std::string encode(const CategoryRecord& c) {
    CategoryBytes b;
    EncodeCategoryRecord(c, b);
    return std::string(b.begin(), b.end());
}

// The names the cycle's operations use, by cycle number.
std::string appended(uint64_t c) {
    return "http://a" + std::to_string(c) + ".example/";
}
std::string edited(uint64_t c) {
    return "http://e" + std::to_string(c) + ".example/";
}
std::string passing(uint64_t c) {
    return "http://b" + std::to_string(c) + ".example/";
}
std::string filed(uint64_t c) {
    return "http://c" + std::to_string(c) + ".example/";
}
std::string name(const char* prefix, uint64_t c) {
    return prefix + std::to_string(c);
}
QString shortcutName(uint64_t c) {
    return QStringLiteral("site%1").arg(c % 5);
}

Outcome outcome(bool ok) {
    return ok ? Outcome::Done : Outcome::Failed;
}

SiteRecord site(const std::string& url, int32_t category, int32_t sub = 0) {
    return {url, category, "title of " + url, "E", 1, sub};
}

} // namespace

const char* outcomeName(Outcome outcome) {
    switch (outcome) {
    case Outcome::Done:
        return "done";
    case Outcome::Failed:
        return "failed";
    case Outcome::Partial:
        return "half done";
    }
    return "?";
}

Files initialFiles(int sites) {
    Files files;
    std::string siteFile = encode(SiteRecord{"2.0", 7, "", "", 0, 0});
    for (int i = 0; i < sites; ++i)
        siteFile += encode(site("http://site" + std::to_string(i) + ".example/", 1 + i % 6));
    files["weburl.kvl"] = siteFile;
    std::string cate;
    for (int i = 1; i <= 6; ++i)
        cate += encode(CategoryRecord{"Cat" + std::to_string(i), i, 1, 0, 0});
    cate += encode(CategoryRecord{"info", 7, 1, 0, 0});
    cate += encode(CategoryRecord{"Sub", 8, 0, 1, 0});
    files["cate.dat"] = cate;
    files["favorites.dat"] = encode(site("http://site1.example/", 2));
    files["config/registry.reg"] = "REGEDIT4\n\n[HKEY_USERS\\.DEFAULT\\Software\\Korvalo\\2.0]\n"
                                   "\"First\"=\"1\"\n\"IePath\"=\"/usr/bin/xdg-open\"\n";
    files["favs/home.URL"] = "[InternetShortcut]\r\nURL=http://home.example/\r\n";
    return files;
}

void restore(const ProgramDir& dir, const Files& files, bool withWorkFiles) {
    std::error_code ignored;
    fs::remove_all(dir.prog, ignored);
    for (const char* sub : {"", "temp", "config", "favs"})
        fs::create_directories(dir.prog + sub);
    for (const auto& [path, content] : files)
        writeAll(dir.prog + path, content);
    if (withWorkFiles) {
        for (const std::string& path : {dir.site(), dir.cate(), dir.favorites(), dir.registry()})
            writeAll(lockPathFor(path), "");
        writeAll(scratchPathFor(dir.prog), std::string(3 * kSiteRecordSize, 's'));
    }
}

Files snapshot(const ProgramDir& dir) {
    Files files;
    for (const char* path : {"weburl.kvl", "cate.dat", "favorites.dat", "config/registry.reg"})
        if (fs::is_regular_file(dir.prog + path))
            files[path] = readAll(dir.prog + path);
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(dir.shortcuts(), ec)) {
        const std::string n = entry.path().filename().string();
        if (n.size() > 4 && n.compare(n.size() - 4, 4, ".URL") == 0 && n[0] != '.')
            files["favs/" + n] = readAll(entry.path().string());
    }
    return files;
}

int cleanUp(const ProgramDir& dir, std::string* stray) {
    std::vector<std::string> dataFiles = {dir.site(), dir.cate(), dir.favorites(), dir.registry()};
    for (uint64_t c = 0; c < 5; ++c)
        dataFiles.push_back(dir.shortcuts() + "/" + shortcutName(c).toStdString() + ".URL");
    int removed = 0;
    for (const std::string& path : dataFiles)
        removed += removeStaleTemporaries(path);

    // What may be there: the data files, their lock files and the scratch file.
    auto allowed = [](const std::string& rel) {
        static const char* const fixed[] = {
            "weburl.kvl", "cate.dat", "favorites.dat", "temp",
            "config",     "favs",     "temp/Temp.tmp", "config/registry.reg"};
        for (const char* f : fixed)
            if (rel == f || rel == std::string(f) + ".lock")
                return true;
        const bool shortcut = rel.rfind("favs/", 0) == 0 && rel.find("/.") == std::string::npos;
        return shortcut && (rel.ends_with(".URL") || rel.ends_with(".URL.lock"));
    };
    std::error_code ec;
    for (const auto& entry : fs::recursive_directory_iterator(dir.prog, ec)) {
        const std::string rel = entry.path().string().substr(dir.prog.size());
        if (!allowed(rel) && stray)
            *stray += (stray->empty() ? "" : ", ") + rel;
    }
    return removed;
}

Outcome runOperation(const ProgramDir& dir, uint64_t k) {
    const uint64_t c = k / kCycle;
    const SiteFile sites(dir.prog, "weburl.kvl");
    RegistryFile registry(QString::fromStdString(dir.registry()));
    switch (k % kCycle) {
    case 0:
        return outcome(sites.AppendSite(site(appended(c), 1 + int32_t(c % 3))).ok());
    case 1:
        return outcome(sites.ReplaceSite(appended(c), site(edited(c), 2)).ok());
    case 2:
        return outcome(sites.AppendSite(site(passing(c), 9)).ok());
    case 3:
        return outcome(sites.RemoveCategorySites(9).ok());
    case 4:
        return outcome(AddCategory(dir.cate(), name("M", c), false, "", 1).status ==
                       AddCategoryStatus::Added);
    case 5:
        return outcome(AddCategory(dir.cate(), name("S", c), true, name("M", c), 1).status ==
                       AddCategoryStatus::Added);
    case 6: {
        const auto where = ResolveSiteCategory(dir.cate(), name("S", c));
        if (!where)
            return Outcome::Failed;
        return outcome(
            sites.AppendSite(site(filed(c), where->categoryId, where->subCategoryId)).ok());
    }
    case 7:
        return outcome(
            RenameCategory(dir.cate(), sites.scratchPath(), name("M", c), name("R", c)).ok());
    case 8: {
        const DeleteCategoryResult r =
            DeleteCategory(dir.cate(), sites, name("R", c), [] { return true; });
        if (r.status == DeleteCategoryStatus::CategoryRewriteFailed)
            return Outcome::Partial;
        return outcome(r.status == DeleteCategoryStatus::Deleted);
    }
    case 9:
        return outcome(
            sites.appendSiteAllowingDuplicate({"pass", 0, name("pw", c), "", 1, 0}).ok());
    case 10:
        return outcome(sites.RemoveSites("pass").ok());
    case 11:
        return outcome(AddToFavorites(dir.favorites(), dir.site(), edited(c), 1).status ==
                       AddFavoriteStatus::Added);
    case 12:
        if (c % 3 == 2)
            return outcome(ClearFavorites(dir.favorites()));
        return outcome(AddToFavorites(dir.favorites(), dir.site(), edited(c), 1).status ==
                       AddFavoriteStatus::Added);
    case 13:
        return outcome(registry.setString(RegRoot::Users, kSettingsKey,
                                          QStringLiteral("V%1").arg(c % 7),
                                          QStringLiteral("value %1").arg(c)));
    case 14:
        return outcome(registry.replaceValues(
            RegRoot::CurrentUser, kHistoryKey,
            {{QStringLiteral("name %1").arg(c), RegValue::string(QString())},
             {QStringLiteral("name %1").arg(c / 2), RegValue::string(QString())}}));
    default:
        return outcome(WriteInternetShortcut(QString::fromStdString(dir.shortcuts()),
                                             shortcutName(c), QString::fromStdString(edited(c))));
    }
}

std::string describeOperation(uint64_t k) {
    static const char* const names[kCycle] = {"add a site",
                                              "edit a site",
                                              "add a site",
                                              "delete a category's sites",
                                              "add a category",
                                              "add a sub-category",
                                              "add a site",
                                              "rename a category",
                                              "delete a category",
                                              "set the password",
                                              "clear the password",
                                              "add a favourite",
                                              "add or clear favourites",
                                              "write a setting",
                                              "write the typed history",
                                              "write a browser shortcut"};
    return names[k % kCycle];
}

Leeway leewayOf(uint64_t k) {
    Leeway leeway;
    switch (k % kCycle) {
    case 0:
    case 2:
    case 6:
    case 9:
        leeway.appendFile = "weburl.kvl";
        break;
    case 4:
    case 5:
        leeway.appendFile = "cate.dat";
        break;
    case 11:
    case 12:
        leeway.appendFile = "favorites.dat";
        break;
    case 8:
        leeway.twoSteps = true;
        break;
    default:
        break;
    }
    return leeway;
}

void runFirstStepOfDelete(const ProgramDir& dir, uint64_t k) {
    const SiteFile sites(dir.prog, "weburl.kvl");
    if (const auto id = FindCategoryId(dir.cate(), name("R", k / kCycle)))
        sites.RemoveCategorySites(*id);
}

bool isBeforeWithFragment(const Files& before, const Files& now, const std::string& file) {
    const size_t record = file == "cate.dat" ? kCategoryRecordSize : kSiteRecordSize;
    Files rest = now;
    const auto it = rest.find(file);
    if (it == rest.end())
        return false;
    const std::string grown = it->second;
    rest.erase(file);
    Files beforeRest = before;
    const auto old = beforeRest.find(file);
    const std::string was = old == beforeRest.end() ? std::string() : old->second;
    beforeRest.erase(file);
    const size_t whole = was.size() / record * record;
    return rest == beforeRest && grown.size() % record != 0 && grown.size() > whole &&
           grown.size() < whole + record && grown.compare(0, whole, was, 0, whole) == 0;
}

std::string difference(const Files& expected, const Files& found) {
    std::string out;
    auto note = [&out](const std::string& text) { out += (out.empty() ? "" : "; ") + text; };
    for (const auto& [path, content] : expected) {
        const auto it = found.find(path);
        if (it == found.end())
            note(path + " missing");
        else if (it->second != content)
            note(path + " has " + std::to_string(it->second.size()) + " bytes, " +
                 std::to_string(content.size()) + " expected");
    }
    for (const auto& [path, content] : found)
        if (!expected.count(path))
            note(path + " should not exist");
    return out;
}

} // namespace korvalo::reliability
