// StretchBlt: a separable resampler that looks good on a photograph and is
// quick enough to run on every resize of the board.
//
// Each axis gets a table of source taps and weights per destination pixel:
// the two nearest source pixels (bilinear) when enlarging, every source
// pixel the destination pixel covers, weighed by how much, when shrinking.
// Source rows are first resampled across, then blended down. The taps of a
// destination pixel are always neighbouring source pixels, which lets the
// inner loops take them two at a time with SSE2 where the machine has it.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>

#include "Surface.h"
#include "SurfaceRows.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

using surface_rows::KnownRop;
using surface_rows::RowOp;

namespace {

constexpr int WeightBits = 12;
constexpr uint32_t WeightOne = 1u << WeightBits;

// ---- The taps of one axis --------------------------------------------------

struct AxisMap {
    int64_t first = 0;             // first destination pixel written
    int64_t count = 0;             // destination pixels written
    std::vector<uint32_t> start;   // count + 1 offsets into the taps
    std::vector<int32_t> source;   // source pixel of each tap (ascending, neighbours)
    std::vector<uint32_t> weight;  // the weights of one destination pixel sum to WeightOne
    uint32_t maxTaps = 0;
};

// Turns real weights into whole ones that sum exactly to WeightOne.
void AddTaps(AxisMap& map, const int32_t* src, const double* w, size_t n) {
    double total = 0;
    for (size_t i = 0; i < n; ++i) total += w[i];
    uint32_t given = 0;
    size_t heaviest = 0;
    const size_t base = map.weight.size();
    for (size_t i = 0; i < n; ++i) {
        const uint32_t q = static_cast<uint32_t>(std::lround(w[i] / total * WeightOne));
        map.source.push_back(src[i]);
        map.weight.push_back(q);
        given += q;
        if (w[i] > w[heaviest]) heaviest = i;
    }
    map.weight[base + heaviest] += WeightOne - given;  // the rounding remainder, either way
    map.maxTaps = std::max(map.maxTaps, static_cast<uint32_t>(n));
    map.start.push_back(static_cast<uint32_t>(map.source.size()));
}

// Destination pixels [d0, d0 + dLen) of a surface dstSize wide, from source
// pixels [s0, s0 + sLen) of one srcSize wide. Only destination pixels on the
// surface whose source lies (at least in part) on the source are mapped.
AxisMap MapAxis(int64_t d0, int64_t dLen, int64_t dstSize, int64_t s0, int64_t sLen, int64_t srcSize) {
    AxisMap map;
    map.start.push_back(0);
    const int64_t lo = std::max<int64_t>(s0, 0), hi = std::min(s0 + sLen, srcSize);
    if (dLen <= 0 || sLen <= 0 || lo >= hi) return map;
    const double scale = static_cast<double>(sLen) / static_cast<double>(dLen);
    const int64_t dFirst = std::max<int64_t>(d0, 0), dEnd = std::min(d0 + dLen, dstSize);
    std::vector<int32_t> src;
    std::vector<double> w;
    for (int64_t d = dFirst; d < dEnd; ++d) {
        src.clear();
        w.clear();
        const double rel = static_cast<double>(d - d0);
        if (sLen > dLen) {
            const double a = std::max(static_cast<double>(s0) + rel * scale, static_cast<double>(lo));
            const double b = std::min(static_cast<double>(s0) + (rel + 1) * scale, static_cast<double>(hi));
            if (b <= a) {
                if (map.count > 0) break;
                continue;
            }
            for (int64_t j = static_cast<int64_t>(std::floor(a)); static_cast<double>(j) < b; ++j) {
                const double cover = std::min(b, static_cast<double>(j + 1)) - std::max(a, static_cast<double>(j));
                if (cover <= 0) continue;
                src.push_back(static_cast<int32_t>(j));
                w.push_back(cover);
            }
        } else {
            const double centre = static_cast<double>(s0) + (rel + 0.5) * scale;
            if (centre < static_cast<double>(lo) || centre >= static_cast<double>(hi)) {
                if (map.count > 0) break;
                continue;
            }
            const double p = centre - 0.5;
            const int64_t j = static_cast<int64_t>(std::floor(p));
            const double f = p - static_cast<double>(j);
            const int64_t j0 = std::clamp(j, lo, hi - 1), j1 = std::clamp(j + 1, lo, hi - 1);
            if (j0 == j1 || f * WeightOne < 0.5) {
                src.push_back(static_cast<int32_t>(j0));
                w.push_back(1.0);
            } else if ((1 - f) * WeightOne < 0.5) {
                src.push_back(static_cast<int32_t>(j1));
                w.push_back(1.0);
            } else {
                src.push_back(static_cast<int32_t>(j0));
                src.push_back(static_cast<int32_t>(j1));
                w.push_back(1 - f);
                w.push_back(f);
            }
        }
        if (src.empty()) continue;
        if (map.count == 0) map.first = d;
        AddTaps(map, src.data(), w.data(), src.size());
        ++map.count;
    }
    return map;
}

// ---- Weighing pixels -------------------------------------------------------

// A pixel spread into three 21-bit lanes of a 64-bit word, so one multiply
// weighs all three channels: 255 * 4096 plus rounding still fits a lane.
constexpr uint64_t Spread(uint32_t p) {
    return (p & 0xFFu) | (static_cast<uint64_t>(p & 0xFF00u) << 13) | (static_cast<uint64_t>(p & 0xFF0000u) << 26);
}
constexpr uint64_t LaneHalf =
    (1ull << (WeightBits - 1)) | (1ull << (WeightBits - 1 + 21)) | (1ull << (WeightBits - 1 + 42));
constexpr uint32_t Gather(uint64_t acc) {
    acc += LaneHalf;
    return Surface::Opaque | static_cast<uint32_t>((acc >> WeightBits) & 0xFFu) |
           static_cast<uint32_t>(((acc >> (WeightBits + 21)) & 0xFFu) << 8) |
           static_cast<uint32_t>(((acc >> (WeightBits + 42)) & 0xFFu) << 16);
}

// Two pixels blended with 8-bit weights w0 + w1 = 256: the red-and-blue
// and the green halves of a pixel each take one 32-bit multiply.
inline uint32_t Blend2(uint32_t a, uint32_t b, uint32_t w0, uint32_t w1) {
    const uint32_t rb = ((a & 0xFF00FFu) * w0 + (b & 0xFF00FFu) * w1 + 0x800080u) >> 8;
    const uint32_t g = ((a & 0xFF00u) * w0 + (b & 0xFF00u) * w1 + 0x8000u) >> 8;
    return Surface::Opaque | (rb & 0xFF00FFu) | (g & 0xFF00u);
}

inline uint32_t To8Bits(uint32_t weight) { return (weight + (1u << (WeightBits - 9))) >> (WeightBits - 8); }

// The taps of each destination pixel as 16-bit multiplier lanes, two taps
// to a slot: (w0, w1) four times, the second 0 when the count is odd. The
// weights are brought to 14 bits: 255 * 16384 still fits a 32-bit sum.
struct TapLanes {
    std::vector<uint32_t> slot;  // count + 1 offsets into lanes, in slots of 8
    std::vector<int16_t> lanes;
};
constexpr int LaneBits = 14;

TapLanes Lanes(const AxisMap& map) {
    TapLanes t;
    t.slot.push_back(0);
    for (int64_t k = 0; k < map.count; ++k) {
        const uint32_t b = map.start[k], e = map.start[k + 1];
        for (uint32_t i = b; i < e; i += 2) {
            const int16_t w0 = static_cast<int16_t>(map.weight[i] << (LaneBits - WeightBits));
            const int16_t w1 = i + 1 < e ? static_cast<int16_t>(map.weight[i + 1] << (LaneBits - WeightBits)) : 0;
            for (int lane = 0; lane < 4; ++lane) {
                t.lanes.push_back(w0);
                t.lanes.push_back(w1);
            }
        }
        t.slot.push_back(static_cast<uint32_t>(t.lanes.size() / 8));
    }
    return t;
}

// With at most two taps across (enlarging, or shrinking by less than half),
// each destination pixel blends a pair of neighbours: a single tap becomes a
// pair whose other pixel weighs nothing. Needs a source two pixels wide.
struct PairTaps {
    std::vector<int32_t> first;    // the pair is first, first + 1
    std::vector<uint32_t> weight;  // of the second, in 1/256
    std::vector<int16_t> lanes;    // (256 - w, w) four times per pixel
};

PairTaps Pairs(const AxisMap& map, int64_t srcWidth) {
    PairTaps pairs;
    for (int64_t k = 0; k < map.count; ++k) {
        const uint32_t b = map.start[k], e = map.start[k + 1];
        int32_t first = map.source[b];
        uint32_t w1 = e - b == 2 ? To8Bits(map.weight[b + 1]) : 0;
        if (e - b == 1 && first + 1 >= srcWidth) {
            --first;
            w1 = 256;
        }
        pairs.first.push_back(first);
        pairs.weight.push_back(w1);
        for (int lane = 0; lane < 4; ++lane) {
            pairs.lanes.push_back(static_cast<int16_t>(256 - w1));
            pairs.lanes.push_back(static_cast<int16_t>(w1));
        }
    }
    return pairs;
}

#if defined(__SSE2__)
// Two neighbouring pixels, channel by channel side by side: r0 r1 g0 g1 ...
inline __m128i PairBytes(const uint32_t* at) {
    const __m128i p = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(at));
    return _mm_unpacklo_epi8(p, _mm_srli_si128(p, 4));
}
// One pixel the same way, beside nothing.
inline __m128i LoneBytes(const uint32_t* at) {
    return _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(*at)), _mm_setzero_si128());
}
// Four 32-bit channel sums of 14-bit weights back to one pixel.
inline uint32_t Settle14(__m128i acc) {
    acc = _mm_srai_epi32(_mm_add_epi32(acc, _mm_set1_epi32(1 << (LaneBits - 1))), LaneBits);
    const __m128i p = _mm_packs_epi32(acc, acc);
    return static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(p, p))) | Surface::Opaque;
}
#endif

