// Fixed layouts, second module, in the same height-map form as the first.
#include <iterator>

#include "modPatterns.h"
#include "modPatterns2.h"

namespace {

constexpr const char* kShurikenMap[] = {
    "123......23.",
    ".123....233.",
    "..12444433..",
    "...145543...",
    "...345541...",
    "..33444421..",
    ".332....321.",
    ".32......321",
};

constexpr const char* kDamMap[] = {
    "..11......11..",
    ".1221....1221.",
    "123321..123321",
    "23455677655432",
    "123321..123321",
    ".1221....1221.",
    "..11......11..",
};

constexpr const char* kTreeMap[] = {
    "..223322..",
    ".22344322.",
    "2234554322",
    "2234554322",
    ".22344322.",
    "....33....",
    "....33....",
    "...2332...",
};

constexpr const char* kKeyMap[] = {
    "..44........",
    ".4444.......",
    "444444......",
    "445544333333",
    "444444....22",
    ".4444.......",
    "..44........",
};

// "Tavelorn", the game's own layout: a hanging lantern, mirrored left to
// right. A handle on top, a cap, a three-high body, a second cap and a base.
// The window in the middle of the body lets play start from the inside as
// well as from the stepped ends of each row.
constexpr const char* kTavelornMap[] = {
    "....121....",
    "11112221111",
    "12333333321",
    "12333.33321",
    "12333333321",
    "12333333321",
    "11112221111",
    "..1111111..",
};

constexpr const char* kPyramidMap[] = {
    "1111111111",
    "1222222221",
    "1234444321",
    "1244554421",
    "1234444321",
    "1222222221",
    "1111111111",
};

}  // namespace

void PatternShuriken(TileArray& Tiles) {
    LayHeightMap(Tiles, kShurikenMap, static_cast<int>(std::size(kShurikenMap)));
}

void PatternDam(TileArray& Tiles) {
    LayHeightMap(Tiles, kDamMap, static_cast<int>(std::size(kDamMap)));
}

void PatternTree(TileArray& Tiles) {
    LayHeightMap(Tiles, kTreeMap, static_cast<int>(std::size(kTreeMap)));
}

void PatternKey(TileArray& Tiles) {
    LayHeightMap(Tiles, kKeyMap, static_cast<int>(std::size(kKeyMap)));
}

void PatternTavelorn(TileArray& Tiles) {
    LayHeightMap(Tiles, kTavelornMap, static_cast<int>(std::size(kTavelornMap)));
}

void PatternPyramid(TileArray& Tiles) {
    LayHeightMap(Tiles, kPyramidMap, static_cast<int>(std::size(kPyramidMap)));
}
