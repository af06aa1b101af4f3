#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

namespace korvalo {

enum class RegRoot { Users, LocalMachine, CurrentUser };

// The root's name as it stands in a key header: "HKEY_USERS", ...
QString regRootName(RegRoot root);

struct RegValue {
    // Other: a type this layer only carries along (hex:, hex(2):, ...); text
    // then holds the data exactly as written after the '='.
    enum Type { String, Dword, Other } type = String;
    QString text;
    uint32_t dword = 0;

    static RegValue string(QString text) { return {String, std::move(text), 0}; }
    static RegValue number(uint32_t value) { return {Dword, QString(), value}; }
    bool operator==(const RegValue&) const = default;
};

// The Windows registry, emulated in one REGEDIT4 text file (UTF-8):
//
//   REGEDIT4
//
//   [HKEY_USERS\.DEFAULT\Software\Korvalo\2.0]
//   "First"="1"
//   "X"=dword:00000001
//   @="the default (unnamed) value"
//
// Nothing is cached: every read parses the file afresh, and every change
// re-reads it, changes it and replaces it atomically while holding a lock
// on lockPathFor(path), so two running copies lose none of each other's
// changes. A missing file is an empty registry.
//
// Key paths are given without the root and without a leading backslash
// ("Software\\Default"; a leading one is accepted), and are compared without
// regard to letter case, as are value names. A value name "" is the key's
// default value ("@"). The order of keys and of values within a key is
// kept: a rewritten value keeps its place, a new one goes last.
//
// Lines this layer cannot read (a comment, a broken value line, a key of
// another root) are carried along verbatim in their place, so a write never
// drops what it did not understand; they belong to the key above them and
// go when that key is deleted. Blank lines are not kept.
class RegistryFile {
public:
    explicit RegistryFile(QString path = defaultPath());

    // $XDG_CONFIG_HOME/korvalo/registry.reg, ~/.config when that is unset.
    static QString defaultPath();
    QString path() const { return path_; }

    // True also when only keys below it are written down, as a key's
    // subkeys imply the key itself.
    bool keyExists(RegRoot root, const QString& key) const;
    // True when the key exists afterwards.
    bool createKey(RegRoot root, const QString& key);

    // nullopt when the file, the key or the value is missing.
    std::optional<RegValue> value(RegRoot root, const QString& key, const QString& name) const;
    // Both create the key when it is missing. They refuse (false) a name or
    // text holding a NUL character, which a registry string cannot carry.
    // Values of type Other are never written through this class.
    bool setString(RegRoot root, const QString& key, const QString& name, const QString& text);
    bool setDword(RegRoot root, const QString& key, const QString& name, uint32_t value);
    // False when the value was not there.
    bool deleteValue(RegRoot root, const QString& key, const QString& name);
    // Deletes the key with its values. Like the registry of Windows NT it
    // refuses a key that still has subkeys, and a missing key.
    bool deleteKey(RegRoot root, const QString& key);

    // Every value of the key, in order; empty when the key is missing.
    QStringList valueNames(RegRoot root, const QString& key) const;

    // The names of the key's direct subkeys, each once, in the order the
    // file first names them (a deeper key names its ancestors too).
    QStringList subkeyNames(RegRoot root, const QString& key) const;

    // Deletes the key's values and writes these in their place, creating
    // the key when missing, in one change: another copy never sees the key
    // half written. Subkeys stay.
    bool replaceValues(RegRoot root, const QString& key,
                       const std::vector<std::pair<QString, RegValue>>& values);

private:
    QString path_;
};

} // namespace korvalo
