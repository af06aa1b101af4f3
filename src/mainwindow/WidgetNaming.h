#pragma once

#include "data/SourceText.h"

#include <QString>

namespace korvalo {

// Gives a control its designer name, by which tests and tools find it.
template <typename W> W* named(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

} // namespace korvalo
