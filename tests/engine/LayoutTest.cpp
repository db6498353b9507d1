// The fixed layouts: their cells, their numbering, and their shape at a new
// game, each laid out through its name as the layout list chooses it.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "BoardTestKit.h"
#include "modPatterns.h"
#include "modPatterns2.h"

namespace {

struct Shape {
    const char* name;
    int columns, rows, layers;
    std::vector<int> perLayer;
    int stacks;
    int openAtStart;
};

const Shape kShapes[] = {
    {"Default", 10, 7, 5, {58, 40, 24, 16, 6}, 58, 52},
    {"Castle", 7, 7, 5, {49, 33, 25, 25, 12}, 49, 25},
    {"Classic", 14, 8, 4, {88, 36, 16, 4}, 88, 40},
    {"Mountain", 11, 7, 6, {65, 33, 23, 13, 5, 5}, 65, 46},
    {"Great Wall", 11, 7, 4, {45, 41, 39, 19}, 45, 34},
    {"Block", 8, 6, 3, {48, 48, 48}, 48, 12},
    {"Hole", 8, 7, 4, {50, 40, 32, 22}, 50, 38},
    {"Theater", 10, 7, 5, {60, 44, 24, 12, 4}, 60, 56},
    {"Checkers", 10, 7, 5, {35, 35, 35, 35, 4}, 35, 35},
    {"Shuriken", 12, 8, 5, {50, 42, 32, 16, 4}, 50, 44},
    {"Dam", 14, 7, 7, {62, 38, 20, 10, 8, 4, 2}, 62, 60},
    {"Tree", 10, 8, 5, {50, 50, 28, 12, 4}, 50, 40},
    {"Key", 12, 7, 5, {38, 38, 36, 30, 2}, 38, 19},
    {"Tavelorn", 11, 8, 3, {75, 42, 27}, 75, 39},
    {"Pyramid", 10, 7, 5, {70, 40, 18, 14, 2}, 70, 36},
};

using CellKey = std::tuple<int, int, int>;

std::set<CellKey> CellsOf(const modTile& t) {
    std::set<CellKey> cells;
    for (int i = 1; i <= 144; ++i) cells.insert({t.Tiles[i].Col, t.Tiles[i].Row, t.Tiles[i].Layer});
    return cells;
}

TEST(FixedLayouts, EachHasItsExtentsLayersStacksAndOpenTilesAtANewGame) {
    for (const Shape& s : kShapes) {
        SCOPED_TRACE(s.name);
        Engine e;
        e.Lay(s.name);
        e.tile.UpdateOpenTiles();
        const modTile& t = e.tile;

        const std::set<CellKey> cells = CellsOf(t);
        EXPECT_EQ(cells.size(), 144u) << "two tiles share a cell";

        int minCol = 99, minRow = 99;
        std::vector<int> perLayer(11, 0);
        for (int i = 1; i <= 144; ++i) {
            const TileRec& r = t.Tiles[i];
            minCol = std::min<int>(minCol, r.Col);
            minRow = std::min<int>(minRow, r.Row);
            ++perLayer[r.Layer];
            if (r.Layer > 0) {
                EXPECT_TRUE(cells.count({r.Col, r.Row, r.Layer - 1})) << "tile " << i << " floats";
            }
            // The grid holds each tile in its own cell.
            EXPECT_EQ(t.Board[r.Col][r.Row][r.Layer], i);
        }
        perLayer.resize(s.layers);
        EXPECT_EQ(minCol, 0);
        EXPECT_EQ(minRow, 0);
        EXPECT_EQ(t.MaxCol + 1, s.columns);
        EXPECT_EQ(t.MaxRow + 1, s.rows);
        EXPECT_EQ(t.MaxLayer + 1, s.layers);
        EXPECT_EQ(perLayer, s.perLayer);
        EXPECT_EQ(perLayer[0], s.stacks);
        EXPECT_EQ(t.OpenCount, s.openAtStart);
        EXPECT_EQ(t.OpenTiles[t.OpenCount + 1], -1);
        EXPECT_EQ(e.host.tilesCaption, "144");
    }
}

TEST(FixedLayouts, NumberTilesByLayerThenRowThenColumn) {
    for (const Shape& s : kShapes) {
        SCOPED_TRACE(s.name);
        Engine e;
        e.Lay(s.name);
        for (int i = 1; i < 144; ++i) {
            const TileRec& a = e.tile.Tiles[i];
            const TileRec& b = e.tile.Tiles[i + 1];
            EXPECT_LT(std::make_tuple(a.Layer, a.Row, a.Col), std::make_tuple(b.Layer, b.Row, b.Col))
                << "entries " << i << " and " << i + 1;
        }
    }
}

TEST(FixedLayouts, NumberingExamplesOfDefaultAndBlock) {
    struct Example {
        const char* layout;
        int entry;
        Cell cell;
    };
    const Example examples[] = {
        {"Default", 1, {2, 0, 0}},  {"Default", 6, {7, 0, 0}},   {"Default", 7, {1, 1, 0}},
        {"Default", 58, {7, 6, 0}}, {"Default", 59, {4, 0, 1}},  {"Default", 144, {5, 4, 4}},
        {"Block", 1, {0, 0, 0}},    {"Block", 49, {0, 0, 1}},    {"Block", 97, {0, 0, 2}},
        {"Block", 144, {7, 5, 2}},
    };
    for (const Example& x : examples) {
        Engine e;
        e.Lay(x.layout);
        const TileRec& r = e.tile.Tiles[x.entry];
        EXPECT_EQ((std::vector<int>{r.Col, r.Row, r.Layer}),
                  (std::vector<int>{x.cell.col, x.cell.row, x.cell.layer}))
            << x.layout << " entry " << x.entry;
    }
}

TEST(FixedLayouts, BlockOpensOnlyTheTopTilesOfItsOuterColumns) {
    Engine e;
    e.Lay("Block");
    e.tile.UpdateOpenTiles();
    std::vector<int16_t> open(e.tile.OpenTiles.begin() + 1,
                              e.tile.OpenTiles.begin() + 1 + e.tile.OpenCount);
    std::vector<int16_t> expected;
    for (int row = 0; row <= 5; ++row) {
        expected.push_back(e.At({0, row, 2}));
        expected.push_back(e.At({7, row, 2}));
    }
    EXPECT_EQ(open, expected);
    EXPECT_EQ(expected.front(), 97);
    EXPECT_EQ(expected.back(), 144);
}

TEST(FixedLayouts, TavelornKeepsItsDesignRules) {
    Engine e;
    e.Lay("Tavelorn");
    const modTile& t = e.tile;
    int height[11][8] = {};
    for (int i = 1; i <= 144; ++i) {
        const TileRec& r = t.Tiles[i];
        ASSERT_LE(r.Col, 10);
        ASSERT_LE(r.Row, 7);
        height[r.Col][r.Row] = std::max(height[r.Col][r.Row], r.Layer + 1);
    }
    int stacks = 0, twoOrMore = 0, three = 0;
    bool col0 = false, col10 = false, row0 = false, row7 = false;
    for (int c = 0; c <= 10; ++c) {
        for (int r = 0; r <= 7; ++r) {
            const int h = height[c][r];
            if (h == 0) continue;
            ++stacks;
            twoOrMore += h >= 2;
            three += h == 3;
            col0 |= c == 0;
            col10 |= c == 10;
            row0 |= r == 0;
            row7 |= r == 7;
            EXPECT_EQ(h, height[10 - c][r]) << "not mirrored at column " << c << ", row " << r;
        }
    }
    EXPECT_EQ(stacks, 75);
    EXPECT_EQ(twoOrMore, 42);
    EXPECT_EQ(three, 27);
    EXPECT_TRUE(col0 && col10 && row0 && row7);
}

TEST(FixedLayouts, BuildersWriteOnlyThePositionsOfEntriesOneTo144) {
    using Builder = void (*)(TileArray&);
    const Builder builders[] = {
        PatternDefault,  PatternCastle,   PatternClassic, PatternMountain, PatternGreatWall,
        PatternBlock,    PatternHole,     PatternTheater, PatternCheckers, PatternShuriken,
        PatternDam,      PatternTree,     PatternKey,     PatternTavelorn, PatternPyramid,
    };
    for (size_t b = 0; b < std::size(builders); ++b) {
        SCOPED_TRACE(b);
        TileArray tiles{};
        for (int i = 0; i <= 144; ++i)
            tiles[i] = TileRec{200, 201, 202, static_cast<uint8_t>(i % 43),
                               static_cast<int16_t>(-i), static_cast<int16_t>(1000 + i)};
        builders[b](tiles);
        EXPECT_EQ(tiles[0].Col, 200);
        EXPECT_EQ(tiles[0].Row, 201);
        EXPECT_EQ(tiles[0].Layer, 202);
        for (int i = 0; i <= 144; ++i) {
            EXPECT_EQ(tiles[i].Face, i % 43);
            EXPECT_EQ(tiles[i].X, -i);
            EXPECT_EQ(tiles[i].Y, 1000 + i);
        }
        for (int i = 1; i <= 144; ++i) EXPECT_LT(tiles[i].Col, 14) << "entry " << i << " not written";
    }
}

TEST(FixedLayouts, ALayoutBuiltOverAnotherLeavesNoTraceOfIt) {
    Engine fresh;
    fresh.Lay("Castle");
    Engine e;
    e.Lay("Classic");
    e.Lay("Castle");
    for (int i = 1; i <= 144; ++i) {
        EXPECT_EQ(e.tile.Tiles[i].Col, fresh.tile.Tiles[i].Col);
        EXPECT_EQ(e.tile.Tiles[i].Row, fresh.tile.Tiles[i].Row);
        EXPECT_EQ(e.tile.Tiles[i].Layer, fresh.tile.Tiles[i].Layer);
    }
}

TEST(HeightMaps, StopAtEntry144AndSkipAnythingButDigits) {
    // 225 cells in all; only the first 144 by the numbering are laid, and a
    // character that is not a digit is an empty cell.
    const char* const rows[] = {"99999x99999", "99999 99999", "99999-"};
    TileArray tiles{};
    tiles[0].Col = 77;
    LayHeightMap(tiles, rows, 3);
    EXPECT_EQ(tiles[0].Col, 77);
    EXPECT_EQ((std::vector<int>{tiles[1].Col, tiles[1].Row, tiles[1].Layer}), (std::vector<int>{0, 0, 0}));
    EXPECT_EQ((std::vector<int>{tiles[6].Col, tiles[6].Row, tiles[6].Layer}), (std::vector<int>{6, 0, 0}));
    EXPECT_EQ((std::vector<int>{tiles[11].Col, tiles[11].Row, tiles[11].Layer}),
              (std::vector<int>{0, 1, 0}));
    EXPECT_EQ((std::vector<int>{tiles[26].Col, tiles[26].Row, tiles[26].Layer}),
              (std::vector<int>{0, 0, 1}));
    EXPECT_EQ((std::vector<int>{tiles[144].Col, tiles[144].Row, tiles[144].Layer}),
              (std::vector<int>{9, 1, 5}));
}

}  // namespace
