// Properties of the deal over many seeds, on every layout.
#include <gtest/gtest.h>

#include "PlayKit.h"

namespace {

const char* const LayoutNames[] = {
    "Default",  "Castle", "Classic", "Mountain", "Great Wall", "Block",
    "Hole",     "Theater", "Checkers", "Shuriken", "Dam",      "Tree",
    "Key",      "Tavelorn", "Random",  "Pyramid",
};
constexpr uint64_t Seeds = 40;

TEST(DealProperties, EveryDealHoldsFourOfEachFaceAndOneOfEachFlowerAndSeason) {
    for (const char* layout : LayoutNames) {
        for (const int16_t easy : {0, 1}) {
            for (uint64_t seed = 1; seed <= Seeds; ++seed) {
                Game g(seed);
                g.Start(layout, easy);
                ASSERT_EQ(FaceCounts(g.tile), DealtFaceCounts())
                    << layout << " easy " << easy << " seed " << seed;
            }
        }
    }
}

TEST(DealProperties, EverySolvableDealClearsInTheOrderItWasDealt) {
    for (const char* layout : LayoutNames) {
        for (uint64_t seed = 1; seed <= Seeds; ++seed) {
            Game g(seed);
            g.RecordDeal();
            g.Start(layout, 1);
            ASSERT_EQ(g.dealt.size(), 72u) << layout << " seed " << seed;
            for (const auto& [a, b] : g.dealt) {
                ASSERT_TRUE(Listed(g.tile, a) && Listed(g.tile, b) && g.tile.TilesMatch(a, b))
                    << layout << " seed " << seed << " pair " << a << "," << b;
                g.tile.RemovePair(a, b);
                ASSERT_EQ(g.tile.TilesLeft + g.tile.UndoTop, 144);
            }
            EXPECT_EQ(g.tile.TilesLeft, 0);
            EXPECT_EQ(g.tile.OpenTiles[1], -1);
        }
    }
}

TEST(DealProperties, DealSolvableLeavesTheBuiltBoardWhateverItReturns) {
    int results[2] = {};
    for (const char* layout : LayoutNames) {
        for (uint64_t seed = 1; seed <= Seeds / 4; ++seed) {
            Game g(seed);
            g.Start(layout, 0);
            g.tile.BuildBoard();
            const Snapshot built = Snapshot::Of(g);
            for (int attempt = 0; attempt < 10; ++attempt) {
                ++results[g.tile.DealSolvable()];
                ASSERT_EQ(Snapshot::Of(g).board, built.board) << layout << " seed " << seed;
            }
        }
    }
    EXPECT_GT(results[0], 0);
    EXPECT_GT(results[1], 0);
}

}  // namespace
