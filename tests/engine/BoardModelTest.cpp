// The board model's rules: matching, the open-tile rule, the cell grid, the
// open list and the count of matching open pairs with the two counters.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "BoardTestKit.h"
#include "modPatterns2.h"

namespace {

TEST(MatchingRule, FacesMatchByEqualityOrByFlowerAndSeasonGroup) {
    Engine e;
    struct Case { uint8_t a, b; bool match; };
    const Case cases[] = {
        {5, 5, true},   {27, 30, true}, {36, 39, true}, {27, 36, false},
        {26, 27, false}, {34, 36, false}, {0, 1, false},  {42, 42, true},
        {28, 28, true}, {30, 31, false}, {35, 36, false}, {39, 40, false},
    };
    for (const Case& c : cases) {
        e.tile.Tiles[1].Face = c.a;
        e.tile.Tiles[2].Face = c.b;
        EXPECT_EQ(e.tile.TilesMatch(1, 2), c.match) << int(c.a) << " vs " << int(c.b);
        EXPECT_EQ(e.tile.TilesMatch(2, 1), c.match) << int(c.b) << " vs " << int(c.a);
    }
}

TEST(MatchingRule, IsSymmetricOverEveryPairOfFaces) {
    Engine e;
    for (int a = 0; a <= 42; ++a) {
        for (int b = 0; b <= 42; ++b) {
            e.tile.Tiles[3].Face = static_cast<uint8_t>(a);
            e.tile.Tiles[4].Face = static_cast<uint8_t>(b);
            const bool flowers = a >= 27 && a <= 30 && b >= 27 && b <= 30;
            const bool seasons = a >= 36 && a <= 39 && b >= 36 && b <= 39;
            EXPECT_EQ(e.tile.TilesMatch(3, 4), a == b || flowers || seasons) << a << " vs " << b;
            EXPECT_EQ(e.tile.TilesMatch(3, 4), e.tile.TilesMatch(4, 3));
        }
    }
}

TEST(OpenTileRule, SidesAndTopDecideOpenness) {
    // On the "Block" layout (8 columns by 6 rows by 3 layers) with all but
    // the listed cells taken off; "Default" with all its tiles on the board.
    struct Case {
        const char* what;
        const char* layout;
        std::vector<Cell> kept;  // empty: the whole layout stays
        Cell probe;
        bool left, right, above, open;
    };
    const Case cases[] = {
        {"column 0, right neighbour", "Block", {{0, 2, 0}, {1, 2, 0}}, {0, 2, 0}, true, false, true, true},
        {"last column, left neighbour", "Block", {{7, 2, 0}, {6, 2, 0}}, {7, 2, 0}, false, true, true, true},
        {"both sides taken", "Block", {{2, 1, 0}, {3, 1, 0}, {4, 1, 0}}, {3, 1, 0}, false, false, true, false},
        {"a tile on top", "Block", {{3, 3, 0}, {3, 3, 1}}, {3, 3, 0}, true, true, false, false},
        {"the tile on top", "Block", {{3, 3, 0}, {3, 3, 1}}, {3, 3, 1}, true, true, true, true},
        {"neighbouring rows", "Block",
         {{3, 2, 0}, {2, 1, 0}, {3, 1, 0}, {4, 1, 0}, {2, 3, 0}, {3, 3, 0}, {4, 3, 0}},
         {3, 2, 0}, true, true, true, true},
        {"on top between two lower tiles", "Block", {{2, 2, 0}, {3, 2, 0}, {4, 2, 0}, {3, 2, 1}},
         {3, 2, 1}, true, true, true, true},
        {"under a tile, both sides taken", "Block", {{2, 2, 0}, {3, 2, 0}, {4, 2, 0}, {3, 2, 1}},
         {3, 2, 0}, false, false, false, false},
        {"a gap of one cell", "Block", {{1, 0, 0}, {3, 0, 0}}, {1, 0, 0}, true, true, true, true},
        {"a tile taken off", "Block", {{1, 5, 0}}, {0, 5, 0}, true, false, true, false},
        {"end of a short row", "Default", {}, {7, 0, 0}, false, true, true, true},
        {"start of a short row", "Default", {}, {2, 0, 0}, true, false, true, true},
        {"middle of a short row", "Default", {}, {3, 0, 0}, false, false, true, false},
        {"top of the middle stack", "Default", {}, {5, 4, 4}, false, true, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Engine e;
        e.Lay(c.layout);
        if (!c.kept.empty()) {
            e.KeepOnly({});
            for (const Cell& k : c.kept) e.tile.Board[k.col][k.row][k.layer] = e.At(k);
        }
        e.tile.UpdateOpenTiles();
        const int16_t i = e.At(c.probe);
        ASSERT_GE(i, 1);
        EXPECT_EQ(e.tile.FreeLeft(i), c.left);
        EXPECT_EQ(e.tile.FreeRight(i), c.right);
        EXPECT_EQ(e.tile.FreeAbove(i), c.above);
        EXPECT_EQ(e.IsOpen(i), c.open);
    }
}

TEST(OpenTileRule, TheTopLayerIsFreeAboveWithoutLookingPastTheGrid) {
    Engine e;
    e.Lay("Block");
    e.KeepOnly({});
    // Tiles 1 and 2 moved to the two highest layers of one stack.
    e.tile.Tiles[1] = TileRec{2, 2, 10, 0, 0, 0};
    e.tile.Tiles[2] = TileRec{2, 2, 9, 0, 0, 0};
    e.tile.Board[2][2][10] = 1;
    e.tile.Board[2][2][9] = 2;
    EXPECT_TRUE(e.tile.FreeAbove(1));
    EXPECT_FALSE(e.tile.FreeAbove(2));
}

TEST(OpenList, CountsEveryMatchingPairOfOpenTilesOnce) {
    // Open tiles on cells that touch nothing, plus a covered stack whose
    // lower tile never counts.
    const Cell spots[] = {{0, 0, 0}, {2, 0, 0}, {4, 0, 0}, {6, 0, 0}, {0, 2, 0}};
    struct Case {
        std::vector<uint8_t> faces;  // of the open tiles, in spot order
        int matches;
    };
    const Case cases[] = {
        {{5, 5, 5}, 3},          {{27, 28, 29, 30}, 6},    {{36, 37, 38, 39}, 6},
        {{7, 7, 7, 7}, 6},       {{27, 28, 36, 37}, 2},    {{0, 1, 2, 3}, 0},
        {{5, 5, 27, 36}, 1},     {{30, 27, 39, 5, 36}, 2}, {{9}, 0},
        {{42, 42, 41, 41, 42}, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(std::vector<int>(c.faces.begin(), c.faces.end())));
        Engine e;
        e.Lay("Block");
        e.KeepOnly({{3, 4, 0}, {3, 4, 1}});
        const int16_t covered = e.At({3, 4, 0});
        const int16_t cover = e.At({3, 4, 1});
        e.tile.Tiles[covered].Face = c.faces.empty() ? 0 : c.faces[0];
        e.tile.Tiles[cover].Face = 35;
        std::vector<int16_t> open;
        for (size_t k = 0; k < c.faces.size(); ++k) {
            const int16_t i = e.At(spots[k]);
            e.tile.Board[spots[k].col][spots[k].row][spots[k].layer] = i;
            e.tile.Tiles[i].Face = c.faces[k];
            open.push_back(i);
            ++e.tile.TilesLeft;
        }
        open.push_back(cover);
        std::sort(open.begin(), open.end());
        e.tile.UpdateOpenTiles();

        EXPECT_EQ(e.tile.MatchesLeft, c.matches);
        EXPECT_EQ(e.tile.OpenCount, static_cast<int16_t>(open.size()));
        EXPECT_EQ(std::vector<int16_t>(e.tile.OpenTiles.begin() + 1,
                                       e.tile.OpenTiles.begin() + 1 + e.tile.OpenCount),
                  open);
        EXPECT_EQ(e.tile.OpenTiles[e.tile.OpenCount + 1], -1);
        EXPECT_EQ(e.host.matchCaption, std::to_string(c.matches));
        EXPECT_EQ(e.host.tilesCaption, std::to_string(c.faces.size() + 2));
    }
}

TEST(OpenList, AnEmptyBoardHasNoOpenTilesAndBothCountersReadZero) {
    Engine e;
    e.Lay("Classic");
    e.tile.UpdateOpenTiles();
    e.KeepOnly({});
    e.tile.UpdateOpenTiles();
    EXPECT_EQ(e.tile.OpenTiles[1], -1);
    EXPECT_EQ(e.tile.OpenCount, 0);
    EXPECT_EQ(e.tile.MatchesLeft, 0);
    EXPECT_EQ(e.host.tilesCaption, "0");
    EXPECT_EQ(e.host.matchCaption, "0");
}

TEST(OpenList, ANewBoardShowsAllTilesAndItsMatchingPairs) {
    Engine e;
    e.Lay("Pyramid");
    for (int i = 1; i <= 144; ++i) e.tile.Tiles[i].Face = static_cast<uint8_t>(i % 2);
    e.tile.UpdateOpenTiles();
    // 36 open tiles split by the parity of their entries.
    int odd = 0;
    for (int k = 1; k <= e.tile.OpenCount; ++k) odd += e.tile.OpenTiles[k] % 2;
    const int even = e.tile.OpenCount - odd;
    EXPECT_EQ(e.tile.MatchesLeft, odd * (odd - 1) / 2 + even * (even - 1) / 2);
    EXPECT_EQ(e.host.tilesCaption, "144");
    EXPECT_EQ(e.host.matchCaption, std::to_string(e.tile.MatchesLeft));
}

TEST(OpenList, NeverRunsPastItsNinetyNineEntries) {
    // Not a layout the game has: 144 tiles on cells that touch nothing, all
    // open by the rule. The list keeps the first 99 and its end mark.
    Engine e;
    for (int i = 1; i <= 144; ++i)
        e.tile.Tiles[i] = TileRec{static_cast<uint8_t>(2 * ((i - 1) % 11)),
                                  static_cast<uint8_t>((i - 1) / 11), 0, 0, 0, 0};
    e.tile.CenterBoard();
    e.tile.TilesLeft = 144;
    e.tile.BuildBoard();
    e.tile.UpdateOpenTiles();
    EXPECT_EQ(e.tile.OpenCount, 99);
    for (int k = 1; k <= 99; ++k) EXPECT_EQ(e.tile.OpenTiles[k], k);
    EXPECT_EQ(e.tile.OpenTiles[100], -1);
    EXPECT_EQ(e.tile.MatchesLeft, 99 * 98 / 2);
}

TEST(CellGrid, TileAtFindsTheLowestEntryOfACellFromTheRecordsAlone) {
    Engine e;
    e.Lay("Default");
    const int16_t i = e.At({5, 4, 4});
    EXPECT_EQ(i, 144);
    e.tile.Board[5][4][4] = -1;  // taken off: the record still names the cell
    EXPECT_EQ(e.At({5, 4, 4}), 144);
    EXPECT_EQ(e.At({0, 0, 0}), -1);
    EXPECT_EQ(e.At({5, 4, 5}), -1);
    EXPECT_EQ(e.At({20, 20, 10}), -1);
    e.tile.Tiles[100] = e.tile.Tiles[144];
    EXPECT_EQ(e.At({5, 4, 4}), 100);
}

TEST(CellGrid, BuildRewritesOnlyTheLayoutsExtentsOnEveryLayer) {
    Engine e;
    e.Lay("Dam");  // 14 x 7 x 7
    const int16_t damCell = e.tile.Board[12][3][2];
    ASSERT_GE(damCell, 1);
    e.tile.Board[15][15][0] = 77;
    e.Lay("Block");  // 8 x 6 x 3
    for (int c = 0; c <= 7; ++c)
        for (int r = 0; r <= 5; ++r)
            for (int l = 0; l <= 10; ++l)
                EXPECT_EQ(e.tile.Board[c][r][l], l <= 2 ? e.At({c, r, l}) : -1) << c << "," << r << "," << l;
    EXPECT_EQ(e.tile.Board[12][3][2], damCell);  // beyond the extents: never read
    EXPECT_EQ(e.tile.Board[15][15][0], 77);
    EXPECT_EQ(e.tile.MaxLayer, 2);
}

TEST(CellGrid, MaxLayerIsTheHighestOccupiedLayerAndStaysThroughPlay) {
    Engine e;
    for (int i = 1; i <= 144; ++i)
        e.tile.Tiles[i] = TileRec{static_cast<uint8_t>((i - 1) % 12),
                                  static_cast<uint8_t>((i - 1) / 12), 0, 0, 0, 0};
    e.tile.CenterBoard();
    e.tile.BuildBoard();
    EXPECT_EQ(e.tile.MaxLayer, 0);

    e.Lay("Dam");
    EXPECT_EQ(e.tile.MaxLayer, 6);
    e.KeepOnly({{0, 2, 0}});
    e.tile.UpdateOpenTiles();
    EXPECT_EQ(e.tile.MaxLayer, 6);
}

}  // namespace

namespace {

// The grid a new game builds holds, in every cell of the layout's extent, what
// TileAt answers for that cell, also for records that share a cell.
TEST(CellGrid, EveryCellHoldsTheLowestIndexNamingIt) {
    for (uint64_t seed = 1; seed <= 50; ++seed) {
        Engine e;
        SeededRandom random(seed);
        PatternRandom(e.tile.Tiles, random);
        if (seed % 5 == 0) {
            // Records laid over one another: the lowest index must win.
            for (int i = 1; i <= 144; i += 7) e.tile.Tiles[i] = e.tile.Tiles[i + 3];
        }
        e.tile.CenterBoard();
        e.tile.BuildBoard();
        int16_t highest = 0;
        for (int16_t c = 0; c <= e.tile.MaxCol; ++c)
            for (int16_t r = 0; r <= e.tile.MaxRow; ++r)
                for (int16_t l = 0; l < BoardLayers; ++l) {
                    const int16_t expected = e.tile.TileAt(c, r, l);
                    ASSERT_EQ(e.tile.Board[c][r][l], expected) << "seed " << seed << " cell " << c << "," << r << "," << l;
                    if (expected >= 0 && l > highest) highest = l;
                }
        EXPECT_EQ(e.tile.MaxLayer, highest) << "seed " << seed;
    }
}

}  // namespace
