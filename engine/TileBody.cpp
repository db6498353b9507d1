#include "TileBody.h"

#include "modTile.h"

void TakeTileBodyAndMask(const Surface& sheet, Surface& body, Surface& mask) {
    mask.Resize(TileWidth, TileHeight);
    BitBlt(mask, 0, 0, TileWidth, TileHeight, sheet, TileBodyLeft, TileMaskTop, SRCCOPY);
    body.Resize(TileWidth, TileHeight);
    BitBlt(body, 0, 0, TileWidth, TileHeight, sheet, TileBodyLeft, TileBodyTop, SRCCOPY);
}
