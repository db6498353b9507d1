// The random source and the clock the engine draws on.
#pragma once

#include <cstdint>

// Uniform draws in [0, 1) and a reseed from the clock.
class RandomSource {
public:
    virtual ~RandomSource() = default;
    virtual double Rnd() = 0;
    virtual void Randomize() = 0;
};

// floor(n * u) for the next draw u: a whole number from 0 to n - 1. A source
// that strays outside [0, 1) is held to that range, so the number can always
// index a list of n entries.
int16_t DrawBelow(RandomSource& random, int n);

// The generator behind both sources below (xoshiro256**). Every reseed mixes
// a running count of reseeds into every word of the state, so no two reseeds
// of one source start the same sequence, nor share their first draw, however
// close together they fall.
class MixedRandom : public RandomSource {
public:
    double Rnd() override;

protected:
    void Reseed(uint64_t base);

private:
    uint64_t state_[4] = {};
    uint64_t reseeds_ = 0;
};

// The game's source: reseeded from the clock.
class ClockRandom final : public MixedRandom {
public:
    ClockRandom();
    void Randomize() override;

private:
    uint64_t salt_;  // taken once, so two sources made in one tick still differ
};

// A reproducible source: the same seed gives the same draws after the same
// reseeds. For measuring and checking deals over many seeds.
class SeededRandom final : public MixedRandom {
public:
    explicit SeededRandom(uint64_t seed);
    void Randomize() override;

private:
    uint64_t seed_;
};

// Whole seconds on a running scale (seconds since the epoch, universal time),
// so that the difference of two readings is the time that passed, across
// midnight and across a change of zone or of daylight-saving time alike.
class Clock {
public:
    virtual ~Clock() = default;
    virtual int64_t Now() = 0;
};

class SystemClock final : public Clock {
public:
    int64_t Now() override;
};
