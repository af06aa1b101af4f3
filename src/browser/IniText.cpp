#include "browser/IniText.h"

namespace korvalo {

namespace {

bool sameName(QByteArrayView a, QByteArrayView b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QByteArrayView unquoted(QByteArrayView value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        return value.sliced(1, value.size() - 2);
    return value;
}

} // namespace

std::vector<IniSection> parseIni(QByteArrayView text) {
    std::vector<IniSection> sections;
    qsizetype pos = 0;
    while (pos < text.size()) {
        qsizetype end = text.indexOf('\n', pos);
        if (end < 0)
            end = text.size();
        const QByteArrayView line = text.sliced(pos, end - pos).trimmed();
        pos = end + 1;
        if (line.startsWith('[')) {
            const qsizetype close = line.indexOf(']');
            if (close > 0)
                sections.push_back({line.sliced(1, close - 1).trimmed().toByteArray(), {}});
            continue;
        }
        if (sections.empty() || line.startsWith(';'))
            continue;
        const qsizetype eq = line.indexOf('=');
        if (eq < 0)
            continue;
        sections.back().values.emplace_back(line.first(eq).trimmed().toByteArray(),
                                            unquoted(line.sliced(eq + 1).trimmed()).toByteArray());
    }
    return sections;
}

std::optional<QByteArray> iniValue(const IniSection& section, QByteArrayView key) {
    for (const auto& [name, value] : section.values) {
        if (sameName(name, key))
            return value;
    }
    return std::nullopt;
}

std::optional<QByteArray> iniValue(QByteArrayView text, QByteArrayView section,
                                   QByteArrayView key) {
    for (const IniSection& s : parseIni(text)) {
        if (sameName(s.name, section))
            return iniValue(s, key);
    }
    return std::nullopt;
}

} // namespace korvalo
