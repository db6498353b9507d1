// New game, the plain deal and the deal that can always be cleared.
#include <gtest/gtest.h>

#include <algorithm>

#include "PlayKit.h"

namespace {

TEST(NewGame, AllZeroDrawsLayThePoolInItsStartingOrder) {
    Game g;
    ScriptedRandom zeros;  // 0 for ever: every swap exchanges position 0 with itself
    modTile tile{g.host, zeros, g.clock};
    g.host.patternText = "Classic";
    tile.NewGame();
    EXPECT_EQ(zeros.reseeds, 2);
    EXPECT_EQ(zeros.drawsTaken, 10000);
    struct Case { int tile, face; };
    const Case cases[] = {{1, 0},     {4, 0},     {5, 1},     {108, 26}, {109, 27},
                          {112, 30},  {113, 31},  {128, 34},  {129, 36}, {132, 39},
                          {133, 40},  {141, 42},  {144, 42}};
    for (const Case& c : cases) EXPECT_EQ(tile.Tiles[c.tile].Face, c.face) << "tile " << c.tile;
    EXPECT_EQ(FaceCounts(tile), DealtFaceCounts());
}

TEST(NewGame, EasyValueOneAloneAsksForTheSolvableDeal) {
    for (const int16_t easy : {0, 1, 2}) {
        Game g;
        g.RecordDeal();
        g.Start("Random", easy);
        if (easy == 1) {
            EXPECT_EQ(g.dealt.size(), 72u);
            EXPECT_GE(g.random.reseeds, 2);  // the game's, then one per attempt
        } else {
            EXPECT_TRUE(g.dealt.empty()) << "easy " << easy;
            EXPECT_EQ(g.random.reseeds, 2) << "easy " << easy;
        }
    }
}

TEST(NewGame, ReseedsThenLaysTheRandomLayoutThenReseedsForEachShuffle) {
    for (const int16_t easy : {0, 1}) {
        Game g;
        g.random.draws.assign(12, 0.0);
        g.random.draws.push_back(0.5);
        g.random.draws.push_back(0.5);
        g.Start("Random", easy);
        // The layout took the first draws after the game's own reseed.
        EXPECT_EQ(g.tile.Tiles[5].Layer, 4);
        EXPECT_EQ(g.tile.Tiles[6].Col, 6);
        EXPECT_EQ(g.tile.Tiles[6].Row, 4);
        const std::vector<long>& at = g.random.reseedAt;
        ASSERT_GE(at.size(), 2u);
        EXPECT_EQ(at[0], 0);
        EXPECT_GE(at[1], 290);  // 288 and the one full stack met
        EXPECT_EQ(at[1] % 2, 0);
        if (easy == 0) {
            EXPECT_EQ(at.size(), 2u);
            EXPECT_EQ(g.random.drawsTaken, at[1] + 10000);
        }
        // Each attempt shuffles, then draws at least four times a turn.
        for (size_t k = 2; k < at.size(); ++k) {
            EXPECT_GE(at[k] - at[k - 1], 10000 + 4);
        }
        if (easy == 1) {
            EXPECT_GE(g.random.drawsTaken - at.back(), 10000 + 72 * 4);
        }
    }
}

// Takes the time when it is asked for, and what the game showed then.
class WatchingClock : public Clock {
public:
    const FakeHost* host = nullptr;
    std::string captionAtNow;
    int calls = 0;
    int64_t Now() override {
        ++calls;
        captionAtNow = host->tilesCaption;
        return 50000 + calls;
    }
};

TEST(NewGame, StandsReadyAfterwardsWithTheTimeTakenOnceTheBoardIsDrawn) {
    Game g;
    WatchingClock clock;
    clock.host = &g.host;
    modTile tile{g.host, g.random, clock};
    tile.UndoTop = 6;
    tile.TilesLeft = 138;
    g.host.patternText = "Random";
    g.host.easyValue = 1;
    tile.NewGame();
    EXPECT_EQ(tile.TilesLeft, 144);
    EXPECT_EQ(tile.UndoTop, 0);
    EXPECT_EQ(g.host.tilesCaption, "144");
    EXPECT_EQ(clock.calls, 1);
    EXPECT_EQ(clock.captionAtNow, "144");
    EXPECT_EQ(tile.StartTime, 50001);
    EXPECT_TRUE(g.host.timerEnabled);
    EXPECT_TRUE(g.host.formEnabled);
    EXPECT_EQ(g.host.formDisabledCount, 1);
}

// Turn 1 of an attempt, draw by draw, on a pool left in its starting order
// by a shuffle of all-zero draws.
TEST(DealSolvable, FirstTurnTakesItsDrawsInOrder) {
    Game g;
    std::vector<Cell> cells;
    FillRows(cells, 0);  // 12 rows of 12: the 24 row ends (1, 12, 13, 24, ...) are open
    LayCells(g.tile, cells);
    g.random.draws.assign(10000, 0.0);
    const double turn[] = {
        0.0,              // a = 1: tile 1
        0.0, 0.5,         // b = 1 again, then 13: tile 73
        109.5 / 144,      // r = 109, a Flower: positions 108 to 111 match
        0.75,             // the first of those: position 111, face 30
        0.75, 0.0,        // the same again, then position 108, face 27
    };
    g.random.draws.insert(g.random.draws.end(), std::begin(turn), std::end(turn));
    bool seen = false;
    g.tile.PairDealt = [&](int16_t n, int16_t a, int16_t b) {
        if (n != 1 || seen) return;
        seen = true;
        EXPECT_EQ(g.random.drawsTaken, 10007);
        EXPECT_EQ(a, 1);
        EXPECT_EQ(b, 73);
        EXPECT_EQ(g.tile.Tiles[1].Face, 30);
        EXPECT_EQ(g.tile.Tiles[73].Face, 27);
        EXPECT_EQ(g.tile.FacePoolCount, 142);
        EXPECT_EQ(g.tile.FacePool[107], 26);
        EXPECT_EQ(g.tile.FacePool[108], 28);
        EXPECT_EQ(g.tile.FacePool[109], 29);
        EXPECT_EQ(g.tile.FacePool[110], 31);
    };
    g.tile.DealSolvable();
    EXPECT_TRUE(seen);
    EXPECT_EQ(g.random.reseeds, 1);
}

TEST(PickMatchingFaces, TwoLeftOfAGroupAreBothGivenInEitherOrder) {
    struct Case { std::deque<double> draws; int16_t first, second; };
    const Case cases[] = {
        {{0.0, 0.5, 0.0}, 30, 27},        // r = 0 (a Flower); positions 3, then 0
        {{0.0, 0.0, 0.0, 0.99}, 27, 30},  // position 0, 0 again, then 3
    };
    for (const Case& c : cases) {
        Game g;
        const uint8_t pool[] = {27, 7, 9, 30, 9, 9};
        std::copy(std::begin(pool), std::end(pool), g.tile.FacePool.begin());
        g.tile.FacePoolCount = 6;
        g.random.draws = c.draws;
        int16_t first = -1, second = -1;
        g.tile.PickMatchingFaces(first, second);
        EXPECT_EQ(first, c.first);
        EXPECT_EQ(second, c.second);
        EXPECT_EQ(g.random.drawsTaken, static_cast<long>(c.draws.size()));
        EXPECT_EQ(g.tile.FacePoolCount, 6);
    }
}

TEST(PickMatchingFaces, NeverListsMoreMatchesThanItHasRoomFor) {
    Game g;
    g.tile.FacePoolCount = 30;
    std::fill(g.tile.FacePool.begin(), g.tile.FacePool.begin() + 30, uint8_t{12});
    for (int k = 0; k < 50; ++k) {
        int16_t first = -1, second = -1;
        g.tile.PickMatchingFaces(first, second);
        EXPECT_EQ(first, 12);
        EXPECT_EQ(second, 12);
    }
}

TEST(RemoveFromPool, RemovesTheLowestCopyByValue) {
    Game g;
    const uint8_t pool[] = {5, 8, 5, 8, 2};
    std::copy(std::begin(pool), std::end(pool), g.tile.FacePool.begin());
    g.tile.FacePoolCount = 5;
    g.tile.RemoveFromPool(8);
    g.tile.RemoveFromPool(8);
    EXPECT_EQ(g.tile.FacePoolCount, 3);
    EXPECT_EQ(g.tile.FacePool[0], 5);
    EXPECT_EQ(g.tile.FacePool[1], 5);
    EXPECT_EQ(g.tile.FacePool[2], 2);
    g.tile.RemoveFromPool(2);  // the last live position: nothing moves
    EXPECT_EQ(g.tile.FacePoolCount, 2);
    EXPECT_EQ(g.tile.FacePool[1], 5);
    EXPECT_EQ(g.tile.FacePool[2], 2);
}

// A stack of ten in one corner beside 134 single tiles: attempts often end
// with the stack's last tiles alone on the board.
std::vector<Cell> TallStackBoard() {
    std::vector<Cell> cells;
    for (int l = 0; l < 10; ++l) cells.push_back({0, 0, l});
    FillRows(cells, 1);
    return cells;
}

TEST(DealSolvable, PutsTheBoardBackWhetherItSucceedsOrNot) {
    int results[2] = {};
    for (uint64_t seed = 1; seed <= 40; ++seed) {
        Game g(seed);
        LayCells(g.tile, TallStackBoard());
        // Cells beyond the layout hold what earlier games left there.
        g.tile.Board[20][20][10] = 77;
        const Snapshot built = Snapshot::Of(g);
        const bool dealt = g.tile.DealSolvable();
        ++results[dealt];
        EXPECT_EQ(Snapshot::Of(g).board, built.board) << "seed " << seed;
    }
    EXPECT_GT(results[0], 0);
    EXPECT_GT(results[1], 0);
}

TEST(DealSolvable, BoardWithMoreOpenTilesThanTheListHoldsStillDeals) {
    // 144 single tiles, none touching another: all open at once.
    std::vector<Cell> cells;
    for (int n = 0; n < 144; ++n) cells.push_back({2 * (n % 11), n / 11, 0});
    Game g;
    g.RecordDeal();
    LayCells(g.tile, cells);
    EXPECT_TRUE(g.tile.DealSolvable());
    EXPECT_EQ(FaceCounts(g.tile), DealtFaceCounts());
    EXPECT_EQ(g.dealt.size(), 72u);
}

}  // namespace
