#include "data/Cp1256.h"

#include <array>
#include <iconv.h>
#include <stdexcept>
#include <unordered_map>

namespace korvalo {

namespace {

// The tables are derived once from glibc's converter, so no code point is
// typed by hand here.
struct Tables {
    std::array<char16_t, 256> toUnicode{};
    std::unordered_map<char16_t, unsigned char> fromUnicode;

    Tables() {
        iconv_t cd = iconv_open("UTF-16LE", "WINDOWS-1256");
        if (cd == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error("the Windows-1256 converter is not available");
        for (int b = 0; b < 256; ++b) {
            char in = static_cast<char>(b);
            unsigned char out[4] = {};
            char* inPtr = &in;
            char* outPtr = reinterpret_cast<char*>(out);
            size_t inLeft = 1, outLeft = sizeof out;
            if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1) ||
                sizeof out - outLeft != 2) {
                toUnicode[b] = 0xFFFD;
                continue;
            }
            const char16_t u = static_cast<char16_t>(out[0] | (out[1] << 8));
            toUnicode[b] = u;
            fromUnicode.emplace(u, static_cast<unsigned char>(b));
        }
        iconv_close(cd);
    }
};

const Tables& tables() {
    static const Tables t;
    return t;
}

} // namespace

QString Cp1256::toUnicode(std::string_view bytes) {
    const auto& t = tables().toUnicode;
    QString out(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    QChar* d = out.data();
    for (unsigned char c : bytes)
        *d++ = QChar(t[c]);
    return out;
}

std::optional<std::string> Cp1256::fromUnicode(const QString& text) {
    const auto& map = tables().fromUnicode;
    std::string out;
    out.reserve(static_cast<size_t>(text.size()));
    for (QChar ch : text) {
        const auto it = map.find(ch.unicode());
        if (it == map.end())
            return std::nullopt;
        out.push_back(static_cast<char>(it->second));
    }
    return out;
}

std::optional<QChar> Cp1256::firstUnrepresentable(const QString& text) {
    const auto& map = tables().fromUnicode;
    for (QChar ch : text)
        if (!map.contains(ch.unicode()))
            return ch;
    return std::nullopt;
}

} // namespace korvalo
