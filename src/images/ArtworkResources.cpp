#include "images/ArtworkResources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE declares a function by the resource's name, which must be
// at global scope.
static void initKorvaloResource() {
    Q_INIT_RESOURCE(korvalo);
}

namespace korvalo {

void registerArtworkResources() {
    static const bool registered = (initKorvaloResource(), true);
    (void)registered;
}

} // namespace korvalo
