// The default random source (xoshiro256**) and the system clock.
#include "Random.h"

#include <chrono>
#include <ctime>

namespace {
uint64_t SplitMix(uint64_t& x) {
    uint64_t z = (x += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}
uint64_t Rotl(uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }
}  // namespace

ClockRandom::ClockRandom() { Randomize(); }

void ClockRandom::Seed(uint64_t seed) {
    for (uint64_t& s : state_) s = SplitMix(seed);
}

void ClockRandom::Randomize() {
    const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
    // The counter makes each reseed distinct even within one clock tick.
    Seed(static_cast<uint64_t>(ticks) ^ (++reseeds_ * 0xD1B54A32D192ED03ull));
}

double ClockRandom::Rnd() {
    const uint64_t result = Rotl(state_[1] * 5, 7) * 9;
    const uint64_t t = state_[1] << 17;
    state_[2] ^= state_[0];
    state_[3] ^= state_[1];
    state_[1] ^= state_[2];
    state_[0] ^= state_[3];
    state_[2] ^= t;
    state_[3] = Rotl(state_[3], 45);
    return static_cast<double>(result >> 11) * 0x1.0p-53;
}

int64_t SystemClock::Now() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    // Local wall-clock seconds on a running scale: the epoch seconds moved by
    // the zone offset, so the clock's hours match the time of day.
    return static_cast<int64_t>(now) + local.tm_gmtoff;
}
