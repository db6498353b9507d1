// The shadow of a raised tile: which of its eight pieces appear for which
// neighbours, and what the mask pen does to the pixels beneath.
#include <gtest/gtest.h>

#include <set>

#include "PaintTestKit.h"

namespace {

using paintkit::Cell;
using paintkit::PaintEngine;

struct Piece {
    int x1, y1, x2, y2;  // from the face's top-left corner, both ends included
};
const Piece Pieces[9] = {
    {0, 0, -1, -1},                                   // (none: pieces count from 1)
    {37, 1, 37, 3},  {38, 2, 38, 3},  {39, 3, 39, 3}, // top corner, stepped
    {33, 4, 39, 46},                                  // right strip
    {33, 47, 39, 49},                                 // corner block
    {-3, 47, 33, 47}, {-2, 48, 33, 48}, {-1, 49, 33, 49},  // bottom edge, stepped
};

constexpr int TileX = 60, TileY = 50;

bool InPieces(int x, int y, const std::set<int>& pieces) {
    for (const int p : pieces) {
        const Piece& q = Pieces[p];
        if (x >= TileX + q.x1 && x <= TileX + q.x2 && y >= TileY + q.y1 && y <= TileY + q.y2) return true;
    }
    return false;
}

// Layer 0 full over three columns and three rows, less the holes, plus the
// raised tile (listed first, so it is tile 1) and its neighbours.
std::vector<Cell> LowerLayerWithout(const std::vector<Cell>& holes) {
    std::vector<Cell> cells;
    for (int r = 0; r <= 2; ++r)
        for (int c = 0; c <= 2; ++c) {
            bool hole = false;
            for (const Cell& h : holes) hole = hole || (h.col == c && h.row == r && h.layer == 0);
            if (!hole) cells.push_back({c, r, 0});
        }
    return cells;
}

// The raised tile is tile 1, its face placed by hand; the layout spans
// three columns and three rows.
void LayCells(PaintEngine& e, const std::vector<Cell>& cells) {
    e.Lay(cells, 0, 0);
    e.tile.MaxCol = 2;
    e.tile.MaxRow = 2;
    e.tile.Tiles[1].X = TileX;
    e.tile.Tiles[1].Y = TileY;
}

TEST(TileShadow, EachPieceAppearsExactlyWhenItsNeighboursAllowIt) {
    struct Case {
        const char* what;
        Cell raised;
        std::vector<Cell> sameLayer;
        std::vector<Cell> holes;
        std::set<int> pieces;
    };
    const Case cases[] = {
        {"alone on a full layer", {1, 1, 1}, {}, {}, {1, 2, 3, 4, 5, 6, 7, 8}},
        {"a tile to its right", {1, 1, 1}, {{2, 1, 1}}, {}, {5, 6, 7, 8}},
        {"a tile below it", {1, 1, 1}, {{1, 2, 1}}, {}, {1, 2, 3, 4, 5}},
        {"a tile below right", {1, 1, 1}, {{2, 2, 1}}, {}, {1, 2, 3, 4, 6, 7, 8}},
        {"right, below and below right", {1, 1, 1}, {{2, 1, 1}, {1, 2, 1}, {2, 2, 1}}, {}, {}},
        {"a hole up right", {1, 1, 1}, {}, {{2, 0, 0}}, {4, 5, 6, 7, 8}},
        {"a hole right", {1, 1, 1}, {}, {{2, 1, 0}}, {1, 2, 3, 5, 6, 7, 8}},
        {"a hole down right", {1, 1, 1}, {}, {{2, 2, 0}}, {1, 2, 3, 4, 6, 7, 8}},
        {"a hole down", {1, 1, 1}, {}, {{1, 2, 0}}, {1, 2, 3, 4, 5}},
        {"a tile right hides no corner block", {1, 1, 1}, {{2, 1, 1}}, {{2, 0, 0}, {2, 1, 0}}, {5, 6, 7, 8}},
        {"the last column", {2, 1, 1}, {}, {}, {1, 2, 3, 4, 6, 7, 8}},
        {"the first row", {1, 0, 1}, {}, {}, {1, 2, 3, 4, 5, 6, 7, 8}},
        {"the last row", {1, 2, 1}, {}, {}, {1, 2, 3, 4}},
        {"the last column of the first row", {2, 0, 1}, {}, {}, {1, 2, 3, 4, 6, 7, 8}},
    };
    for (const Case& c : cases) {
        PaintEngine e(140, 130);
        std::vector<Cell> cells{c.raised};
        for (const Cell& s : c.sameLayer) cells.push_back(s);
        for (const Cell& l : LowerLayerWithout(c.holes))
            cells.push_back(l);
        LayCells(e, cells);
        e.board.DrawMode = vbCopyPen;
        e.tile.DrawTileShadow(1);
        EXPECT_EQ(e.board.DrawMode, vbMaskPen) << c.what;
        for (int y = 0; y < e.board.ScaleHeight(); ++y)
            for (int x = 0; x < e.board.ScaleWidth(); ++x)
                ASSERT_EQ(e.board.Pixel(x, y), InPieces(x, y, c.pieces) ? 0xC0C0C0u : 0xFFFFFFu)
                    << c.what << " at " << x - TileX << "," << y - TileY;
    }
}

TEST(TileShadow, ATileOnTheBottomLayerDrawsNothingAndLeavesTheDrawMode) {
    PaintEngine e(140, 130);
    LayCells(e, LowerLayerWithout({}));
    e.board.DrawMode = vbCopyPen;
    for (int16_t i = 1; i <= 9; ++i) {
        e.tile.Tiles[i].X = TileX;
        e.tile.Tiles[i].Y = TileY;
        e.tile.DrawTileShadow(i);
    }
    EXPECT_EQ(e.board.DrawMode, vbCopyPen);
    EXPECT_TRUE(paintkit::SamePicture(e.board, Surface(140, 130, 0xFFFFFF)));
}

TEST(TileShadow, TheMaskPenKeepsTheHighBitsAndASecondShadowChangesNothing) {
    // Over the default green the shadow disappears (128 AND 192 is 128).
    PaintEngine e(140, 130);
    std::vector<Cell> cells{{1, 1, 1}};
    for (const Cell& l : LowerLayerWithout({})) cells.push_back(l);
    LayCells(e, cells);
    e.board.Fill(paintkit::Green);
    e.tile.DrawTileShadow(1);
    EXPECT_TRUE(paintkit::SamePicture(e.board, Surface(140, 130, paintkit::Green)));

    // Over any picture, a second shadow leaves the first one as it was.
    for (int y = 0; y < 130; ++y)
        for (int x = 0; x < 140; ++x) e.board.SetPixel(x, y, static_cast<uint32_t>(x * 7919 + y * 104729) & 0xFFFFFF);
    const Surface plain = e.board;
    e.tile.DrawTileShadow(1);
    const Surface once = e.board;
    e.tile.DrawTileShadow(1);
    EXPECT_TRUE(paintkit::SamePicture(e.board, once));
    EXPECT_EQ(once.Pixel(TileX + 35, TileY + 20), plain.Pixel(TileX + 35, TileY + 20) & 0xC0C0C0u);
}

}  // namespace
