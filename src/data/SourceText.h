#pragma once

#include <QString>

namespace korvalo {

// Interface texts are written in the sources as UTF-8.
inline QString u(const char* utf8) {
    return QString::fromUtf8(utf8);
}

} // namespace korvalo
