// Fixed layouts, first module (height maps follow in their own commit).
#include "modPatterns.h"

void LayHeightMap(TileArray&, const char* const*, int) {}
void PatternDefault(TileArray&) {}
void PatternCastle(TileArray&) {}
void PatternClassic(TileArray&) {}
void PatternMountain(TileArray&) {}
void PatternGreatWall(TileArray&) {}
void PatternBlock(TileArray&) {}
void PatternHole(TileArray&) {}
void PatternTheater(TileArray&) {}
void PatternCheckers(TileArray&) {}
