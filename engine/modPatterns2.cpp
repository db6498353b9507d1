// Fixed layouts, second module (height maps follow in their own commit).
#include "modPatterns2.h"

void PatternShuriken(TileArray&) {}
void PatternDam(TileArray&) {}
void PatternTree(TileArray&) {}
void PatternKey(TileArray&) {}
void PatternTavelorn(TileArray&) {}
void PatternPyramid(TileArray&) {}
