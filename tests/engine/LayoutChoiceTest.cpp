// Choosing the layout by the layout list's text, and centring its grid of
// cells on the board picture.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "BoardTestKit.h"
#include "modPatterns.h"

namespace {

std::vector<int> Positions(const modTile& t) {
    std::vector<int> p;
    for (int i = 0; i <= 144; ++i) {
        p.push_back(t.Tiles[i].Col);
        p.push_back(t.Tiles[i].Row);
        p.push_back(t.Tiles[i].Layer);
    }
    return p;
}

std::vector<int> PositionsOf(void (*builder)(TileArray&)) {
    FakeHost host;
    ScriptedRandom random;
    FakeClock clock;
    modTile t{host, random, clock};
    builder(t.Tiles);
    return Positions(t);
}

TEST(LayoutChoice, OnlyTheExactNameBuildsALayout) {
    const std::string texts[] = {"classic", "CLASSIC", " Classic", "Classic ", "Classi",
                                 "Classicc", "", "Great  Wall", "greatwall", std::string("Classic\0", 8)};
    for (const std::string& text : texts) {
        SCOPED_TRACE("text \"" + text + "\"");
        Engine e;
        e.Lay("Default");
        e.host.patternText = text;
        e.tile.LoadPattern();
        EXPECT_EQ(Positions(e.tile), PositionsOf(PatternDefault));
        EXPECT_EQ(e.tile.MaxCol, 9);
        EXPECT_EQ(e.tile.MaxRow, 6);
    }
}

TEST(LayoutChoice, ANameTheListDoesNotOfferStillBuilds) {
    struct Named {
        const char* name;
        void (*builder)(TileArray&);
    };
    const Named named[] = {{"Castle", PatternCastle},
                           {"Default", PatternDefault},
                           {"Hole", PatternHole},
                           {"Theater", PatternTheater},
                           {"Checkers", PatternCheckers},
                           {"Classic", PatternClassic}};
    Engine e;
    for (const Named& n : named) {
        e.host.patternText = n.name;
        e.tile.LoadPattern();
        EXPECT_EQ(Positions(e.tile), PositionsOf(n.builder)) << n.name;
    }
}

TEST(LayoutChoice, TheFirstGameOfARunFallsBackToClassicWhenTheTextNamesNoLayout) {
    for (const std::string text : {"Nonsense", "", "classic"}) {
        SCOPED_TRACE("text \"" + text + "\"");
        Engine e;
        e.host.patternText = text;
        e.tile.LoadPattern();
        EXPECT_EQ(Positions(e.tile), PositionsOf(PatternClassic));
        EXPECT_EQ(e.tile.MaxCol, 13);
        EXPECT_EQ(e.tile.MaxRow, 7);
        EXPECT_EQ(e.host.patternText, text);

        // Later games keep the layout built last.
        e.host.patternText = "Castle";
        e.tile.LoadPattern();
        e.host.patternText = text;
        e.tile.LoadPattern();
        EXPECT_EQ(Positions(e.tile), PositionsOf(PatternCastle));
    }
}

TEST(LayoutChoice, ATextThatNamesNoLayoutStillRecentresForTheCurrentBoard) {
    Engine e;
    e.Lay("Classic");
    e.board.Resize(583, 375);
    e.host.patternText = "Nothing";
    e.tile.LoadPattern();
    EXPECT_EQ(e.tile.OffsetX, 32);
    EXPECT_EQ(e.tile.OffsetY, 15);
}

TEST(Centring, OffsetsFloorHalfTheSpareRoomAroundTheGrid) {
    // "Classic" is 14 columns by 8 rows: a grid of 518 by 344 pixels.
    struct Case {
        int width, height;
        int offsetX, offsetY;
    };
    const Case cases[] = {
        {583, 375, 32, 15},  {499, 344, -10, 0}, {500, 343, -9, -1},  {517, 325, -1, -10},
        {518, 345, 0, 0},    {519, 346, 0, 1},   {0, 0, -259, -172},  {1, 1, -259, -172},
        {2000, 1200, 741, 428},
    };
    for (const Case& c : cases) {
        Engine e;
        e.board.Resize(c.width, c.height);
        e.host.patternText = "Classic";
        e.tile.LoadPattern();
        EXPECT_EQ(e.tile.OffsetX, c.offsetX) << c.width << " wide";
        EXPECT_EQ(e.tile.OffsetY, c.offsetY) << c.height << " high";
        EXPECT_EQ(e.tile.MaxCol, 13);
        EXPECT_EQ(e.tile.MaxRow, 7);
    }
}

TEST(Centring, AResizeChangesOnlyTheOffsets) {
    Engine e;
    e.board.Resize(583, 375);
    e.Lay("Dam");
    for (int i = 1; i <= 144; ++i) {
        e.tile.Tiles[i].Face = static_cast<uint8_t>(i % 43);
        e.tile.Tiles[i].X = static_cast<int16_t>(3 * i);
        e.tile.Tiles[i].Y = static_cast<int16_t>(-i);
    }
    const TileArray tiles = e.tile.Tiles;
    const int16_t maxCol = e.tile.MaxCol, maxRow = e.tile.MaxRow, maxLayer = e.tile.MaxLayer;
    std::vector<int16_t> board(&e.tile.Board[0][0][0], &e.tile.Board[0][0][0] + BoardCols * BoardRows * BoardLayers);

    e.board.Resize(300, 900);
    e.tile.CenterBoard();

    EXPECT_EQ(e.tile.OffsetX, -109);  // 300 less 14 columns of 37
    EXPECT_EQ(e.tile.OffsetY, 299);   // 900 less 7 rows of 43 is odd: 599 halves down
    EXPECT_EQ(e.tile.MaxCol, maxCol);
    EXPECT_EQ(e.tile.MaxRow, maxRow);
    EXPECT_EQ(e.tile.MaxLayer, maxLayer);
    for (int i = 0; i <= 144; ++i) {
        EXPECT_EQ(e.tile.Tiles[i].Col, tiles[i].Col);
        EXPECT_EQ(e.tile.Tiles[i].Row, tiles[i].Row);
        EXPECT_EQ(e.tile.Tiles[i].Layer, tiles[i].Layer);
        EXPECT_EQ(e.tile.Tiles[i].Face, tiles[i].Face);
        EXPECT_EQ(e.tile.Tiles[i].X, tiles[i].X);
        EXPECT_EQ(e.tile.Tiles[i].Y, tiles[i].Y);
    }
    EXPECT_EQ(std::vector<int16_t>(&e.tile.Board[0][0][0],
                                   &e.tile.Board[0][0][0] + BoardCols * BoardRows * BoardLayers),
              board);
}

TEST(Centring, ExtentsCountRemovedTilesAndStartAtColumnAndRowZero) {
    Engine e;
    e.board.Resize(583, 375);
    e.Lay("Classic");
    // Take off every tile of the outermost columns and rows.
    for (int c = 0; c <= 13; ++c)
        for (int r = 0; r <= 7; ++r)
            if (c == 0 || c == 13 || r == 0 || r == 7)
                for (int l = 0; l <= 10; ++l) e.tile.Board[c][r][l] = -1;
    e.tile.CenterBoard();
    EXPECT_EQ(e.tile.MaxCol, 13);
    EXPECT_EQ(e.tile.MaxRow, 7);
    EXPECT_EQ(e.tile.OffsetX, 32);
    EXPECT_EQ(e.tile.OffsetY, 15);

    // A layout that leaves column 0 and row 0 empty is centred as if it
    // used them.
    for (int i = 1; i <= 144; ++i) {
        e.tile.Tiles[i].Col = static_cast<uint8_t>(3 + (i - 1) % 12);
        e.tile.Tiles[i].Row = static_cast<uint8_t>(2 + (i - 1) / 12 % 6);
        e.tile.Tiles[i].Layer = static_cast<uint8_t>((i - 1) / 72);
    }
    e.tile.CenterBoard();
    EXPECT_EQ(e.tile.MaxCol, 14);
    EXPECT_EQ(e.tile.MaxRow, 7);
    EXPECT_EQ(e.tile.OffsetX, 14);  // 15 columns: 555 pixels
    EXPECT_EQ(e.tile.OffsetY, 15);  // 8 rows: 344 pixels
}

}  // namespace
