#pragma once

#include "data/SettingNames.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

namespace korvalo {

class RegistryFile;

// The program's options: text values under one key of the emulated registry
// (HKEY_USERS\.DEFAULT\Software\Korvalo\2.0). Reads and writes never report
// errors to the user; the start-up loads run as guarded blocks that stop at
// their first failure and keep what was read before it.
class SettingsStore {
public:
    explicit SettingsStore(RegistryFile& registry);

    // The text of a value; empty when the value or the key is absent, or when
    // the value is not stored as text.
    QString ReadSetting(const QString& name) const;
    // Creates the key when missing. False when the registry refuses.
    bool WriteSetting(const QString& name, const QString& text);

    // Like ReadSetting, but nullopt for a value stored with a type other than
    // text: the failure that ends a guarded block.
    std::optional<QString> readText(const QString& name) const;

    // The same three by an entry of the settings table, which the program's
    // own values always go by.
    QString ReadSetting(const settings::Setting& s) const { return ReadSetting(s.name.toString()); }
    bool WriteSetting(const settings::Setting& s, const QString& text) {
        return WriteSetting(s.name.toString(), text);
    }
    std::optional<QString> readText(const settings::Setting& s) const {
        return readText(s.name.toString());
    }

    // Values owned by the platform, only ever read.
    QString registeredBrowserPath() const;   // emulated App Paths value, else xdg-open
    QString platformFavoritesFolder() const; // emulated Shell Folders value, else ~/Favorites

    RegistryFile& registry() { return registry_; }

private:
    RegistryFile& registry_;
};

// What the first start-up load leaves in memory and in the options controls.
// Fields keep their defaults where the guarded block stopped before them.
struct StartupSettings {
    QString firstRunMarker;  // the text of First as read: empty on a first run
    QString browserPath;     // IePath, into Edit9 (and the hidden Edit6)
    QString favoritesFolder; // FavoritesPath, into Edit8
    int banerNo = settings::defaultInteger(settings::BanerNo);
    QString minimiseFlag;               // Minim
    bool startWithSystemTicked = false; // CheckBox2
    bool minimTicked = false;           // MinimCheck
    bool minimEnabled = false;          // MinimCheck enabled
};

// autorunEntryFound: whether the start-with-system entry was found while the
// window loaded; it decides CheckBox2.
StartupSettings LoadStartupSettings(SettingsStore& store, bool autorunEntryFound);

// Optional sign and decimal digits, nothing else: "", " 1" and "0x1" give
// nullopt. How the numeric settings (BanerNo) are read.
std::optional<int> decimalInteger(const QString& text);

// Colours are 32-bit platform colour words: 0x00BBGGRR, or 0x800000nn for a
// system colour.
QString ColorToText(uint32_t color);
std::optional<uint32_t> TextToColor(const QString& text);

struct DisplayColors {
    uint32_t listText = settings::defaultColor(settings::TabelTextColor);     // ColorPickerButton3
    uint32_t listBack = settings::defaultColor(settings::TabelBackColor);     // ColorPickerButton4
    uint32_t headText = settings::defaultColor(settings::TabelHeadTextColor); // ColorPickerButton1
    uint32_t headBack = settings::defaultColor(settings::TabelHeadBackColor); // ColorPickerButton2
};

// What the display load found. fontName unset means no display values are
// stored (or the block failed on FontName): the window then selects its
// lists' design font. Colours not reached keep their design values.
struct DisplaySettings {
    std::optional<QString> fontName;
    std::optional<QString> fontSize;
    std::optional<bool> bold;
    std::optional<bool> italic;
    DisplayColors colors;
};

DisplaySettings LoadDisplaySettings(const SettingsStore& store);

} // namespace korvalo
