#include "ConvertSites.h"

#include "CommandOptions.h"
#include "ExitStatus.h"
#include "RecordFile.h"

#include "data/LayoutConversion.h"
#include "platform/AtomicFile.h"

#include <ostream>

namespace korvalo::kvl {

int convertSites(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const auto options = parseCommandOptions(args, 2, {}, {}, err);
    if (!options)
        return kUsage;
    const std::string& oldFile = options->operands[0];
    const std::string& newFile = options->operands[1];

    const FileLock lock(lockPathFor(newFile));
    if (!lock.locked()) {
        err << "kvl: cannot lock " << newFile << "\n";
        return kBadInput;
    }
    const RecordFile old = readRecordFile(oldFile, kOldSiteRecordSize);
    if (old.status != RecordFile::Read) {
        err << "kvl: cannot read " << oldFile << ": " << old.error << "\n";
        return kBadInput;
    }
    const uint64_t length = old.records.size() + old.fragmentBytes;
    if (holdsCurrentSiteRecords(length)) {
        err << "kvl: " << oldFile << ": its " << length << " bytes are whole " << kSiteRecordSize
            << "-byte records and no whole " << kOldSiteRecordSize
            << "-byte ones: already converted. Nothing written\n";
        return kBadInput;
    }
    const size_t count = old.count(kOldSiteRecordSize);
    std::string converted(count * kSiteRecordSize, '\0');
    for (size_t i = 0; i < count; ++i)
        convertOldSiteRecord(old.record(i, kOldSiteRecordSize),
                             reinterpret_cast<uint8_t*>(converted.data()) + i * kSiteRecordSize);
    std::string error;
    if (!atomicReplace(newFile, converted, &error)) {
        err << "kvl: " << error << "\n";
        return kBadInput;
    }
    if (old.fragmentBytes > 0)
        err << "kvl: " << oldFile << ": trailing fragment of " << old.fragmentBytes
            << " bytes dropped\n";
    out << "kvl: " << newFile << ": " << count << " sites converted from " << oldFile << "\n";
    return kOk;
}

} // namespace korvalo::kvl
