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
    // Two words from the base, two from the count. The count's words alone
    // differ between any two reseeds, and they can never both be zero, so
    // the state is always a valid one.
    state_[0] = Mix(base + Golden);
    state_[1] = Mix(base + 2 * Golden);
    state_[2] = Mix(reseeds_);
    state_[3] = Mix(~reseeds_);
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
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    // Local wall-clock seconds on a running scale: the epoch seconds moved by
    // the zone offset, so the clock's hours match the time of day.
    return static_cast<int64_t>(now) + local.tm_gmtoff;
}
