// Fakes of the engine's seams for the tests.
#pragma once

#include <deque>
#include <stdexcept>
#include <string>

#include "EngineHost.h"
#include "Random.h"

class FakeHost : public EngineHost {
public:
    bool formEnabled = true;
    std::string patternText = "Classic";
    int16_t easyValue = 0;
    bool timerEnabled = false;
    std::string tilesCaption;
    std::string matchCaption;
    int formDisabledCount = 0;

    void SetFormEnabled(bool enabled) override {
        formEnabled = enabled;
        if (!enabled) ++formDisabledCount;
    }
    std::string PatternText() const override { return patternText; }
    int16_t EasyValue() const override { return easyValue; }
    void SetTimerEnabled(bool enabled) override { timerEnabled = enabled; }
    void SetTilesCaption(const std::string& text) override { tilesCaption = text; }
    void SetMatchCaption(const std::string& text) override { matchCaption = text; }
};

// The most draws a source gives one test; a plain deal takes 10,000. A deal
// that can never finish (a source that repeats, so the solvable deal tries
// the same attempt for ever) reaches it within seconds and fails the test
// here, rather than at the test runner's time limit.
constexpr long MaxDraws = 10'000'000;

inline void CountDraw(long& drawsTaken) {
    if (++drawsTaken > MaxDraws)
        throw std::runtime_error("the random source gave 10,000,000 draws: a deal that never finishes");
}

// Returns the scripted draws in order, then `after` for ever; counts reseeds.
class ScriptedRandom : public RandomSource {
public:
    std::deque<double> draws;
    double after = 0.0;
    int reseeds = 0;
    long drawsTaken = 0;

    double Rnd() override {
        CountDraw(drawsTaken);
        if (draws.empty()) return after;
        const double d = draws.front();
        draws.pop_front();
        return d;
    }
    void Randomize() override { ++reseeds; }
};

class FakeClock : public Clock {
public:
    int64_t now = 12 * 3600;
    int64_t Now() override { return now; }
};
