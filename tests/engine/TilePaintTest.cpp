// Tile painting and the three board passes, pixel by pixel on the little
// synthetic sheet, mask and body.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "PaintTestKit.h"
#include "TileBody.h"

namespace {

using namespace paintkit;

uint32_t FacePixel(const Surface& sheet, int face, int x, int y) {
    return sheet.Pixel((face % 9) * CellWidth + x, (face / 9) * CellHeight + y);
}

// What a lone tile at (X, Y) shows over a board of one colour.
uint32_t LoneTilePixel(const Surface& sheet, int face, int X, int Y, int x, int y, uint32_t ground) {
    const int lx = x - (X - LayerShift), ly = y - Y;
    if (lx < 0 || ly < 0 || lx >= TileWidth || ly >= TileHeight || CutCorner(lx, ly)) return ground;
    if (lx >= LayerShift && ly < CellHeight) return FacePixel(sheet, face, lx - LayerShift, ly);
    return BodyAt(lx, ly);
}

TEST(TilePaint, ATileShowsTheBoardAtItsCutCornersItsStripsAndItsFaceFromTheSheet) {
    PaintEngine e(120, 100);
    e.tile.BackgroundColour = Green;
    e.Lay({{0, 0, 0}}, 20, 30, {13});
    e.tile.DrawBoard();
    EXPECT_EQ(e.tile.Tiles[1].X, 20);
    EXPECT_EQ(e.tile.Tiles[1].Y, 30);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 120; ++x)
            ASSERT_EQ(e.board.Pixel(x, y), LoneTilePixel(e.sheet, 13, 20, 30, x, y, Green)) << x << "," << y;
}

TEST(TilePaint, ATilesPositionFollowsTheCellGeometryWithTheOffsets) {
    struct Case { Cell cell; int16_t offX, offY; int16_t X, Y; };
    const Case cases[] = {
        {{0, 0, 0}, 0, 0, 0, 0},       {{3, 2, 1}, 10, 20, 125, 102}, {{1, 1, 4}, -60, -50, -7, -23},
        {{14, 7, 6}, 0, 0, 542, 277},  {{0, 0, 0}, -10, -9, -10, -9},
    };
    for (const Case& c : cases) {
        PaintEngine e(50, 40);
        e.Lay({c.cell}, c.offX, c.offY);
        e.tile.DrawTile(1);
        EXPECT_EQ(e.tile.Tiles[1].X, c.X);
        EXPECT_EQ(e.tile.Tiles[1].Y, c.Y);
    }
}

TEST(TilePaint, ATileReachingBeyondTheBoardPaintsTheSamePixelsAsOnALargerOne) {
    for (const auto& [dx, dy] : {std::pair{-20, -15}, std::pair{30, 25}, std::pair{-3, 40}}) {
        PaintEngine small(50, 45);
        small.Lay({{0, 0, 0}, {1, 0, 1}}, static_cast<int16_t>(dx), static_cast<int16_t>(dy));
        small.tile.DrawBoard();
        PaintEngine large(200, 200);
        large.Lay({{0, 0, 0}, {1, 0, 1}}, static_cast<int16_t>(dx + 80), static_cast<int16_t>(dy + 90));
        large.tile.DrawBoard();
        for (int y = 0; y < 45; ++y)
            for (int x = 0; x < 50; ++x) ASSERT_EQ(small.board.Pixel(x, y), large.board.Pixel(x + 80, y + 90));
    }
}

