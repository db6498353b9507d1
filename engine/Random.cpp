// The default random source (xoshiro256**) and the system clock.
#include "Random.h"

#include <chrono>
#include <cmath>
#include <ctime>
#include <random>

namespace {
// SplitMix64's finaliser: a bijection on 64-bit words, so distinct inputs
// always give distinct outputs.
uint64_t Mix(uint64_t z) {
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}
constexpr uint64_t Golden = 0x9E3779B97F4A7C15ull;
uint64_t Rotl(uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }

uint64_t Entropy() {
    try {
        std::random_device device;
        return (static_cast<uint64_t>(device()) << 32) ^ device();
    } catch (...) {
        return 0;  // the clock and the counter still vary the seed
    }
}
}  // namespace

int16_t DrawBelow(RandomSource& random, int n) {
    if (n <= 0) return 0;
    const double value = std::floor(n * random.Rnd());
    if (!(value >= 0)) return 0;  // also catches NaN
    if (value >= n) return static_cast<int16_t>(n - 1);
    return static_cast<int16_t>(value);
}

void MixedRandom::Reseed(uint64_t base) {
    ++reseeds_;
    // Every word takes both the base and the count: for one base, each word
    // is a bijection of the count, so two reseeds in one tick of the clock
    // differ in every word, and the first draw (made from one word) differs
    // too.
    const uint64_t count = Mix(reseeds_ * Golden);
    for (int k = 0; k < 4; ++k) state_[k] = Mix(Mix(base + (k + 1) * Golden) ^ count);
    // The one state the generator cannot leave; no seed comes near it.
    if ((state_[0] | state_[1] | state_[2] | state_[3]) == 0) state_[0] = Golden;
}

double MixedRandom::Rnd() {
    const uint64_t result = Rotl(state_[1] * 5, 7) * 9;
    const uint64_t t = state_[1] << 17;
    state_[2] ^= state_[0];
    state_[3] ^= state_[1];
    state_[1] ^= state_[2];
    state_[0] ^= state_[3];
    state_[2] ^= t;
    state_[3] = Rotl(state_[3], 45);
    return static_cast<double>(result >> 11) * 0x1.0p-53;  // 53 bits, below 1
}

ClockRandom::ClockRandom() : salt_(Entropy()) { Randomize(); }

void ClockRandom::Randomize() {
    const auto ticks = std::chrono::system_clock::now().time_since_epoch().count();
    Reseed(static_cast<uint64_t>(ticks) ^ salt_);
}

SeededRandom::SeededRandom(uint64_t seed) : seed_(seed) { Randomize(); }

void SeededRandom::Randomize() { Reseed(seed_); }

int64_t SystemClock::Now() {
    // Seconds of universal time: a change of zone or of daylight-saving time
    // moves the time of day shown on the wall, not the running count, so the
    // difference of two readings stays the time that passed.
    return static_cast<int64_t>(std::time(nullptr));
}
