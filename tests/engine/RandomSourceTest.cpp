// The random sources.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>

#include "TestHost.h"

namespace {

TEST(RandomSource, ReseedsNeverRepeatASequenceEvenOnTheSameSeed) {
    // A fixed seed stands for a clock that does not move between reseeds:
    // only the count of reseeds tells them apart.
    SeededRandom random(42);
    std::set<std::vector<double>> starts;
    for (int k = 0; k < 2000; ++k) {
        random.Randomize();
        std::vector<double> start;
        for (int d = 0; d < 4; ++d) start.push_back(random.Rnd());
        EXPECT_TRUE(starts.insert(start).second) << "reseed " << k;
    }
}

TEST(RandomSource, SameSeedGivesTheSameDraws) {
    SeededRandom one(7), two(7);
    one.Randomize();
    two.Randomize();
    for (int d = 0; d < 100; ++d) EXPECT_EQ(one.Rnd(), two.Rnd());
}

TEST(RandomSource, DrawsAreUniformInTheHalfOpenUnitInterval) {
    ClockRandom random;
    int buckets[144] = {};
    const int draws = 144 * 2000;
    for (int d = 0; d < draws; ++d) {
        const double u = random.Rnd();
        ASSERT_GE(u, 0.0);
        ASSERT_LT(u, 1.0);
        ++buckets[DrawBelow(random, 144)];
    }
    for (const int n : buckets) {
        EXPECT_GT(n, 1700);
        EXPECT_LT(n, 2300);
    }
}

TEST(RandomSource, DrawBelowStaysInRangeWhateverTheSourceGives) {
    struct Case { double draw; int n; int16_t result; };
    const Case cases[] = {
        {0.0, 12, 0},  {0.5, 12, 6},   {0.999999, 12, 11}, {1.0, 12, 11},
        {7.5, 8, 7},   {-0.25, 8, 0},  {std::numeric_limits<double>::quiet_NaN(), 8, 0},
        {0.5, 0, 0},   {0.5, 1, 0},
    };
    for (const Case& c : cases) {
        ScriptedRandom random;
        random.draws = {c.draw};
        EXPECT_EQ(DrawBelow(random, c.n), c.result) << c.draw << " of " << c.n;
    }
}

}  // namespace