TEST(TilePaint, NeighboursCoverTheStripsOfTheTilesPaintedBeforeThem) {
    PaintEngine e(160, 150);
    e.Lay({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, 10, 10, {4, 5, 6});
    e.tile.DrawBoard();
    const int X1 = e.tile.Tiles[2].X, Y0 = e.tile.Tiles[1].Y;
    // The left strip of the right tile lies under its left neighbour's face.
    EXPECT_EQ(e.board.Pixel(X1 - 2, Y0 + 20), FacePixel(e.sheet, 4, CellWidth - 2, 20));
    // The bottom strip of the top tile lies under the face of the one below.
    EXPECT_EQ(e.board.Pixel(12, Y0 + 44), FacePixel(e.sheet, 6, 2, 1));
    // Where nothing covers it, the bottom strip shows.
    EXPECT_EQ(e.board.Pixel(X1 + 10, Y0 + 44), BodyBottom);
}

TEST(TilePaint, TheLayerAboveAndItsShadowLieOverTheLayerBelow) {
    PaintEngine e(160, 120);
    e.tile.BackgroundColour = 0xFFFFFF;
    e.Lay({{0, 0, 0}, {1, 0, 0}, {0, 0, 1}}, 10, 40, {1, 2, 3});
    e.tile.DrawBoard();
    const TileRec& up = e.tile.Tiles[3];
    EXPECT_EQ(up.X, 14);
    EXPECT_EQ(up.Y, 36);
    EXPECT_EQ(e.board.Pixel(up.X + 5, up.Y + 20), FacePixel(e.sheet, 3, 5, 20));
    // Its right strip shadow darkens the face of the tile to its right.
    const int X1 = e.tile.Tiles[2].X;
    EXPECT_EQ(e.board.Pixel(up.X + 38, up.Y + 20), FacePixel(e.sheet, 2, up.X + 38 - X1, up.Y + 20 - 40) & 0xC0C0C0u);
    EXPECT_EQ(e.board.DrawMode, vbMaskPen);
}

TEST(TilePaint, HighlightingShowsTheFaceInvertedAndTwiceIsOnce) {
    PaintEngine e(160, 120);
    e.Lay({{0, 0, 0}, {1, 0, 0}}, 10, 20, {7, 8});
    e.tile.DrawBoard();
    const Surface plain = e.board;
    e.tile.HighlightTile(2);
    const Surface once = e.board;
    EXPECT_EQ(e.board.DrawMode, vbCopyPen);
    const TileRec& t = e.tile.Tiles[2];
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 160; ++x) {
            const bool face = x >= t.X && x < t.X + CellWidth && y >= t.Y && y < t.Y + CellHeight;
            ASSERT_EQ(once.Pixel(x, y), face ? 0xFFFFFFu ^ FacePixel(e.sheet, 8, x - t.X, y - t.Y) : plain.Pixel(x, y));
        }
    e.tile.HighlightTile(2);
    EXPECT_TRUE(SamePicture(e.board, once));
}

TEST(TilePaint, AHighlightedTileUnderAHigherTileIsCoveredAgainByIt) {
    PaintEngine e(160, 120);
    e.Lay({{0, 0, 0}, {1, 0, 0}, {0, 0, 1}}, 10, 40, {1, 2, 3});
    e.tile.DrawBoard();
    const Surface plain = e.board;
    e.tile.HighlightTile(2);
    const TileRec& up = e.tile.Tiles[3];
    const int X1 = e.tile.Tiles[2].X, Y1 = e.tile.Tiles[2].Y;
    const auto inverted = [&](int x, int y) { return 0xFFFFFFu ^ FacePixel(e.sheet, 2, x - X1, y - Y1); };
    for (int y = up.Y; y < up.Y + TileHeight; ++y)
        for (int x = up.X - LayerShift; x < up.X - LayerShift + TileWidth; ++x)
            if (!CutCorner(x - (up.X - LayerShift), y - up.Y)) {
                ASSERT_EQ(e.board.Pixel(x, y), plain.Pixel(x, y));
            }
    // Beside the higher tile its shadow falls on the mark again; beyond, the mark.
    EXPECT_EQ(e.board.Pixel(X1 + 5, Y1 + 20), inverted(X1 + 5, Y1 + 20) & 0xC0C0C0u);
    EXPECT_EQ(e.board.Pixel(X1 + 20, Y1 + 20), inverted(X1 + 20, Y1 + 20));
}

