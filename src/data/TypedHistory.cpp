#include "data/TypedHistory.h"

#include "data/SettingNames.h"
#include "platform/RegistryFile.h"

#include <utility>
#include <vector>

namespace korvalo {

QStringList loadTypedHistory(RegistryFile& registry) {
    return registry.valueNames(RegRoot::CurrentUser, settings::kTypedHistoryKey.toString());
}

QStringList rememberTypedEntry(RegistryFile& registry, QStringList list, const QString& text) {
    if (text.isEmpty())
        return list;
    list.removeIf([&](const QString& entry) { return entry.isEmpty() || entry == text; });
    list.prepend(text);

    std::vector<std::pair<QString, RegValue>> values;
    const qsizetype count = std::min<qsizetype>(list.size(), settings::kTypedHistoryLimit);
    for (qsizetype i = 0; i < count; ++i) {
        if (!list[i].trimmed().isEmpty())
            values.emplace_back(list[i], RegValue::string(QString()));
    }
    // Deleting the key and writing it afresh, as one change, so that another
    // copy of the program never reads a half-written list.
    registry.replaceValues(RegRoot::CurrentUser, settings::kTypedHistoryKey.toString(), values);
    return list;
}

} // namespace korvalo