// ---- Across ----------------------------------------------------------------

void ResamplePairs(const uint32_t* row, const PairTaps& pairs, int64_t count, uint32_t* out) {
    const int32_t* first = pairs.first.data();
    int64_t k = 0;
#if defined(__SSE2__)
    // Two destination pixels at a time: each channel's two source values
    // are weighed and summed by one multiply-add.
    const __m128i zero = _mm_setzero_si128();
    const __m128i half = _mm_set1_epi32(128);
    const __m128i* lanes = reinterpret_cast<const __m128i*>(pairs.lanes.data());
    for (; k + 2 <= count; k += 2) {
        const __m128i both = _mm_unpacklo_epi64(PairBytes(row + first[k]), PairBytes(row + first[k + 1]));
        const __m128i a = _mm_madd_epi16(_mm_unpacklo_epi8(both, zero), _mm_loadu_si128(lanes + k));
        const __m128i b = _mm_madd_epi16(_mm_unpackhi_epi8(both, zero), _mm_loadu_si128(lanes + k + 1));
        const __m128i sums = _mm_packs_epi32(_mm_srai_epi32(_mm_add_epi32(a, half), 8),
                                             _mm_srai_epi32(_mm_add_epi32(b, half), 8));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + k), _mm_packus_epi16(sums, sums));
    }
