#include "Sounds.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

// A small fixed noise source, so every run gives the same samples.
class Noise {
public:
    explicit Noise(uint32_t seed) : state_(seed) {}
    double Next() {  // uniform in [-1, 1)
        state_ = state_ * 1664525u + 1013904223u;
        return double(state_ >> 8) / double(1u << 23) - 1.0;
    }
private:
    uint32_t state_;
};

struct Mode {
    double hz, amplitude, decaySeconds;
};

// A struck body: a burst of noise for the contact, then ringing modes that
// die away; the last few milliseconds fade to silence.
std::vector<double> Strike(int rate, int count, const std::vector<Mode>& modes, double burstSeconds, uint32_t seed) {
    Noise noise(seed);
    std::vector<double> out(static_cast<size_t>(count));
    double lowPass = 0;
    for (int i = 0; i < count; ++i) {
        const double t = double(i) / rate;
        double v = 0;
        for (const Mode& m : modes) v += m.amplitude * std::exp(-t / m.decaySeconds) * std::sin(2 * M_PI * m.hz * t);
        lowPass += 0.5 * (noise.Next() - lowPass);
        v += 0.6 * lowPass * std::exp(-t / burstSeconds);
        const double tail = std::min(1.0, double(count - 1 - i) / (0.1 * count));
        out[size_t(i)] = v * tail;
    }
    return out;
}

// Scales to the peak and converts to the file's samples.
std::vector<int> ToSamples(const std::vector<double>& v, int bits, double peak) {
    double top = 1e-9;
    for (double x : v) top = std::max(top, std::abs(x));
    std::vector<int> out;
    out.reserve(v.size());
    for (double x : v) {
        const double s = x / top * peak;
        if (bits == 8) out.push_back(std::clamp(int(std::lround(128 + 127 * s)), 0, 255));
        else out.push_back(std::clamp(int(std::lround(32767 * s)), -32768, 32767));
    }
    return out;
}

std::vector<int> Down() {
    return ToSamples(Strike(11025, 543, {{1850, 1.0, 0.006}, {3300, 0.6, 0.003}, {760, 0.5, 0.010}}, 0.002, 17), 8, 0.85);
}

std::vector<int> Down2() {
    return ToSamples(Strike(11025, 339, {{2150, 1.0, 0.005}, {3700, 0.5, 0.0025}, {900, 0.45, 0.008}}, 0.0015, 29), 8, 0.8);
}

// A tile pushed over the others: band-limited noise with a rough, uneven
// grain, swelling quickly and fading out.
std::vector<int> Slide() {
    const int rate = 44100, count = 17369;
    Noise noise(101);
    std::vector<double> out(static_cast<size_t>(count));
    double low = 0, lower = 0, grain = 0;
    for (int i = 0; i < count; ++i) {
        const double t = double(i) / rate;
        const double x = noise.Next();
        low += 0.25 * (x - low);
        lower += 0.02 * (x - lower);
        const double band = low - lower;
        if (i % 220 == 0) grain = 0.6 + 0.4 * std::abs(noise.Next());
        const double attack = std::min(1.0, t / 0.03);
        const double fade = std::pow(std::max(0.0, 1.0 - t / 0.394), 1.6);
        out[size_t(i)] = band * grain * attack * fade;
    }
    return ToSamples(out, 16, 0.7);
}

// A gong: inharmonic partials, each a slightly detuned pair that beats, the
// high ones dying first, over a soft mallet thump.
std::vector<int> Gong() {
    const int rate = 8000, count = 24026;
    const Mode partials[] = {{146, 1.0, 1.9},  {223, 0.7, 1.5},  {307, 0.55, 1.2}, {389, 0.5, 0.9},
                             {471, 0.35, 0.7}, {622, 0.3, 0.5},  {781, 0.2, 0.35}, {1043, 0.15, 0.25}};
    Noise noise(7);
    std::vector<double> out(static_cast<size_t>(count));
    double thump = 0;
    for (int i = 0; i < count; ++i) {
        const double t = double(i) / rate;
        double v = 0;
        for (const Mode& m : partials) {
            const double e = m.amplitude * std::exp(-t / m.decaySeconds);
            v += e * (std::sin(2 * M_PI * m.hz * t) + 0.6 * std::sin(2 * M_PI * (m.hz + 0.9) * t + 1.0));
        }
        thump += 0.05 * (noise.Next() - thump);
        v += 4.0 * thump * std::exp(-t / 0.04);
        const double attack = std::min(1.0, t / 0.004);
        const double tail = std::min(1.0, double(count - 1 - i) / 1600.0);
        out[size_t(i)] = v * attack * tail;
    }
    return ToSamples(out, 8, 0.9);
}

}  // namespace

std::vector<Sound> Sounds() {
    return {
        {"DOWN.wav", {11025, 8, Down(), "Tile put down", 74, 2}},
        {"DOWN2.wav", {11025, 8, Down2(), "Tile put down, again", 74, 2}},
        {"SLIDE.wav", {44100, 16, Slide(), "Pair slides away", 74, 0}},
        {"GONG.wav", {8000, 8, Gong(), "Gong: game over", 74, 0}},
    };
}
