#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <optional>
#include <utility>
#include <vector>

namespace korvalo {

// INI text as the Windows profile functions read it: "[section]" headers
// and "key=value" lines, names compared without regard to ASCII letter case,
// blanks around names and values dropped, and one pair of matching quotes
// around a value removed. Lines before the first header, comments (";") and
// lines without "=" count for nothing.
struct IniSection {
    QByteArray name;
    std::vector<std::pair<QByteArray, QByteArray>> values; // in file order
};

std::vector<IniSection> parseIni(QByteArrayView text);

// The value of key in the first section named section; the first such key
// wins. nullopt when either is missing.
std::optional<QByteArray> iniValue(QByteArrayView text, QByteArrayView section, QByteArrayView key);
std::optional<QByteArray> iniValue(const IniSection& section, QByteArrayView key);

} // namespace korvalo
