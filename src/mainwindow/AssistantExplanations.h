#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace korvalo {

class AssistantMode;

// Shows one explanation: a title and up to seven lines.
using Explain = std::function<void(const QString& title, const QStringList& lines)>;

// Puts every control the assistant explains into the mode's table: the
// toolbar, the lists, the favourites and browser-favourites buttons, the web
// search button, the online address and the maintenance buttons, each with
// its text and with whether it acts before the explanation, after it, or not
// at all.
void addAssistantExplanations(AssistantMode& mode, const Explain& explain);

} // namespace korvalo
