#pragma once

#include <QRect>

#include <vector>

namespace korvalo {

// The nine toolbar buttons, from right to left, each a hot zone and a lit
// picture named after the button: Show_Image1 and Show_Image2, ...
struct ToolbarButton {
    const char* name;
    QRect zone;
    QRect lit;
    const char* hint;
};
const std::vector<ToolbarButton>& toolbarButtons();

} // namespace korvalo
