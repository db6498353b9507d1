// Fixed layouts, second module, and the random layout.
#pragma once

#include "Random.h"
#include "TileRec.h"

void PatternShuriken(TileArray& Tiles);
void PatternDam(TileArray& Tiles);
void PatternTree(TileArray& Tiles);
void PatternKey(TileArray& Tiles);
void PatternTavelorn(TileArray& Tiles);
void PatternPyramid(TileArray& Tiles);

// 144 tiles dropped on random stacks of a 12 x 8 grid, at most five high.
void PatternRandom(TileArray& Tiles, RandomSource& random);