#endif
    const uint32_t* w = pairs.weight.data();
    for (; k < count; ++k) out[k] = Blend2(row[first[k]], row[first[k] + 1], 256 - w[k], w[k]);
}

void ResampleMany(const uint32_t* row, const AxisMap& xmap, [[maybe_unused]] const TapLanes& lanes, uint32_t* out) {
    const int32_t* src = xmap.source.data();
    const uint32_t* start = xmap.start.data();
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    const __m128i* slots = reinterpret_cast<const __m128i*>(lanes.lanes.data());
    for (int64_t k = 0; k < xmap.count; ++k) {
        const uint32_t n = start[k + 1] - start[k];
        const uint32_t* p = row + src[start[k]];
        const __m128i* w = slots + lanes.slot[k];
        __m128i acc = zero;
        uint32_t t = 0;
        for (; t + 2 <= n; t += 2, ++w)
            acc = _mm_add_epi32(acc, _mm_madd_epi16(_mm_unpacklo_epi8(PairBytes(p + t), zero), _mm_loadu_si128(w)));
        if (t < n) acc = _mm_add_epi32(acc, _mm_madd_epi16(_mm_unpacklo_epi8(LoneBytes(p + t), zero), _mm_loadu_si128(w)));
        out[k] = Settle14(acc);
    }
#else
    const uint32_t* w = xmap.weight.data();
    for (int64_t k = 0; k < xmap.count; ++k) {
        uint64_t acc = 0;
        for (uint32_t t = start[k]; t < start[k + 1]; ++t) acc += Spread(row[src[t]]) * w[t];
        out[k] = Gather(acc);
    }
#endif
}

