#include "ConvertCategories.h"

#include "CommandOptions.h"
#include "ExitStatus.h"
#include "RecordFile.h"

#include "data/LayoutConversion.h"
#include "platform/AtomicFile.h"

#include <ostream>

namespace korvalo::kvl {

int convertCategories(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const auto options = parseCommandOptions(args, 2, {"--sites"}, {"--force"}, err);
    if (!options)
        return kUsage;
    const std::string& oldFile = options->operands[0];
    const std::string& newFile = options->operands[1];

    const FileLock lock(lockPathFor(newFile));
    if (!lock.locked()) {
        err << "kvl: cannot lock " << newFile << "\n";
        return kBadInput;
    }
    const RecordFile old = readRecordFile(oldFile, kOldCategoryRecordSize);
    if (old.status != RecordFile::Read) {
        err << "kvl: cannot read " << oldFile << ": " << old.error << "\n";
        return kBadInput;
    }
    if (const auto sites = options->value("--sites")) {
        const auto renumbered = renumberedIds(oldFile);
        const auto used = renumbered ? idsInUse(*sites, *renumbered) : std::nullopt;
        if (!used) {
            err << "kvl: cannot read " << (renumbered ? *sites : oldFile) << "\n";
            return kBadInput;
        }
        if (!used->empty() && !options->has("--force")) {
            err << "kvl: " << *sites << " refers to category ids that would name other "
                << "categories:";
            for (const int32_t id : *used)
                err << " " << id;
            err << "; --force converts anyway. Nothing written\n";
            return kBadInput;
        }
    }
    const size_t count = old.count(kOldCategoryRecordSize);
    std::string converted(count * kCategoryRecordSize, '\0');
    for (size_t i = 0; i < count; ++i)
        convertOldCategoryRecord(old.record(i, kOldCategoryRecordSize), static_cast<int32_t>(i),
                                 reinterpret_cast<uint8_t*>(converted.data()) +
                                     i * kCategoryRecordSize);
    std::string error;
    if (!atomicReplace(newFile, converted, &error)) {
        err << "kvl: " << error << "\n";
        return kBadInput;
    }
    if (old.fragmentBytes > 0)
        err << "kvl: " << oldFile << ": trailing fragment of " << old.fragmentBytes
            << " bytes dropped\n";
    out << "kvl: " << newFile << ": " << count << " categories converted from " << oldFile
        << ", all main categories with ids from 0\n";
    return kOk;
}

} // namespace korvalo::kvl
