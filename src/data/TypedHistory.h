#pragma once

#include <QString>
#include <QStringList>

namespace korvalo {

class RegistryFile;

// The typed entries of the mail dialogs' history boxes: one list shared by
// every box, kept as value names with empty data under HKEY_CURRENT_USER
// "Software\Default". Registry failures are ignored.

// The remembered entries in the order the key lists them; empty when the key
// is missing.
QStringList loadTypedHistory(RegistryFile& registry);

// What a box does with its text when it loses the focus: removes every entry
// equal to text and every empty entry, puts text first and rewrites the key
// with the first 20 entries (entries blank after trimming are not written
// but still count). Returns the box's new list, which keeps all entries.
// An empty text changes nothing.
QStringList rememberTypedEntry(RegistryFile& registry, QStringList list, const QString& text);

} // namespace korvalo
