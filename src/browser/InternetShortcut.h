#pragma once

#include <QByteArrayView>
#include <QString>

#include <optional>

namespace korvalo {

// Internet shortcut files, the browser's favourites: "[InternetShortcut]",
// then "URL=" and the address, each line ended by CR LF. On this system the
// file names and the text written are UTF-8; text read is taken as UTF-8
// when it is valid UTF-8 and as Windows-1256 otherwise.

// Whether a name can be a shortcut's file name as it stands: it holds none
// of the characters a Windows file name may not hold (\ / : * ? " < > | and
// control characters). Names are never altered to fit, so the favourites
// folder stays readable by Windows browsers and a name never reaches out of
// the folder.
bool isShortcutFileName(const QString& name);

// folder/name.URL
QString shortcutPath(const QString& folder, const QString& name);

// Adds a shortcut section for address to folder/name.URL, after whatever the
// file already holds (a second shortcut of the same name is appended, not
// replaced). The file is replaced atomically, so a failure leaves it as it
// was. False when the name is not a valid file name, the folder is missing
// or the file cannot be read or written; error then says why.
bool WriteInternetShortcut(const QString& folder, const QString& name, const QString& address,
                           QString* error = nullptr);

// The address a shortcut's text gives: from the first of its first four
// lines (each cut at 99 bytes; a cut line is the last one read) that
// contains "URL=", the text after the first '=' from the line's second
// byte on, with every blank removed. nullopt when no such line exists.
std::optional<QString> shortcutAddress(QByteArrayView content);

struct ShortcutRead {
    bool opened = false;
    std::optional<QString> address;
};

// Opens a shortcut file and reads its address.
ShortcutRead ReadShortcutAddress(const QString& path);

} // namespace korvalo
