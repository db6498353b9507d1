// Fixed layouts, first module. Each builder writes Col, Row and Layer of
// Tiles(1 To 144) and nothing else.
#pragma once

#include "TileRec.h"

void PatternDefault(TileArray& Tiles);
void PatternCastle(TileArray& Tiles);
void PatternClassic(TileArray& Tiles);
void PatternMountain(TileArray& Tiles);
void PatternGreatWall(TileArray& Tiles);
void PatternBlock(TileArray& Tiles);
void PatternHole(TileArray& Tiles);
void PatternTheater(TileArray& Tiles);
void PatternCheckers(TileArray& Tiles);

// Lays out a height map: one string per row (row 0 first), one character per
// column (column 0 first), a digit the height of the stack, '.' an empty cell.
// Tiles are numbered layer by layer from 0 up, then by row, then by column.
void LayHeightMap(TileArray& Tiles, const char* const* rows, int rowCount);
