// Fakes of the engine's seams for the tests.
#pragma once

#include <deque>
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

// Returns the scripted draws in order, then `after` for ever; counts reseeds.
class ScriptedRandom : public RandomSource {
public:
    std::deque<double> draws;
    double after = 0.0;
    int reseeds = 0;
    long drawsTaken = 0;

    double Rnd() override {
        ++drawsTaken;
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
