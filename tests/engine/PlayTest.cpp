// The hit test, pair removal and undo.
#include <gtest/gtest.h>

#include <algorithm>

#include "PlayKit.h"

namespace {

// Tiles 1 and 2 side by side in row 0, 9 and 8 likewise with the higher
// index on the left; 3, 4, 5 a row of three (4 blocked on both sides); 7
// lying on 6; the rest in rows further down.
Game& HitBoard(Game& g) {
    std::vector<Cell> cells = {{0, 0, 0}, {1, 0, 0}, {0, 2, 0}, {1, 2, 0}, {2, 2, 0},
                               {5, 2, 0}, {5, 2, 1}, {5, 0, 0}, {4, 0, 0}};
    FillRows(cells, 4);
    LayCells(g.tile, cells);
    for (int16_t i = 1; i <= 144; ++i) {
        const auto [x, y] = CellPixel(g.tile, i);
        g.tile.Tiles[i].X = x;
        g.tile.Tiles[i].Y = y;
    }
    g.tile.UpdateOpenTiles();
    return g;
}

TEST(HitTest, BoxTakesTheRightAndBottomEdgesAndNothingBeyond) {
    Game g;
    HitBoard(g);
    const TileRec& t2 = g.tile.Tiles[2];  // nothing open to its right or below
    const TileRec& t1 = g.tile.Tiles[1];  // nothing open to its left or above
    struct Case { int x, y; int16_t hit; };
    const Case cases[] = {
        {t2.X + 37, t2.Y, 2},  {t2.X + 37, t2.Y + 43, 2}, {t2.X + 20, t2.Y + 43, 2},
        {t2.X + 38, t2.Y, -1}, {t2.X + 10, t2.Y + 44, -1}, {t1.X, t1.Y, 1},
        {t1.X - 1, t1.Y, -1},  {t1.X, t1.Y - 1, -1},      {t1.X + 36, t1.Y + 42, 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(g.tile.HitTest(static_cast<int16_t>(c.x), static_cast<int16_t>(c.y)), c.hit)
            << "at " << c.x << "," << c.y;
}

TEST(HitTest, SharedPixelColumnGoesToTheHigherIndex) {
    Game g;
    HitBoard(g);
    const TileRec& t1 = g.tile.Tiles[1];
    const TileRec& t9 = g.tile.Tiles[9];
    ASSERT_EQ(g.tile.Tiles[2].X, t1.X + 37);
    EXPECT_EQ(g.tile.HitTest(t1.X + 37, t1.Y + 20), 2);  // the right one
    ASSERT_EQ(g.tile.Tiles[8].X, t9.X + 37);
    EXPECT_EQ(g.tile.HitTest(t9.X + 37, t9.Y + 20), 9);  // the left one
}

TEST(HitTest, CoveredAndRemovedTilesAreNeverHit) {
    Game g;
    HitBoard(g);
    const TileRec& t4 = g.tile.Tiles[4];
    const TileRec& t6 = g.tile.Tiles[6];
    EXPECT_EQ(g.tile.HitTest(t4.X + 18, t4.Y + 21), -1);  // blocked on both sides
    EXPECT_EQ(g.tile.HitTest(t6.X, t6.Y + 43), -1);       // under tile 7, outside its box
    EXPECT_EQ(g.tile.HitTest(t6.X + 18, t6.Y + 21), 7);
    g.tile.RemovePair(1, 9);
    const TileRec& t1 = g.tile.Tiles[1];
    EXPECT_EQ(g.tile.HitTest(t1.X + 10, t1.Y + 21), -1);
    EXPECT_EQ(g.tile.HitTest(t1.X + 37, t1.Y + 21), 2);
}

// A solvable game, so its dealt pairs give open matching pairs to remove.
Game& SolvableGame(Game& g) {
    g.RecordDeal();
    g.Start("Random", 1);
    return g;
}

TEST(RemovePair, UndoGivesBackTheBoardListsCountsAndCaptions) {
    for (uint64_t seed = 1; seed <= 20; ++seed) {
        Game g(seed);
        SolvableGame(g);
        for (const auto& [a, b] : g.dealt) {
            const Snapshot before = Snapshot::Of(g);
            g.tile.RemovePair(a, b);
            const Snapshot removed = Snapshot::Of(g);
            EXPECT_EQ(removed.tilesCaption, std::to_string(before.tilesLeft - 2));
            g.tile.UndoPair();
            ASSERT_EQ(Snapshot::Of(g), before) << "seed " << seed << " pair " << a << "," << b;
            g.tile.RemovePair(a, b);
            ASSERT_EQ(Snapshot::Of(g), removed);
        }
    }
}

TEST(RemovePair, ThreeUndosGiveBackTheDealLastPairFirst) {
    Game g(7);
    SolvableGame(g);
    const Snapshot deal = Snapshot::Of(g);
    for (int k = 0; k < 3; ++k) g.tile.RemovePair(g.dealt[k].first, g.dealt[k].second);
    EXPECT_EQ(g.tile.TilesLeft, 138);
    EXPECT_EQ(g.tile.UndoTop, 6);
    for (int k = 2; k >= 0; --k) {
        EXPECT_EQ(g.tile.UndoStack[2 * k + 1], g.dealt[k].first);
        EXPECT_EQ(g.tile.UndoStack[2 * k + 2], g.dealt[k].second);
        const TileRec& back = g.tile.Tiles[g.dealt[k].second];
        g.tile.UndoPair();
        EXPECT_EQ(g.tile.Board[back.Col][back.Row][back.Layer], g.dealt[k].second);
        EXPECT_EQ(g.tile.TilesLeft + g.tile.UndoTop, 144);
    }
    EXPECT_EQ(Snapshot::Of(g), deal);
    EXPECT_EQ(g.tile.UndoTop, 0);
}

TEST(RemovePair, LastPairRemovedAndPutBack) {
    Game g(3);
    SolvableGame(g);
    for (const auto& [a, b] : g.dealt) g.tile.RemovePair(a, b);
    EXPECT_EQ(g.tile.TilesLeft, 0);
    EXPECT_EQ(g.tile.UndoTop, 144);
    EXPECT_EQ(g.tile.OpenTiles[1], -1);
    EXPECT_EQ(g.host.tilesCaption, "0");
    g.tile.UndoPair();
    EXPECT_EQ(g.tile.TilesLeft, 2);
    EXPECT_EQ(g.tile.MatchesLeft, 1);
    EXPECT_EQ(g.tile.OpenCount, 2);
    EXPECT_TRUE(Listed(g.tile, g.dealt.back().first));
    EXPECT_TRUE(Listed(g.tile, g.dealt.back().second));
    EXPECT_EQ(g.host.tilesCaption, "2");
    EXPECT_EQ(g.host.matchCaption, "1");
}

TEST(RemovePair, PairPutBackAfterRecentringIsPaintedAndHitAtItsNewPlace) {
    Game g(11);
    Surface board(700, 500), mask(41, 47, 0x000000), body(41, 47, 0xC0E0E0), sheet(333, 215);
    for (int y = 0; y < 215; ++y)
        for (int x = 0; x < 333; ++x) sheet.SetPixel(x, y, static_cast<uint32_t>(x * 7919 + y * 104729));
    g.tile.picBoard = &board;
    g.tile.picMask = &mask;
    g.tile.picPaint = &body;
    g.tile.TileSetDC = &sheet;
    SolvableGame(g);
    const auto [a, b] = g.dealt[0];
    g.tile.RemovePair(a, b);
    board.Resize(950, 640);
    g.tile.CenterBoard();
    g.tile.RedrawBoard();
    g.tile.UndoPair();
    for (const int16_t i : {a, b}) {
        const auto [x, y] = CellPixel(g.tile, i);
        EXPECT_EQ(g.tile.Tiles[i].X, x);
        EXPECT_EQ(g.tile.Tiles[i].Y, y);
        // The tiles of turn 1 are open on the full board; a point well inside
        // the face is in no other open tile's box.
        EXPECT_EQ(g.tile.HitTest(x + 18, y + 21), i);
    }
    // Placing and painting every tile afresh for the new offsets changes no
    // pixel: the pair was painted where it now stands.
    const std::vector<uint32_t> painted(board.Bits(), board.Bits() + 950 * 640);
    g.tile.RedrawBoard();
    EXPECT_TRUE(std::equal(painted.begin(), painted.end(), board.Bits()));
}

TEST(RemovePair, RefusesWhatIsNotAPairOnTheBoardAndUndoOfNothingChangesNothing) {
    Game g(5);
    SolvableGame(g);
    const auto [a, b] = g.dealt[0];
    const Snapshot fresh = Snapshot::Of(g);
    g.tile.UndoPair();
    EXPECT_EQ(Snapshot::Of(g), fresh);
    g.tile.RemovePair(a, a);
    g.tile.RemovePair(0, b);
    g.tile.RemovePair(a, 145);
    EXPECT_EQ(Snapshot::Of(g), fresh);
    g.tile.RemovePair(a, b);
    const Snapshot removed = Snapshot::Of(g);
    g.tile.RemovePair(a, g.dealt[1].first);  // a is gone already
    EXPECT_EQ(Snapshot::Of(g), removed);
    EXPECT_EQ(g.tile.TilesLeft + g.tile.UndoTop, 144);
}

}  // namespace
