#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace korvalo {

// How many banners the main window shows, and so how many identifiers of a
// list it keeps.
inline constexpr int kBannerSlots = 5;

// The identifiers of a banner-list reply: each "|" ends one (an empty one
// too), and whatever follows the last "|" is dropped. nullopt for exactly
// "No", the server's "nothing changes".
std::optional<QStringList> ParseBannerList(const QByteArray& body);

// 1 to 64 ASCII letters, digits, "-" and "_". Only such identifiers become
// file names and addresses, so a server can never name a file outside the
// banner folder.
bool isBannerId(const QString& id);
// The identifier a slot keeps: id itself when it follows the rule, else
// empty (the slot is then skipped, the others keep their positions).
QString slotIdentifier(const QString& id);

// Where the banner pictures are kept: $XDG_CACHE_HOME/korvalo/banners
// (~/.cache/korvalo/banners when the variable is unset or relative).
QString defaultBannerFolder();
// The picture file of an identifier in folder: folder/id.gif.
QString bannerFile(const QString& folder, const QString& id);

// The text a user-count reply shows: a plain number of 1 to 12 ASCII
// digits, of which a trailing line break is not part. nullopt for anything
// else (an error page, a number too long to be a count, stray text).
std::optional<QString> userCountText(const QByteArray& body);

} // namespace korvalo
