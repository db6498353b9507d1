// Background painting (to be filled in).
#include "modTile.h"

void modTile::DrawBackground() {}
