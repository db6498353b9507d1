// Tile painting and the board passes (to be filled in).
#include "modTile.h"

void modTile::DrawTile(int16_t) {}
void modTile::RedrawTile(int16_t) {}
void modTile::HighlightTile(int16_t) {}
void modTile::UnhighlightTile(int16_t) {}
void modTile::DrawBoard() { UpdateOpenTiles(); }
void modTile::RefreshBoard() { UpdateOpenTiles(); }
void modTile::RedrawBoard() { UpdateOpenTiles(); }
