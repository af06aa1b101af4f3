#pragma once

namespace korvalo {

// Makes ":/artwork/..." readable. The pictures are compiled into the window
// library, whose resources stay unregistered until someone asks; every
// window that loads artwork calls this first. Safe to call any number of times.
void registerArtworkResources();

} // namespace korvalo
