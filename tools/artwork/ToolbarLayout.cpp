#include "ToolbarLayout.h"

namespace korvalo::art {

const std::vector<ToolbarButtonArt>& toolbarButtons() {
    // "Email" opens the options and "Option" the contact menu: the names are
    // the window's, the captions say what the buttons do.
    static const std::vector<ToolbarButtonArt> buttons = {
        {QStringLiteral("Show"),
         {728, 16, 48, 41},
         {729, 18, 51, 47},
         QString::fromUtf8("المواقع"),
         Glyph::Globe},
        {QStringLiteral("Favorites"),
         {662, 16, 49, 42},
         {660, 17, 51, 46},
         QString::fromUtf8("المفضلة"),
         Glyph::Star},
        {QStringLiteral("Favorites_Ie"),
         {592, 16, 45, 38},
         {589, 18, 52, 46},
         QString::fromUtf8("المتصفح"),
         Glyph::BrowserStar},
        {QStringLiteral("Add"),
         {504, 16, 50, 37},
         {505, 16, 54, 47},
         QString::fromUtf8("اضافة"),
         Glyph::Plus},
        {QStringLiteral("Search"),
         {430, 16, 47, 41},
         {428, 17, 51, 51},
         QString::fromUtf8("بحث"),
         Glyph::Magnifier},
        {QStringLiteral("Email"),
         {344, 17, 49, 40},
         {340, 17, 59, 49},
         QString::fromUtf8("خصائص"),
         Glyph::Gear},
        {QStringLiteral("Option"),
         {265, 16, 50, 41},
         {268, 16, 53, 48},
         QString::fromUtf8("تواصل"),
         Glyph::Envelope},
        {QStringLiteral("Help"),
         {196, 18, 46, 37},
         {198, 16, 49, 46},
         QString::fromUtf8("المساعد"),
         Glyph::Assistant},
        {QStringLiteral("About"),
         {131, 17, 41, 37},
         {133, 16, 44, 47},
         QString::fromUtf8("حول"),
         Glyph::Info},
    };
    return buttons;
}

} // namespace korvalo::art
