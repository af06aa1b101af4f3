#pragma once

#include <QString>

#include <optional>
#include <string>
#include <string_view>

namespace korvalo {

// Windows-1256 (Windows Arabic), the code page of every text on disk.
// Every one of its 256 byte values stands for exactly one character, so a
// decode never fails; an encode fails when the text holds a character the
// code page has no byte for.
class Cp1256 {
public:
    static QString toUnicode(std::string_view bytes);
    static std::optional<std::string> fromUnicode(const QString& text);

    // The first character of text that Windows-1256 cannot hold, if any.
    static std::optional<QChar> firstUnrepresentable(const QString& text);
};

} // namespace korvalo
