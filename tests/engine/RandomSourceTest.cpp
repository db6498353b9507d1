// The random sources.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <ctime>
#include <string>
#include <limits>
#include <set>

#include "TestHost.h"

namespace {

TEST(RandomSource, ReseedsNeverRepeatASequenceEvenOnTheSameSeed) {
    // A fixed seed stands for a clock that does not move between reseeds:
    // only the count of reseeds tells them apart, from the first draw on.
    SeededRandom random(42);
    std::set<double> firsts;
    for (int k = 0; k < 2000; ++k) {
        random.Randomize();
        EXPECT_TRUE(firsts.insert(random.Rnd()).second) << "reseed " << k;
    }
}

TEST(SystemClock, AChangeOfTimeZoneOrSummerTimeDoesNotMoveIt) {
    // The same moment read under zones an hour, five and a half hours and
    // (in summer time) more apart: the readings differ by the second that
    // may tick between them at most.
    const char* const previous = std::getenv("TZ");
    const std::string saved = previous ? previous : "";
    SystemClock clock;
    std::vector<int64_t> readings;
    for (const char* zone : {"UTC0", "CET-1CEST,M3.5.0,M10.5.0/3", "IST-5:30", "EST5EDT,M3.2.0,M11.1.0",
                             "NZST-12NZDT,M9.5.0,M4.1.0/3"}) {
        setenv("TZ", zone, 1);
        tzset();
        readings.push_back(clock.Now());
    }
    if (previous) setenv("TZ", saved.c_str(), 1); else unsetenv("TZ");
    tzset();
    for (const int64_t r : readings) EXPECT_LE(std::llabs(r - readings.front()), 1) << r - readings.front();
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
