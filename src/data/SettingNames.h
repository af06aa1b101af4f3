#pragma once

#include <QStringView>

#include <cstdint>

// The one table of the program's settings: where they live, their value
// names (spelled as they have always been stored, "BanerNo" and "FontBlod"
// included), their text formats and their defaults.
namespace korvalo::settings {

// HKEY_USERS: the program's own values.
inline constexpr QStringView kSettingsKey = u".DEFAULT\\Software\\Korvalo\\2.0";

// Platform values that are only read. The browser path is the key's
// default (unnamed) value.
inline constexpr QStringView kBrowserPathKey =
    u"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\IEXPLORE.EXE"; // HKEY_LOCAL_MACHINE
inline constexpr QStringView kShellFoldersKey = u".DEFAULT\\Software\\Microsoft\\Windows\\CurrentVe"
                                                u"rsion\\Explorer\\Shell Folders"; // HKEY_USERS
inline constexpr QStringView kFavoritesValue = u"Favorites";
// Used when the emulated registry holds no platform value.
inline constexpr QStringView kFallbackBrowserProgram = u"xdg-open";
inline constexpr QStringView kFallbackFavoritesFolder = u"Favorites"; // under $HOME

// HKEY_CURRENT_USER: the typed entries of the mail dialogs, one shared list;
// each entry is a value name with empty data.
inline constexpr QStringView kTypedHistoryKey = u"Software\\Default";
inline constexpr int kTypedHistoryLimit = 20;

enum class Format {
    Flag,     // "1" set, "0" (or absent) clear
    Path,     // a full file or folder path, no trailing slash
    Integer,  // decimal text
    FontFace, // a face name from the platform's font list
    FontSize, // decimal points, one of the size list's entries
    Color,    // eight upper-case hex digits of a platform colour word
    Line,     // a line of text as received
};

struct Setting {
    QStringView name;
    Format format;
    // What an absent value stands for. Empty where the default is worked out
    // at run time (the platform's browser and favourites folder) or where an
    // absent value has a meaning of its own (First, FontName).
    QStringView defaultText;
};

inline constexpr QStringView kFlagSet = u"1";
inline constexpr QStringView kFlagClear = u"0";

inline constexpr Setting First{u"First", Format::Flag, u""}; // absent: a first run
inline constexpr Setting IePath{u"IePath", Format::Path, u""};
inline constexpr Setting FavoritesPath{u"FavoritesPath", Format::Path, u""};
inline constexpr Setting BanerNo{u"BanerNo", Format::Integer, u"1"}; // also what a first run writes
inline constexpr Setting Minim{u"Minim", Format::Flag, u"0"};
inline constexpr Setting FontName{u"FontName", Format::FontFace, u""}; // absent: design font
inline constexpr Setting FontSize{u"FontSize", Format::FontSize, u""};
inline constexpr Setting FontBlod{u"FontBlod", Format::Flag, u"0"};
inline constexpr Setting FontItalic{u"FontItalic", Format::Flag, u"0"};
inline constexpr Setting TabelTextColor{u"TabelTextColor", Format::Color, u"00000000"};
inline constexpr Setting TabelBackColor{u"TabelBackColor", Format::Color, u"00FFFFFF"};
inline constexpr Setting TabelHeadTextColor{u"TabelHeadTextColor", Format::Color, u"00FFFFFF"};
inline constexpr Setting TabelHeadBackColor{u"TabelHeadBackColor", Format::Color, u"00C08080"};
inline constexpr Setting Task{u"Task", Format::Flag, u""}; // "1": no minimise-to-tray notice
inline constexpr Setting I1{u"I1", Format::Line, u""};     // I1..I5: the last banner list
inline constexpr Setting I2{u"I2", Format::Line, u""};
inline constexpr Setting I3{u"I3", Format::Line, u""};
inline constexpr Setting I4{u"I4", Format::Line, u""};
inline constexpr Setting I5{u"I5", Format::Line, u""};

// The defaults as numbers, worked out from the texts above at compile time.
constexpr uint32_t defaultColor(const Setting& s) {
    uint32_t value = 0;
    for (qsizetype i = 0; i < s.defaultText.size(); ++i) {
        const char16_t u = s.defaultText[i].unicode();
        value = value * 16 + (u <= u'9' ? u - u'0' : u - u'A' + 10);
    }
    return value;
}

constexpr int defaultInteger(const Setting& s) {
    int value = 0;
    for (qsizetype i = 0; i < s.defaultText.size(); ++i)
        value = value * 10 + (s.defaultText[i].unicode() - u'0');
    return value;
}

} // namespace korvalo::settings