// ---- Down ------------------------------------------------------------------

void BlendTwoRows(const uint32_t* a, const uint32_t* b, uint32_t w1, size_t width, uint32_t* out) {
    const uint32_t w0 = 256 - w1;
    size_t i = 0;
#if defined(__SSE2__)
    // Four pixels at a time, each channel widened to 16 bits: 255 * 256
    // plus rounding still fits.
    const __m128i zero = _mm_setzero_si128();
    const __m128i m0 = _mm_set1_epi16(static_cast<short>(w0));
    const __m128i m1 = _mm_set1_epi16(static_cast<short>(w1));
    const __m128i half = _mm_set1_epi16(128);
    const __m128i opaque = _mm_set1_epi32(static_cast<int>(Surface::Opaque));
    for (; i + 4 <= width; i += 4) {
        const __m128i pa = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + i));
        const __m128i pb = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + i));
        const __m128i lo = _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(pa, zero), m0),
                                                                      _mm_mullo_epi16(_mm_unpacklo_epi8(pb, zero), m1)),
                                                        half),
                                          8);
        const __m128i hi = _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(pa, zero), m0),
                                                                      _mm_mullo_epi16(_mm_unpackhi_epi8(pb, zero), m1)),
                                                        half),
                                          8);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_or_si128(_mm_packus_epi16(lo, hi), opaque));
    }
#endif
    for (; i < width; ++i) out[i] = Blend2(a[i], b[i], w0, w1);
}

// Many rows blended down: out = sum of rows[t] * w[t].
void BlendManyRows(const uint32_t* const* rows, const uint32_t* w, uint32_t n, [[maybe_unused]] const int16_t* lanes,
                   size_t width, uint32_t* out) {
    size_t i = 0;
#if defined(__SSE2__)
    // Four pixels at a time, rows two at a time: the two rows' bytes side
    // by side, weighed and summed by one multiply-add per pixel.
    const __m128i zero = _mm_setzero_si128();
    const __m128i* slots = reinterpret_cast<const __m128i*>(lanes);
    for (; i + 4 <= width; i += 4) {
        __m128i acc0 = zero, acc1 = zero, acc2 = zero, acc3 = zero;
        for (uint32_t t = 0; t < n; t += 2) {
            const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[t] + i));
            const __m128i b = t + 1 < n ? _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[t + 1] + i)) : zero;
            const __m128i m = _mm_loadu_si128(slots + t / 2);
            const __m128i lo = _mm_unpacklo_epi8(a, b), hi = _mm_unpackhi_epi8(a, b);
            acc0 = _mm_add_epi32(acc0, _mm_madd_epi16(_mm_unpacklo_epi8(lo, zero), m));
            acc1 = _mm_add_epi32(acc1, _mm_madd_epi16(_mm_unpackhi_epi8(lo, zero), m));
            acc2 = _mm_add_epi32(acc2, _mm_madd_epi16(_mm_unpacklo_epi8(hi, zero), m));
            acc3 = _mm_add_epi32(acc3, _mm_madd_epi16(_mm_unpackhi_epi8(hi, zero), m));
        }
        const __m128i half = _mm_set1_epi32(1 << (LaneBits - 1));
        const auto settle = [&](__m128i acc) { return _mm_srai_epi32(_mm_add_epi32(acc, half), LaneBits); };
        const __m128i p01 = _mm_packs_epi32(settle(acc0), settle(acc1));
        const __m128i p23 = _mm_packs_epi32(settle(acc2), settle(acc3));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i),
                         _mm_or_si128(_mm_packus_epi16(p01, p23), _mm_set1_epi32(static_cast<int>(Surface::Opaque))));
    }
