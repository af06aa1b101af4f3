#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <vector>

namespace korvalo {

class RegistryFile;
class WinePrefix;

// The profile folders that Netscape Communicator's "nsreg.dat" names: after
// each "profilelocation" (letter case ignored) and the NUL bytes after it,
// the text up to the next NUL, in file order; at most kMaxBrowserProfiles.
QStringList ParseNsregProfileFolders(QByteArrayView nsreg);

// A menu caption for a profile folder: its last part, with the first
// character upper-cased and each '_' turned into a blank that upper-cases
// the character after it (ASCII letters only): "john_smith" gives
// "John Smith".
QString CommunicatorProfileCaption(const QString& folder);

struct CommunicatorProfile {
    QString caption;
    QString bookmarkFile; // a local path
};

struct CommunicatorProfiles {
    bool registryHasUsers = false; // the Users key names at least one profile
    std::vector<CommunicatorProfile> profiles;
};

// The profiles whose folder holds "bookmark.htm": first those of the Users
// key of HKEY_LOCAL_MACHINE (captioned with their key name, folder from
// "DirRoot"), then those of "nsreg.dat" in the Windows directory. A folder
// is listed once, however many times it is named.
CommunicatorProfiles FindCommunicatorProfiles(const RegistryFile& registry, const WinePrefix& wine);

} // namespace korvalo
