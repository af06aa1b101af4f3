#pragma once

#include <QColor>

#include <cstdint>

namespace korvalo {

// Colours are kept as 32-bit platform colour words: 0x00BBGGRR for a plain
// colour, 0x800000nn for the system colour with index nn.
constexpr uint32_t kSystemColorFlag = 0x80000000u;

inline bool isSystemColor(uint32_t word) {
    return (word & 0xFF000000u) == kSystemColorFlag;
}

// The colour a word stands for on this desktop; system colours come from
// the application palette.
QColor colorFromWord(uint32_t word);
// The plain colour word of a QColor.
uint32_t wordFromColor(const QColor& color);

} // namespace korvalo