#endif
    for (; i < width; ++i) {
        uint64_t acc = 0;
        for (uint32_t t = 0; t < n; ++t) acc += Spread(rows[t][i]) * w[t];
        out[i] = Gather(acc);
    }
}

// The two passes of one stretch, with the tables they share.
struct Plan {
    AxisMap xmap, ymap;
    bool pairsAcross = false;
    PairTaps pairs;
    TapLanes lanesAcross, lanesDown;

    void Across(const uint32_t* row, uint32_t* out) const {
        if (pairsAcross)
            ResamplePairs(row, pairs, xmap.count, out);
        else
            ResampleMany(row, xmap, lanesAcross, out);
    }
    // Destination row k from its source rows (already resampled across, or
    // not), width pixels of each.
    void Down(int64_t k, const uint32_t* const* rows, size_t width, uint32_t* out) const {
        const uint32_t b = ymap.start[k], taps = ymap.start[k + 1] - b;
        if (taps == 1)
            std::memcpy(out, rows[0], width * sizeof(uint32_t));
        else if (taps == 2)
            BlendTwoRows(rows[0], rows[1], To8Bits(ymap.weight[b + 1]), width, out);
        else
            BlendManyRows(rows, ymap.weight.data() + b, taps,
                          lanesDown.lanes.data() + static_cast<size_t>(lanesDown.slot[k]) * 8, width, out);
    }
    // The source columns the across pass reads.
    int64_t FirstColumn() const { return xmap.source.front(); }
    int64_t EndColumn() const { return pairsAcross ? pairs.first.back() + 2 : xmap.source.back() + 1; }
};

// Across first: each source row resampled once, kept in a ring (the taps of
// successive destination rows are neighbours and move only downwards).
void AcrossThenDown(const Plan& plan, const Surface& from, Surface& dst, uint32_t rop) {
    const size_t n = static_cast<size_t>(plan.xmap.count);
    const size_t srcStride = static_cast<size_t>(from.ScaleWidth());
    const size_t dstStride = static_cast<size_t>(dst.ScaleWidth());
    const uint32_t ring = plan.ymap.maxTaps;
    std::vector<uint32_t> across(static_cast<size_t>(ring) * n);
    std::vector<int64_t> held(ring, -1);
    std::vector<const uint32_t*> rows(ring);
    std::vector<uint32_t> line(rop == SRCCOPY ? 0 : n);
    for (int64_t k = 0; k < plan.ymap.count; ++k) {
        const uint32_t b = plan.ymap.start[k], e = plan.ymap.start[k + 1];
        for (uint32_t t = b; t < e; ++t) {
            const int64_t r = plan.ymap.source[t];
            const size_t slot = static_cast<size_t>(r % ring);
            uint32_t* buffer = across.data() + slot * n;
            if (held[slot] != r) {
                plan.Across(from.Bits() + static_cast<size_t>(r) * srcStride, buffer);
                held[slot] = r;
            }
            rows[t - b] = buffer;
        }
        uint32_t* out = dst.Bits() + static_cast<size_t>(plan.ymap.first + k) * dstStride +
                        static_cast<size_t>(plan.xmap.first);
        plan.Down(k, rows.data(), n, rop == SRCCOPY ? out : line.data());
        if (rop != SRCCOPY) RowOp(out, line.data(), n, rop);
    }
}

