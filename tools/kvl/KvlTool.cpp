#include "KvlTool.h"

#include "ConvertCategories.h"
#include "ConvertSites.h"
#include "ExitStatus.h"
#include "ExportHtml.h"
#include "ImportHtml.h"
#include "SearchSites.h"
#include "SetVersion.h"

#include "data/Cp1256.h"
#include "data/RecordReader.h"
#include "data/Records.h"
#include "platform/AtomicFile.h"

#include <QString>

#include <charconv>
#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>

namespace korvalo::kvl {

namespace {

const char* const kUsageText =
    "usage: kvl sites FILE\n"
    "       kvl categories FILE\n"
    "       kvl make-sites TEXT FILE\n"
    "       kvl make-categories TEXT FILE\n"
    "       kvl export-html SITEFILE CATEFILE OUT.html\n"
    "       kvl import-html IN.html SITEFILE CATEFILE\n"
    "       kvl set-version SITEFILE LABEL [--categories CATEFILE] [--force]\n"
    "       kvl convert-sites OLD NEW\n"
    "       kvl convert-categories OLD NEW [--sites SITEFILE] [--force]\n"
    "       kvl search [--address] QUERY FILE\n"
    "TEXT is UTF-8, one record per line, fields separated by one tab; '-' reads standard input.\n"
    "  site fields:     Url CategoryId Title Language UserMark SubCategoryId\n"
    "  category fields: Name Id IsRoot ParentId UserMark\n";

std::string toUtf8(const std::string& cp1256) {
    return Cp1256::toUnicode(cp1256).toStdString();
}

std::vector<std::string> splitTabs(const std::string& line) {
    std::vector<std::string> fields;
    size_t start = 0;
    for (;;) {
        const size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab - start));
        if (tab == std::string::npos)
            return fields;
        start = tab + 1;
    }
}

// Reports a bad line; collects the first problem of each line.
class LineErrors {
public:
    LineErrors(std::ostream& err, std::string source)
        : err_(err)
        , source_(std::move(source)) {}
    void report(size_t line, const std::string& what) {
        err_ << source_ << ":" << line << ": " << what << "\n";
        ++count_;
    }
    size_t count() const { return count_; }

private:
    std::ostream& err_;
    std::string source_;
    size_t count_ = 0;
};

std::optional<int32_t> parseInt(const std::string& text) {
    int32_t value = 0;
    const char* first = text.data();
    const char* last = first + text.size();
    if (text.empty())
        return std::nullopt;
    const auto [ptr, ec] = std::from_chars(first, last, value);
    if (ec != std::errc() || ptr != last)
        return std::nullopt;
    return value;
}

// Converts one UTF-8 text field to Windows-1256 bytes that fit the field.
std::optional<std::string> parseText(TextField field, const std::string& utf8, size_t line,
                                     LineErrors& errors) {
    const std::string name = fieldName(field);
    if (utf8.find_first_of("\r\n") != std::string::npos) {
        errors.report(line, name + " holds a line break");
        return std::nullopt;
    }
    const QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    if (text.toUtf8().toStdString() != utf8) {
        errors.report(line, name + " is not valid UTF-8");
        return std::nullopt;
    }
    if (const auto bad = Cp1256::firstUnrepresentable(text)) {
        char code[16];
        std::snprintf(code, sizeof code, "U+%04X", unsigned(bad->unicode()));
        errors.report(line, name + " holds a character that Windows-1256 cannot represent (" +
                                code + ")");
        return std::nullopt;
    }
    std::string bytes = *Cp1256::fromUnicode(text);
    if (const auto e = checkText(field, bytes)) {
        errors.report(line, e->describe());
        return std::nullopt;
    }
    return bytes;
}

std::optional<int32_t> parseNumber(const char* name, const std::string& text, size_t line,
                                   LineErrors& errors) {
    const auto v = parseInt(text);
    if (!v)
        errors.report(line, std::string(name) + " is not a 32-bit integer: '" + text + "'");
    return v;
}

// Reads TEXT line by line; calls parse(fields, lineNumber) for each line.
template <typename Parse> bool readLines(std::istream& in, Parse parse) {
    std::string line;
    size_t number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') // text edited on Windows
            line.pop_back();
        parse(splitTabs(line), number);
    }
    return !in.bad();
}

bool openText(const std::string& name, std::istream& stdinStream, std::ifstream& file,
              std::istream*& in, std::ostream& err) {
    if (name == "-") {
        in = &stdinStream;
        return true;
    }
    file.open(name, std::ios::binary);
    if (!file) {
        err << "kvl: cannot open " << name << "\n";
        return false;
    }
    in = &file;
    return true;
}

