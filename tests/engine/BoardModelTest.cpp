// The board model's rules: matching, the open-tile rule, the open list and
// the count of matching open pairs.
#include <gtest/gtest.h>

#include "TestHost.h"
#include "modTile.h"

namespace {

struct Engine {
    FakeHost host;
    ScriptedRandom random;
    FakeClock clock;
    modTile tile{host, random, clock};
};

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

}  // namespace