// Down first: the source rows of each destination row blended over the
// columns the across pass reads, then resampled across. Cheaper when the
// picture is much taller than the destination.
void DownThenAcross(const Plan& plan, const Surface& from, Surface& dst, uint32_t rop) {
    const size_t n = static_cast<size_t>(plan.xmap.count);
    const size_t srcStride = static_cast<size_t>(from.ScaleWidth());
    const size_t dstStride = static_cast<size_t>(dst.ScaleWidth());
    const size_t c0 = static_cast<size_t>(plan.FirstColumn());
    const size_t span = static_cast<size_t>(plan.EndColumn()) - c0;
    std::vector<uint32_t> down(srcStride);
    std::vector<const uint32_t*> rows(plan.ymap.maxTaps);
    std::vector<uint32_t> line(rop == SRCCOPY ? 0 : n);
    for (int64_t k = 0; k < plan.ymap.count; ++k) {
        const uint32_t b = plan.ymap.start[k], e = plan.ymap.start[k + 1];
        for (uint32_t t = b; t < e; ++t)
            rows[t - b] = from.Bits() + static_cast<size_t>(plan.ymap.source[t]) * srcStride + c0;
        plan.Down(k, rows.data(), span, down.data() + c0);
        uint32_t* out = dst.Bits() + static_cast<size_t>(plan.ymap.first + k) * dstStride +
                        static_cast<size_t>(plan.xmap.first);
        plan.Across(down.data(), rop == SRCCOPY ? out : line.data());
        if (rop != SRCCOPY) RowOp(out, line.data(), n, rop);
    }
}

}  // namespace

int32_t StretchBlt(Surface& dst, int32_t x, int32_t y, int32_t width, int32_t height, const Surface& src, int32_t sx,
                   int32_t sy, int32_t sw, int32_t sh, uint32_t rop) {
    if (!KnownRop(rop)) return 0;
    Plan plan;
    plan.xmap = MapAxis(x, width, dst.ScaleWidth(), sx, sw, src.ScaleWidth());
    if (plan.xmap.count == 0) return 1;
    plan.ymap = MapAxis(y, height, dst.ScaleHeight(), sy, sh, src.ScaleHeight());
    if (plan.ymap.count == 0) return 1;
    plan.pairsAcross = plan.xmap.maxTaps <= 2 && src.ScaleWidth() >= 2;
    if (plan.pairsAcross)
        plan.pairs = Pairs(plan.xmap, src.ScaleWidth());
    else
        plan.lanesAcross = Lanes(plan.xmap);
    if (plan.ymap.maxTaps > 2) plan.lanesDown = Lanes(plan.ymap);

    // With one surface as both ends, read from a copy of it as it was.
    Surface copy;
    const Surface& from = &dst == &src ? (copy = src) : src;

    // Pixel steps of either order: the blends down take four pixels at a
    // time, the resampling across one or two.
    const double tapsAcross = static_cast<double>(plan.xmap.source.size()) / static_cast<double>(plan.xmap.count);
    const double tapsDown = static_cast<double>(plan.ymap.source.size()) / static_cast<double>(plan.ymap.count);
    const double rowsRead = static_cast<double>(plan.ymap.source.back() - plan.ymap.source.front() + 1);
    const double columnsRead = static_cast<double>(plan.EndColumn() - plan.FirstColumn());
    const double outW = static_cast<double>(plan.xmap.count), outH = static_cast<double>(plan.ymap.count);
    const double acrossFirst = rowsRead * outW * tapsAcross + outH * outW * tapsDown / 4;
    const double downFirst = outH * columnsRead * tapsDown / 4 + outH * outW * tapsAcross;
    if (downFirst < acrossFirst)
        DownThenAcross(plan, from, dst, rop);
    else
        AcrossThenDown(plan, from, dst, rop);
    return 1;
}