int makeFile(bool sites, const std::string& textName, const std::string& outName,
             std::istream& stdinStream, std::ostream& err) {
    std::ifstream file;
    std::istream* in = nullptr;
    if (!openText(textName, stdinStream, file, in, err))
        return kBadInput;

    LineErrors errors(err, textName == "-" ? std::string("<stdin>") : textName);
    std::string content;
    const size_t expected = sites ? 6 : 5;
    const bool readOk = readLines(*in, [&](const std::vector<std::string>& f, size_t line) {
        if (f.size() != expected) {
            errors.report(line, "expected " + std::to_string(expected) +
                                    " fields separated by "
                                    "tabs, found " +
                                    std::to_string(f.size()));
            return;
        }
        if (sites) {
            SiteRecord r;
            const auto url = parseText(TextField::Url, f[0], line, errors);
            const auto cat = parseNumber("CategoryId", f[1], line, errors);
            const auto title = parseText(TextField::Title, f[2], line, errors);
            const auto lang = parseText(TextField::Language, f[3], line, errors);
            const auto mark = parseNumber("UserMark", f[4], line, errors);
            const auto sub = parseNumber("SubCategoryId", f[5], line, errors);
            if (!url || !cat || !title || !lang || !mark || !sub)
                return;
            r = SiteRecord{*url, *cat, *title, *lang, *mark, *sub};
            SiteBytes b;
            EncodeSiteRecord(r, b);
            content.append(reinterpret_cast<const char*>(b.data()), b.size());
        } else {
            const auto name = parseText(TextField::Name, f[0], line, errors);
            const auto id = parseNumber("Id", f[1], line, errors);
            const auto root = parseNumber("IsRoot", f[2], line, errors);
            const auto parent = parseNumber("ParentId", f[3], line, errors);
            const auto mark = parseNumber("UserMark", f[4], line, errors);
            if (!name || !id || !root || !parent || !mark)
                return;
            CategoryBytes b;
            EncodeCategoryRecord(CategoryRecord{*name, *id, *root, *parent, *mark}, b);
            content.append(reinterpret_cast<const char*>(b.data()), b.size());
        }
    });
    if (!readOk) {
        err << "kvl: cannot read " << textName << "\n";
        return kBadInput;
    }
    if (errors.count() > 0) {
        err << "kvl: " << outName << " left untouched\n";
        return kBadInput;
    }
    std::string error;
    if (!atomicReplace(outName, content, &error)) {
        err << "kvl: " << error << "\n";
        return kBadInput;
    }
    return kOk;
}

int listFile(bool sites, const std::string& name, std::ostream& out, std::ostream& err) {
    RecordReader reader(sites ? kSiteRecordSize : kCategoryRecordSize);
    if (!reader.open(name)) {
        err << "kvl: cannot open " << name << "\n";
        return kBadInput;
    }
    while (const uint8_t* rec = reader.next()) {
        if (sites) {
            const SiteRecord r = DecodeSiteRecord(rec);
            out << toUtf8(r.Url) << '\t' << r.CategoryId << '\t' << toUtf8(r.Title) << '\t'
                << toUtf8(r.Language) << '\t' << r.UserMark << '\t' << r.SubCategoryId << '\n';
        } else {
            const CategoryRecord r = DecodeCategoryRecord(rec);
            out << toUtf8(r.Name) << '\t' << r.Id << '\t' << r.IsRoot << '\t' << r.ParentId << '\t'
                << r.UserMark << '\n';
        }
    }
    if (reader.failed()) {
        err << "kvl: read error in " << name << "\n";
        return kBadInput;
    }
    if (reader.fragmentBytes() > 0)
        err << "kvl: " << name << ": trailing fragment of " << reader.fragmentBytes()
            << " bytes ignored\n";
    out.flush();
    return kOk;
}

} // namespace

int run(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
        std::ostream& err) {
    if (args.size() == 2 && (args[0] == "sites" || args[0] == "categories"))
        return listFile(args[0] == "sites", args[1], out, err);
    if (args.size() == 3 && (args[0] == "make-sites" || args[0] == "make-categories"))
        return makeFile(args[0] == "make-sites", args[1], args[2], in, err);
    if (args.size() == 4 && args[0] == "export-html")
        return exportHtml(args[1], args[2], args[3], out, err);
    if (args.size() == 4 && args[0] == "import-html")
        return importHtml(args[1], args[2], args[3], out, err);
    if (isSearchCommand(args))
        return searchSites(args, out, err);
    // Commands that read their own options; kUsage from one is answered here.
    using Command = int (*)(const std::vector<std::string>&, std::ostream&, std::ostream&);
    const std::pair<const char*, Command> commands[] = {
        {"set-version", setVersion},
        {"convert-sites", convertSites},
        {"convert-categories", convertCategories},
    };
    for (const auto& [name, command] : commands)
        if (!args.empty() && args[0] == name)
            if (const int status = command({args.begin() + 1, args.end()}, out, err);
                status != kUsage)
                return status;
    err << kUsageText;
    return kUsage;
}

} // namespace korvalo::kvl
