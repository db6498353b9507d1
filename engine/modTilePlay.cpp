// Hit test, pair removal and undo (to be filled in).
#include "modTile.h"

int16_t modTile::HitTest(int16_t, int16_t) const { return -1; }
void modTile::RemovePair(int16_t, int16_t) {}
void modTile::PushUndo(int16_t, int16_t) {}
void modTile::UndoPair() {}
