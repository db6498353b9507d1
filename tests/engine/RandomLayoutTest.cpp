// The random layout.
#include <gtest/gtest.h>

#include <set>
#include <tuple>

#include "PlayKit.h"
#include "modPatterns2.h"

namespace {

TEST(PatternRandom, FullStackThrowsBothDrawsAway) {
    ScriptThenSeeded random;
    random.draws.assign(12, 0.0);
    random.draws.push_back(0.5);
    random.draws.push_back(0.5);
    TileArray tiles{};
    tiles[6].Face = 33;
    tiles[0].Col = 9;
    PatternRandom(tiles, random);
    for (int i = 1; i <= 5; ++i) {
        EXPECT_EQ(tiles[i].Col, 0);
        EXPECT_EQ(tiles[i].Row, 0);
        EXPECT_EQ(tiles[i].Layer, i - 1);
    }
    EXPECT_EQ(tiles[6].Col, 6);
    EXPECT_EQ(tiles[6].Row, 4);
    EXPECT_EQ(tiles[6].Layer, 0);
    EXPECT_EQ(tiles[6].Face, 33);  // positions only
    EXPECT_EQ(tiles[0].Col, 9);
}

TEST(PatternRandom, EveryLayoutIsSolidStacksOfAtMostFiveOnTheGrid) {
    for (uint64_t seed = 1; seed <= 300; ++seed) {
        ScriptThenSeeded random(seed);
        TileArray tiles{};
        PatternRandom(tiles, random);
        std::set<std::tuple<int, int, int>> cells;
        int height[12][8] = {};
        for (int i = 1; i <= 144; ++i) {
            const TileRec& t = tiles[i];
            ASSERT_LT(t.Col, 12);
            ASSERT_LT(t.Row, 8);
            ASSERT_LE(t.Layer, 4);
            EXPECT_TRUE(cells.emplace(t.Col, t.Row, t.Layer).second) << "seed " << seed;
            // Solid, and numbered upward: the tile below came earlier.
            if (t.Layer > 0) {
                bool below = false;
                for (int j = 1; j < i; ++j)
                    below |= tiles[j].Col == t.Col && tiles[j].Row == t.Row &&
                             tiles[j].Layer == t.Layer - 1;
                EXPECT_TRUE(below) << "seed " << seed << " tile " << i;
            }
            height[t.Col][t.Row] = std::max(height[t.Col][t.Row], t.Layer + 1);
        }
        int sum = 0;
        for (const auto& column : height)
            for (const int h : column) sum += h;
        EXPECT_EQ(sum, 144);
        // Two draws per attempt: 288, and two more for each full stack met.
        EXPECT_GE(random.drawsTaken, 288);
        EXPECT_EQ(random.drawsTaken % 2, 0);
    }
}

TEST(PatternRandom, EveryNewGameDrawsAFreshLayout) {
    FakeHost host;
    host.patternText = "Random";
    ClockRandom random;
    SystemClock clock;
    modTile tile{host, random, clock};
    tile.NewGame();
    const TileArray before = tile.Tiles;
    tile.NewGame();
    int moved = 0;
    for (int i = 1; i <= 144; ++i)
        moved += before[i].Col != tile.Tiles[i].Col || before[i].Row != tile.Tiles[i].Row;
    EXPECT_GT(moved, 0);
}

}  // namespace
