// New game and deal (to be filled in).
#include "modTile.h"

void modTile::NewGame() {}
void modTile::ShuffleFacePool() {}
bool modTile::DealSolvable() { return true; }
void modTile::PickMatchingFaces(int16_t&, int16_t&) {}
void modTile::RemoveFromPool(int16_t) {}
