// The shadow of a raised tile (to be filled in).
#include "modTile.h"

void modTile::DrawTileShadow(int16_t) {}
bool modTile::EmptyLowerRightUp(int16_t) const { return false; }
bool modTile::EmptyLowerRight(int16_t) const { return false; }
bool modTile::EmptyDown(int16_t) const { return false; }
bool modTile::EmptyLowerDown(int16_t) const { return false; }
bool modTile::EmptyRightDown(int16_t) const { return false; }
bool modTile::EmptyLowerRightDown(int16_t) const { return false; }