TEST(TilePaint, UnhighlightingRepaintsTheWholeBoard) {
    PaintEngine e(200, 150);
    e.Lay({{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {0, 1, 0}, {1, 0, 1}}, 10, 30);
    e.tile.DrawBoard();
    const Surface plain = e.board;
    e.tile.HighlightTile(1);
    e.tile.HighlightTile(3);
    e.board.SetPixel(0, 0, 0x123456);
    e.host.tilesCaption.clear();
    e.tile.UnhighlightTile(4);
    EXPECT_TRUE(SamePicture(e.board, plain));
    EXPECT_EQ(e.host.tilesCaption, "5");
}

TEST(TilePaint, EachPassPaintsTheRightTilesAndEndsByCountingTheOpenOnes) {
    PaintEngine e(200, 150);
    e.Lay({{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {1, 0, 1}}, 10, 30, {5, 5, 9, 9});
    e.tile.DrawBoard();
    EXPECT_EQ(e.tile.OpenCount, 3);  // both ends of the row and the tile on top
    EXPECT_EQ(e.host.tilesCaption, "4");
    EXPECT_EQ(e.host.matchCaption, "1");
    const Surface whole = e.board;

    // Take tile 3 (right end) off the grid: the refresh leaves it out,
    // the first pass of a game paints it from the layout all the same.
    e.tile.Board[2][0][0] = -1;
    e.tile.TilesLeft = 3;
    e.tile.RefreshBoard();
    EXPECT_EQ(e.board.Pixel(e.tile.Tiles[3].X + 20, e.tile.Tiles[3].Y + 20), 0x8000u);
    EXPECT_EQ(e.host.tilesCaption, "3");
    EXPECT_EQ(e.tile.OpenCount, 2);
    e.tile.DrawBoard();
    const TileRec& off = e.tile.Tiles[3];
    EXPECT_EQ(e.board.Pixel(off.X + 20, off.Y + 20), whole.Pixel(off.X + 20, off.Y + 20));
    EXPECT_EQ(e.board.Pixel(off.X + 20, off.Y + 20), FacePixel(e.sheet, 9, 20, 20));

    // After a resize only the tiles on the grid take the new offsets.
    e.tile.OffsetX = 40;
    e.tile.RedrawBoard();
    EXPECT_EQ(e.tile.Tiles[1].X, 40);
    EXPECT_EQ(e.tile.Tiles[3].X, 10 + 2 * CellWidth);

    // With every tile gone, only the background.
    for (auto& column : e.tile.Board)
        for (auto& row : column)
            for (auto& cell : row) cell = -1;
    e.tile.TilesLeft = 0;
    e.tile.RefreshBoard();
    EXPECT_TRUE(SamePicture(e.board, Surface(200, 150, 0x8000)));
    EXPECT_EQ(e.tile.OpenCount, 0);
    EXPECT_EQ(e.tile.OpenTiles[1], -1);
    EXPECT_EQ(e.host.matchCaption, "0");
}

TEST(TilePaint, AnotherSheetChangesTheFacesAndNothingElse) {
    PaintEngine e(160, 120);
    e.Lay({{0, 0, 0}, {1, 0, 0}, {0, 0, 1}}, 10, 40);
    e.tile.DrawBoard();
    const Surface first = e.board;
    Surface other(9 * CellWidth, 5 * CellHeight, 0x204060);
    e.tile.TileSetDC = &other;
    e.tile.RefreshBoard();
    for (int16_t i = 1; i <= 3; ++i) {
        const TileRec& t = e.tile.Tiles[i];
        EXPECT_EQ(e.board.Pixel(t.X + 18, t.Y + 2), 0x204060u);
    }
    const TileRec& t = e.tile.Tiles[2];
    EXPECT_EQ(e.board.Pixel(t.X + 10, t.Y + 44), first.Pixel(t.X + 10, t.Y + 44));  // bottom strip
}

TEST(TilePaint, EmptySurfacesArePaintedWithoutFailing) {
    // The first game is drawn before the mask and body are in place.
    PaintEngine e(160, 120);
    Surface none;
    e.tile.picMask = &none;
    e.tile.picPaint = &none;
    e.tile.TileSetDC = &none;
    e.tile.BackgroundColour = 0xFFFFFF;
    e.Lay({{0, 0, 0}, {1, 0, 0}, {0, 0, 1}}, 10, 40);
    e.tile.DrawBoard();
    e.tile.HighlightTile(1);
    e.tile.RefreshBoard();
    // Nothing but the background and the shadow of the raised tile.
    int shadow = 0;
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 160; ++x) {
            const uint32_t p = e.board.Pixel(x, y);
            ASSERT_TRUE(p == 0xFFFFFFu || p == 0xC0C0C0u);
            shadow += p == 0xC0C0C0u;
        }
    EXPECT_GT(shadow, 0);
    // And a board of no size at all.
    e.tile.picBoard = &none;
    e.tile.BackgroundIsImage = true;
    e.tile.picSkin = &none;
    e.tile.DrawBoard();
    e.tile.RedrawBoard();
    e.tile.HighlightTile(3);
    EXPECT_EQ(e.host.tilesCaption, "3");
}

// Compares a board with the picture of that name kept under tests/data (made
// once by this code and checked by eye; set TT_UPDATE_GOLDEN=1 to write it
// again).
void ExpectGolden(const Surface& board, const std::string& name) {
    const std::string path = std::string(TT_TEST_DATA) + "/" + name;
    if (std::getenv("TT_UPDATE_GOLDEN") != nullptr) {
        ASSERT_TRUE(WriteBmp(path, board));
        GTEST_SKIP() << "wrote " << path;
    }
    Surface golden;
    ASSERT_TRUE(ReadBmp(path, golden)) << path;
    const bool same = SamePicture(board, golden);
    if (!same) WriteBmp(::testing::TempDir() + name, board);
    EXPECT_TRUE(same) << name << " differs: see " << ::testing::TempDir() << name;
}

// A small layout of three layers with a hole, painted whole: on the synthetic
// sheet, and on the game's own "MahJongg" sheet with the body and mask taken
// from it as the game takes them (its cut corners show the board).
TEST(TilePaint, AWholeBoardMatchesItsGoldenPicture) {
    Surface gameSheet;
    ASSERT_TRUE(ReadBmp(std::string(TT_RESOURCES) + "/sheets/mahjongg.bmp", gameSheet));
    for (const bool ownSheet : {false, true}) {
        PaintEngine e(200, 180);
        if (ownSheet) {
            e.sheet = gameSheet;
            TakeTileBodyAndMask(e.sheet, e.body, e.mask);
        }
        e.Lay({{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {3, 0, 0}, {0, 1, 0}, {1, 1, 0}, {2, 1, 0}, {3, 1, 0},
               {0, 2, 0}, {1, 2, 0}, {3, 2, 0},
               {1, 0, 1}, {2, 0, 1}, {1, 1, 1}, {2, 1, 1}, {3, 2, 1},
               {1, 1, 2}},
              (200 - 4 * CellWidth) / 2, (180 - 3 * CellHeight) / 2,
              {0, 9, 18, 27, 31, 36, 40, 4, 13, 22, 34, 42, 7, 16, 25, 29, 38});
        e.tile.DrawBoard();
        ExpectGolden(e.board, ownSheet ? "sheet-board.bmp" : "small-board.bmp");
        EXPECT_EQ(e.tile.OpenCount, 11);
    }
}

}  // namespace

namespace {

// Every fixed layout, on a board that cuts it and on one that holds it:
// right after a new board, the three passes paint the same picture, and a
// highlight of each open tile goes again with the unhighlight.
TEST(TilePaint, ThePassesAgreeOnEveryLayoutAndHighlightsLeaveNoTrace) {
    const char* const names[] = {"Default", "Castle", "Classic", "Mountain", "Great Wall", "Block", "Hole", "Theater",
                                 "Checkers", "Shuriken", "Dam", "Tree", "Key", "Pyramid", "Tavelorn"};
    for (const char* name : names)
        for (const auto& [W, H] : {std::pair{581, 373}, std::pair{300, 200}}) {
            PaintEngine e(W, H);
            e.host.patternText = name;
            e.tile.LoadPattern();
            e.tile.TilesLeft = 144;
            e.tile.BuildBoard();
            for (int16_t i = 1; i <= 144; ++i) e.tile.Tiles[i].Face = static_cast<uint8_t>(i % 43);
            e.tile.DrawBoard();
            const Surface drawn = e.board;
            e.tile.RefreshBoard();
            EXPECT_TRUE(SamePicture(e.board, drawn)) << name;
            e.tile.RedrawBoard();
            EXPECT_TRUE(SamePicture(e.board, drawn)) << name;
            ASSERT_GT(e.tile.OpenCount, 0) << name;
            for (int k = 1; k <= e.tile.OpenCount; ++k) e.tile.HighlightTile(e.tile.OpenTiles[k]);
            EXPECT_FALSE(SamePicture(e.board, drawn)) << name;
            e.tile.UnhighlightTile(e.tile.OpenTiles[1]);
            EXPECT_TRUE(SamePicture(e.board, drawn)) << name;
            for (int16_t i = 1; i <= 144; ++i) {
                const TileRec& t = e.tile.Tiles[i];
                ASSERT_EQ(t.X, t.Col * CellWidth + e.tile.OffsetX + LayerShift * t.Layer) << name;
                ASSERT_EQ(t.Y, t.Row * CellHeight + e.tile.OffsetY - LayerShift * t.Layer) << name;
            }
        }
}

}  // namespace
