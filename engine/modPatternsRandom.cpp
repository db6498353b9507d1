// The random layout: 144 tiles dropped one by one onto random stacks of a
// grid of 12 columns by 8 rows, no stack higher than five tiles.
#include "modPatterns2.h"

namespace {
constexpr int RandomCols = 12;
constexpr int RandomRows = 8;
constexpr int MaxStack = 5;
}  // namespace

void PatternRandom(TileArray& Tiles, RandomSource& random) {
    // Stacks fill from layer 0 up, so a stack's height is its lowest free
    // layer.
    int Height[RandomCols][RandomRows] = {};
    for (int i = 1; i <= 144; ++i) {
        int c = 0, r = 0;
        do {
            // Both coordinates are drawn on every attempt, the column first;
            // a full stack throws both away.
            c = DrawBelow(random, RandomCols);
            r = DrawBelow(random, RandomRows);
        } while (Height[c][r] >= MaxStack);
        Tiles[i].Col = static_cast<uint8_t>(c);
        Tiles[i].Row = static_cast<uint8_t>(r);
        Tiles[i].Layer = static_cast<uint8_t>(Height[c][r]++);
    }
}
