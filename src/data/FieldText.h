#pragma once

#include "data/Records.h"

#include <QString>

#include <optional>
#include <string>

namespace korvalo {

// Converts what the user typed into the Windows-1256 bytes of a record field.
// A text that the code page cannot hold or that is too long for its field
// gives nullopt and, in message, the Arabic sentence that says why.
std::optional<std::string> fieldBytes(const QString& text, TextField field, QString* message);

// The same for a password, which the password record keeps in its Title.
std::optional<std::string> passwordBytes(const QString& text, QString* message);

} // namespace korvalo
