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

// The default source. Every reseed mixes a running counter into the clock
// reading, so two reseeds within one tick of the clock still start two
// different sequences (the solvable deal reseeds once per attempt).
class ClockRandom final : public RandomSource {
public:
    ClockRandom();
    double Rnd() override;
    void Randomize() override;
    void Seed(uint64_t seed);

private:
    uint64_t state_[4] = {};
    uint64_t reseeds_ = 0;
};

// The time of day, as whole seconds on a running date-and-time scale
// (seconds since the epoch, in local time), so that differences across
// midnight stay right.
class Clock {
public:
    virtual ~Clock() = default;
    virtual int64_t Now() = 0;
};

class SystemClock final : public Clock {
public:
    int64_t Now() override;
};
