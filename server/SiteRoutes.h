#pragma once

#include <QString>

namespace korvalo::server {

class DataStore;
class KorvaloServer;

// The addresses the program reads, under the data folder dataDir:
//   /2/ad/                 the banner list from banners.txt ("id|id|" or "No")
//   /2/ad/?id=ID           a redirect to the first line of banners/ID.url
//   /2/ad/ID.gif           the picture banners/ID.gif
//   /2/usercount/          counts one installation
//   /2/usercount/users.txt the number of installations
// and the pages people open in a browser: the home page "/" and the site
// proposal form "/links/addLink.asp", whose proposals go to the store.
void addSiteRoutes(KorvaloServer& server, const QString& dataDir, DataStore& store);

// A banner identifier: 1 to 64 ASCII letters, digits, "-" and "_". Only
// these ever become file names, so no request reaches outside the folder.
bool isBannerId(const QString& id);

} // namespace korvalo::server
