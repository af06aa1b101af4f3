#pragma once

#include <QString>

namespace korvalo {

// Interface texts are written in the sources as UTF-8.
inline QString u(const char* utf8) { return QString::fromUtf8(utf8); }

// Gives a control its designer name, by which tests and tools find it.
template <typename W> W* named(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

} // namespace korvalo
