// The tile's body (its edges and blank face) and its mask (white where the
// board shows through its two cut corners) both stand on the "MahJongg"
// sheet, one below the other; every tile set is painted with them.
#pragma once

#include "Surface.h"

constexpr int TileBodyLeft = 297;
constexpr int TileBodyTop = 132;
constexpr int TileMaskTop = 182;

// Copies the body and the mask, a tile's size each, out of the sheet.
void TakeTileBodyAndMask(const Surface& sheet, Surface& body, Surface& mask);
