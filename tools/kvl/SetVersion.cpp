#include "SetVersion.h"

#include "CommandOptions.h"
#include "ExitStatus.h"

#include "data/CategoryFile.h"
#include "data/Cp1256.h"
#include "data/VersionRecord.h"

#include <QString>

#include <ostream>

namespace korvalo::kvl {

namespace {

std::string besideFile(const std::string& file, const std::string& name) {
    const auto slash = file.rfind('/');
    return slash == std::string::npos ? name : file.substr(0, slash + 1) + name;
}

std::string utf8(const std::string& cp1256) {
    return Cp1256::toUnicode(cp1256).toStdString();
}

} // namespace

int setVersion(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const auto options = parseCommandOptions(args, 2, {"--categories"}, {"--force"}, err);
    if (!options)
        return kUsage;
    const std::string& file = options->operands[0];
    const std::string& labelText = options->operands[1];
    const std::string cate = options->value("--categories").value_or(besideFile(file, "cate.dat"));

    const QString label = QString::fromUtf8(labelText.data(), qsizetype(labelText.size()));
    const std::optional<std::string> bytes = Cp1256::fromUnicode(label);
    if (label.toUtf8().toStdString() != labelText || !bytes) {
        err << "kvl: the label holds a character that Windows-1256 cannot represent\n";
        return kBadInput;
    }
    if (const auto problem = checkText(TextField::Url, *bytes)) {
        err << "kvl: the label: " << problem->describe() << "\n";
        return kBadInput;
    }
    const std::optional<int32_t> infoId = FindCategoryId(cate, std::string(kInfoCategoryName));
    if (!infoId) {
        err << "kvl: cannot read " << cate << "\n";
        return kBadInput;
    }
    const FirstSiteRecord first = ReadFirstSite(file);
    if (!first.opened) {
        err << "kvl: cannot read " << file << "\n";
        return kBadInput;
    }
    if (first.stored) {
        const SiteRecord current = DecodeSiteRecord(*first.stored);
        if (!isVersionRecord(current, *infoId) && !options->has("--force")) {
            err << "kvl: " << file << ": the first record is the site '" << utf8(current.Url)
                << "', not a version record; --force replaces it. Nothing written\n";
            return kBadInput;
        }
    }
    const DataFileResult r =
        WriteVersionRecord(file, SiteRecord{*bytes, *infoId, "", "", 0, 0}, first.stored);
    if (!r.ok()) {
        err << "kvl: " << file << ": " << (r.error.empty() ? describeStatus(r.status) : r.error)
            << "\n";
        return kBadInput;
    }
    out << "kvl: " << file << ": version " << labelText << " "
        << (r.replaced ? "in place of the first record" : "as the only record")
        << (*infoId == 0 ? ", under id 0 (no category named info)" : "") << "\n";
    return kOk;
}

} // namespace korvalo::kvl
