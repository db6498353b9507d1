// A new game on every layout, with the plain and with the solvable deal, and
// the number of attempts the solvable deal needs.
//
// The board picture is empty (0 x 0), so these figures are the layout, the
// board and the deal; NewGameOnAWindowSizedBoard adds the painting of a board
// the size of the window at start-up.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>

#include "EngineHost.h"
#include "Random.h"
#include "modTile.h"

namespace {

const char* const LayoutNames[] = {
    "Default",  "Castle", "Classic", "Mountain", "Great Wall", "Block",
    "Hole",     "Theater", "Checkers", "Shuriken", "Dam",      "Tree",
    "Key",      "Tavelorn", "Random",  "Pyramid",
};

class BenchHost : public EngineHost {
public:
    std::string pattern;
    int16_t easy = 0;
    void SetFormEnabled(bool) override {}
    std::string PatternText() const override { return pattern; }
    int16_t EasyValue() const override { return easy; }
    void SetTimerEnabled(bool) override {}
    void SetTilesCaption(const std::string&) override {}
    void SetMatchCaption(const std::string&) override {}
};

// Counts the reseeds: one for the game, then one per shuffle.
class CountingRandom : public RandomSource {
public:
    explicit CountingRandom(uint64_t seed) : inner_(seed) {}
    long reseeds = 0;
    double Rnd() override { return inner_.Rnd(); }
    void Randomize() override {
        ++reseeds;
        inner_.Randomize();
    }

private:
    SeededRandom inner_;
};

class FixedClock : public Clock {
public:
    int64_t Now() override { return 0; }
};

void NewGame(benchmark::State& state, int16_t easy) {
    BenchHost host;
    host.pattern = LayoutNames[state.range(0)];
    host.easy = easy;
    CountingRandom random(static_cast<uint64_t>(state.range(0)) + 1);
    FixedClock clock;
    modTile tile{host, random, clock};
    long games = 0, worst = 0;
    for (auto _ : state) {
        const long before = random.reseeds;
        tile.NewGame();
        const long attempts = random.reseeds - before - 1;
        worst = std::max(worst, attempts);
        ++games;
        benchmark::DoNotOptimize(tile.Tiles.data());
    }
    state.SetLabel(host.pattern);
    if (easy == 1) {
        // Reseeds beyond the game's own one are attempts of the deal.
        state.counters["attempts"] =
            static_cast<double>(random.reseeds - games) / static_cast<double>(games);
        state.counters["worst"] = static_cast<double>(worst);
    }
}

void BM_NewGamePlain(benchmark::State& state) { NewGame(state, 0); }
void BM_NewGameSolvable(benchmark::State& state) { NewGame(state, 1); }
BENCHMARK(BM_NewGamePlain)->DenseRange(0, 15)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_NewGameSolvable)->DenseRange(0, 15)->Unit(benchmark::kMicrosecond);

// The attempts alone, over many seeds (not timed per game).
void BM_SolvableAttempts(benchmark::State& state) {
    BenchHost host;
    host.pattern = LayoutNames[state.range(0)];
    host.easy = 1;
    FixedClock clock;
    const long seeds = 2000;
    long total = 0, worst = 0;
    for (auto _ : state) {
        total = 0;
        worst = 0;
        for (long s = 1; s <= seeds; ++s) {
            CountingRandom random(static_cast<uint64_t>(s) * 7919 + static_cast<uint64_t>(state.range(0)));
            modTile tile{host, random, clock};
            tile.NewGame();
            const long attempts = random.reseeds - 1;
            total += attempts;
            worst = std::max(worst, attempts);
        }
    }
    state.SetLabel(host.pattern);
    state.counters["attempts"] = static_cast<double>(total) / seeds;
    state.counters["worst"] = static_cast<double>(worst);
}
BENCHMARK(BM_SolvableAttempts)->DenseRange(0, 15)->Iterations(1)->Unit(benchmark::kMillisecond);

// The solvable deal on Classic with the board painted at the start-up
// window's opening size (582 x 377), blank pictures standing in for the sheets.
void BM_NewGameOnAWindowSizedBoard(benchmark::State& state) {
    BenchHost host;
    host.pattern = "Classic";
    host.easy = static_cast<int16_t>(state.range(0));
    CountingRandom random(1);
    FixedClock clock;
    modTile tile{host, random, clock};
    Surface board(582, 377), mask(41, 47, 0x000000), body(41, 47, 0xE0F0F0), sheet(333, 215, 0x808080);
    tile.picBoard = &board;
    tile.picMask = &mask;
    tile.picPaint = &body;
    tile.TileSetDC = &sheet;
    for (auto _ : state) {
        tile.NewGame();
        benchmark::DoNotOptimize(board.Bits());
    }
}
BENCHMARK(BM_NewGameOnAWindowSizedBoard)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace
