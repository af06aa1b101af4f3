#include "data/SettingsStore.h"

#include "platform/RegistryFile.h"

#include <QDir>
#include <QStandardPaths>

namespace korvalo {

namespace {

const QString& settingsKey() {
    static const QString key = settings::kSettingsKey.toString();
    return key;
}

// A platform value is used only when it holds a usable text; anything else
// falls back to the Linux way of finding it.
QString platformText(const RegistryFile& registry, RegRoot root, QStringView key,
                     QStringView name) {
    const auto value = registry.value(root, key.toString(), name.toString());
    if (value && value->type == RegValue::String && !value->text.isEmpty())
        return value->text;
    return QString();
}

int hexDigit(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

// Each early return below is the guarded block ending at its first failure;
// what was filled in before it stays.
void runStartupBlock(SettingsStore& store, bool autorunEntryFound, StartupSettings& out) {
    using namespace settings;
    // A key that cannot be created shows up at the first write, not here.
    store.registry().createKey(RegRoot::Users, settingsKey());
    const auto first = store.readText(First);
    if (!first)
        return;
    out.firstRunMarker = *first;

    if (first->isEmpty()) {
        out.browserPath = store.registeredBrowserPath();
        out.favoritesFolder = store.platformFavoritesFolder();
        if (!store.WriteSetting(First, kFlagSet.toString()) ||
            !store.WriteSetting(IePath, out.browserPath) ||
            !store.WriteSetting(FavoritesPath, out.favoritesFolder) ||
            !store.WriteSetting(BanerNo, BanerNo.defaultText.toString()))
            return;
    } else {
        const auto browser = store.readText(IePath);
        if (!browser)
            return;
        out.browserPath = *browser;
        const auto favorites = store.readText(FavoritesPath);
        if (!favorites)
            return;
        out.favoritesFolder = *favorites;
        const auto banerText = store.readText(BanerNo);
        const auto banerNo = banerText ? decimalInteger(*banerText) : std::nullopt;
        if (!banerNo)
            return;
        out.banerNo = *banerNo;
        const auto minim = store.readText(Minim);
        if (!minim)
            return;
        out.minimiseFlag = *minim;
    }

    if (out.favoritesFolder.isEmpty()) {
        out.favoritesFolder = store.platformFavoritesFolder();
        if (!store.WriteSetting(FavoritesPath, out.favoritesFolder))
            return;
    }
    // Not written back: it reaches the registry at the next options Save.
    if (out.browserPath.isEmpty())
        out.browserPath = store.registeredBrowserPath();

    if (autorunEntryFound) {
        out.startWithSystemTicked = true;
        out.minimEnabled = true;
    }
    if (out.minimiseFlag == kFlagSet) {
        out.minimTicked = true;
        out.minimEnabled = true;
    }
}

void runDisplayBlock(const SettingsStore& store, DisplaySettings& out) {
    using namespace settings;
    const auto fontName = store.readText(FontName);
    if (!fontName || fontName->isEmpty())
        return;
    out.fontName = *fontName;
    const auto fontSize = store.readText(FontSize);
    if (!fontSize)
        return;
    out.fontSize = *fontSize;
    const auto bold = store.readText(FontBlod);
    if (!bold)
        return;
    out.bold = *bold == kFlagSet;
    const auto italic = store.readText(FontItalic);
    if (!italic)
        return;
    out.italic = *italic == kFlagSet;

    const std::pair<const Setting*, uint32_t*> pickers[] = {
        {&TabelTextColor, &out.colors.listText},
        {&TabelBackColor, &out.colors.listBack},
        {&TabelHeadTextColor, &out.colors.headText},
        {&TabelHeadBackColor, &out.colors.headBack},
    };
    for (const auto& [setting, color] : pickers) {
        const auto text = store.readText(*setting);
        const auto value = text ? TextToColor(*text) : std::nullopt;
        if (!value)
            return;
        *color = *value;
    }
}

} // namespace

std::optional<int> decimalInteger(const QString& text) {
    const qsizetype start = text.startsWith(u'-') || text.startsWith(u'+') ? 1 : 0;
    if (text.size() == start)
        return std::nullopt;
    for (qsizetype i = start; i < text.size(); ++i) {
        if (text[i] < u'0' || text[i] > u'9')
            return std::nullopt;
    }
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    return ok ? std::optional<int>(value) : std::nullopt;
}

SettingsStore::SettingsStore(RegistryFile& registry)
    : registry_(registry) {}

QString SettingsStore::ReadSetting(const QString& name) const {
    return readText(name).value_or(QString());
}

bool SettingsStore::WriteSetting(const QString& name, const QString& text) {
    return registry_.setString(RegRoot::Users, settingsKey(), name, text);
}

std::optional<QString> SettingsStore::readText(const QString& name) const {
    const auto value = registry_.value(RegRoot::Users, settingsKey(), name);
    if (!value)
        return QString();
    if (value->type != RegValue::String)
        return std::nullopt;
    return value->text;
}

QString SettingsStore::registeredBrowserPath() const {
    const QString registered =
        platformText(registry_, RegRoot::LocalMachine, settings::kBrowserPathKey, QStringView());
    if (!registered.isEmpty())
        return registered;
    return QStandardPaths::findExecutable(settings::kFallbackBrowserProgram.toString());
}

QString SettingsStore::platformFavoritesFolder() const {
    const QString registered = platformText(registry_, RegRoot::Users, settings::kShellFoldersKey,
                                            settings::kFavoritesValue);
    if (!registered.isEmpty())
        return registered;
    return QDir::homePath() + u'/' + settings::kFallbackFavoritesFolder.toString();
}

StartupSettings LoadStartupSettings(SettingsStore& store, bool autorunEntryFound) {
    StartupSettings out;
    runStartupBlock(store, autorunEntryFound, out);
    return out;
}

DisplaySettings LoadDisplaySettings(const SettingsStore& store) {
    DisplaySettings out;
    runDisplayBlock(store, out);
    return out;
}

QString ColorToText(uint32_t color) {
    return QStringLiteral("%1").arg(color, 8, 16, QChar(u'0')).toUpper();
}

// Read as "0x" + text parsed into 64 bits, keeping the low 32: so longer
// texts with leading digits still read, and anything not hexadecimal fails.
std::optional<uint32_t> TextToColor(const QString& text) {
    if (text.isEmpty())
        return std::nullopt;
    uint64_t value = 0;
    for (const QChar c : text) {
        const int digit = hexDigit(c);
        if (digit < 0 || (value >> 60) != 0)
            return std::nullopt;
        value = (value << 4) | uint64_t(digit);
    }
    return uint32_t(value);
}

} // namespace korvalo
