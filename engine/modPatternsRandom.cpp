// The random layout (its generator follows in its own commit).
#include "modPatterns2.h"

void PatternRandom(TileArray&, RandomSource&) {}
