// Pixel surfaces: lines, boxes and the bit-block transfers.
//
// Every operation keeps the top byte of each stored pixel at 0xFF, so the
// buffer can always be shown as it is. Whatever reaches beyond a surface is
// clipped before any pixel is touched, so the inner loops run over whole
// clipped rows with no bounds checks of their own.
#include "Surface.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>

namespace {

constexpr uint32_t Stored(uint32_t colour) { return Surface::Opaque | (colour & 0xFFFFFFu); }

// Coordinates handed to Line are whole numbers in single precision; anything
// far outside any surface is pulled in to a range where the arithmetic of
// the line stays exact in 64 bits.
constexpr double CoordLimit = 1 << 28;

bool ToPixel(float v, int64_t& out) {
    if (!std::isfinite(v)) return false;
    const double c = std::clamp(static_cast<double>(v), -CoordLimit, CoordLimit);
    out = std::llrint(c);  // nearest, halves to even
    return true;
}

// One clipped row of a raster operation: d = d op s.
void RowOp(uint32_t* d, const uint32_t* s, size_t n, uint32_t rop) {
    switch (rop) {
    case SRCCOPY:
        std::memmove(d, s, n * sizeof(uint32_t));
        break;
    case SRCAND:
        for (size_t i = 0; i < n; ++i) d[i] &= s[i];
        break;
    case SRCPAINT:
        for (size_t i = 0; i < n; ++i) d[i] |= s[i];
        break;
    case SRCINVERT:
        // XOR would clear the top byte of two opaque pixels: put it back.
        for (size_t i = 0; i < n; ++i) d[i] = (d[i] ^ s[i]) | Surface::Opaque;
        break;
    default:
        break;
    }
}

bool KnownRop(uint32_t rop) { return rop == SRCCOPY || rop == SRCAND || rop == SRCPAINT || rop == SRCINVERT; }

}  // namespace

// ---- The surface itself ----------------------------------------------------

Surface::Surface(int width, int height, uint32_t colour) {
    Resize(width, height);
    Fill(colour);
}

void Surface::Resize(int width, int height) {
    width_ = std::max(width, 0);
    height_ = std::max(height, 0);
    pixels_.assign(static_cast<size_t>(width_) * static_cast<size_t>(height_), Stored(BackColor));
}

void Surface::ResizeKeep(int width, int height) {
    const int newWidth = std::max(width, 0);
    const int newHeight = std::max(height, 0);
    std::vector<uint32_t> next(static_cast<size_t>(newWidth) * static_cast<size_t>(newHeight), Stored(BackColor));
    const int keepWidth = std::min(width_, newWidth);
    const int keepHeight = std::min(height_, newHeight);
    for (int y = 0; y < keepHeight; ++y)
        std::memcpy(next.data() + static_cast<size_t>(y) * newWidth, pixels_.data() + static_cast<size_t>(y) * width_,
                    static_cast<size_t>(keepWidth) * sizeof(uint32_t));
    pixels_.swap(next);
    width_ = newWidth;
    height_ = newHeight;
}

uint32_t Surface::Pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
    return pixels_[static_cast<size_t>(y) * width_ + x] & 0xFFFFFFu;
}

void Surface::SetPixel(int x, int y, uint32_t colour) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    pixels_[static_cast<size_t>(y) * width_ + x] = Stored(colour);
}

void Surface::Fill(uint32_t colour) { std::fill(pixels_.begin(), pixels_.end(), Stored(colour)); }

void Surface::Plot(int x, int y, uint32_t colour) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    uint32_t& p = pixels_[static_cast<size_t>(y) * width_ + x];
    p = DrawMode == vbMaskPen ? (p & Stored(colour)) : Stored(colour);
}

// The box from (x1, y1) to (x2, y2), both corners included, under the draw
// mode; the corners may come in any order and lie anywhere.
void Surface::FillRect(int64_t x1, int64_t y1, int64_t x2, int64_t y2, uint32_t colour) {
    if (x1 > x2) std::swap(x1, x2);
    if (y1 > y2) std::swap(y1, y2);
    const int64_t left = std::max<int64_t>(x1, 0), right = std::min<int64_t>(x2, width_ - 1);
    const int64_t top = std::max<int64_t>(y1, 0), bottom = std::min<int64_t>(y2, height_ - 1);
    if (left > right || top > bottom) return;
    const uint32_t c = Stored(colour);
    const size_t n = static_cast<size_t>(right - left + 1);
    for (int64_t y = top; y <= bottom; ++y) {
        uint32_t* row = pixels_.data() + static_cast<size_t>(y) * width_ + left;
        if (DrawMode == vbMaskPen)
            for (size_t i = 0; i < n; ++i) row[i] &= c;
        else
            std::fill(row, row + n, c);
    }
}

void Surface::Line(float x1, float y1, float x2, float y2, uint32_t colour, int flags) {
    int64_t ax, ay, bx, by;
    if (!ToPixel(x1, ax) || !ToPixel(y1, ay) || !ToPixel(x2, bx) || !ToPixel(y2, by)) return;
    if ((flags & 0x20) != 0 || ax == bx || ay == by) {
        // A filled box, or a straight line along a row or a column, which
        // covers the same pixels as the box of its two end points.
        FillRect(ax, ay, bx, by, colour);
        return;
    }
    // A slanted line: step along its longer axis, over the part of it that
    // lies on the surface only, taking the nearest pixel on the other axis.
    const bool steep = std::llabs(by - ay) > std::llabs(bx - ax);
    if (steep) {
        std::swap(ax, ay);
        std::swap(bx, by);
    }
    // Drawn from its lower end, so a line covers the same pixels both ways.
    if (ax > bx) {
        std::swap(ax, bx);
        std::swap(ay, by);
    }
    const int64_t major = steep ? height_ : width_;
    const int64_t minor = steep ? width_ : height_;
    const int64_t run = bx - ax, rise = std::llabs(by - ay);
    const int64_t stepMinor = by > ay ? 1 : -1;
    // Steps k for which ax + k lies in [0, major).
    const int64_t kFirst = std::max<int64_t>(0, -ax);
    const int64_t kLast = std::min<int64_t>(run, major - 1 - ax);
    for (int64_t k = kFirst; k <= kLast; ++k) {
        const int64_t m = ax + k;
        const int64_t n = ay + stepMinor * ((2 * k * rise + run) / (2 * run));
        if (n < 0 || n >= minor) continue;
        if (steep)
            Plot(static_cast<int>(n), static_cast<int>(m), colour);
        else
            Plot(static_cast<int>(m), static_cast<int>(n), colour);
    }
}

// ---- BitBlt ----------------------------------------------------------------

namespace {

// A rectangle of width x height at (x, y) on the destination and (sx, sy) on
// the source, cut down to what lies on both surfaces.
struct Clip {
    int64_t x, y, sx, sy, width, height;
    bool Empty() const { return width <= 0 || height <= 0; }
};

void ClipAxis(int64_t& d, int64_t& s, int64_t& len, int64_t dstSize, int64_t srcSize) {
    const int64_t skip = std::max<int64_t>({0, -d, -s});
    d += skip;
    s += skip;
    len -= skip;
    len = std::min({len, dstSize - d, srcSize - s});
}

}  // namespace

int32_t BitBlt(Surface& dst, int32_t x, int32_t y, int32_t width, int32_t height, const Surface& src, int32_t sx,
               int32_t sy, uint32_t rop) {
    if (!KnownRop(rop)) return 0;
    Clip c{x, y, sx, sy, width, height};
    ClipAxis(c.x, c.sx, c.width, dst.ScaleWidth(), src.ScaleWidth());
    ClipAxis(c.y, c.sy, c.height, dst.ScaleHeight(), src.ScaleHeight());
    if (c.Empty()) return 1;

    const size_t n = static_cast<size_t>(c.width);
    const size_t dstStride = static_cast<size_t>(dst.ScaleWidth());
    const size_t srcStride = static_cast<size_t>(src.ScaleWidth());
    uint32_t* d = dst.Bits() + static_cast<size_t>(c.y) * dstStride + static_cast<size_t>(c.x);
    const uint32_t* s = src.Bits() + static_cast<size_t>(c.sy) * srcStride + static_cast<size_t>(c.sx);

    if (&dst == &src) {
        // A copy within one surface reads the block as it was before.
        std::vector<uint32_t> block(n * static_cast<size_t>(c.height));
        for (int64_t row = 0; row < c.height; ++row)
            std::memcpy(block.data() + row * n, s + row * srcStride, n * sizeof(uint32_t));
        for (int64_t row = 0; row < c.height; ++row) RowOp(d + row * dstStride, block.data() + row * n, n, rop);
        return 1;
    }
    for (int64_t row = 0; row < c.height; ++row) RowOp(d + row * dstStride, s + row * srcStride, n, rop);
    return 1;
}

// ---- StretchBlt ------------------------------------------------------------
//
// A separable resampler: each axis gets a table of source taps and weights
// per destination pixel (bilinear when enlarging, the exact area covered
// when shrinking), rows are first resampled across, then blended down.

namespace {

constexpr int WeightBits = 12;
constexpr uint32_t WeightOne = 1u << WeightBits;

// A pixel spread into three 21-bit lanes of a 64-bit word, so one multiply
// weighs all three channels: 255 * 4096 plus rounding still fits a lane.
constexpr uint64_t Spread(uint32_t p) {
    return (p & 0xFFu) | (static_cast<uint64_t>(p & 0xFF00u) << 13) | (static_cast<uint64_t>(p & 0xFF0000u) << 26);
}
constexpr uint64_t LaneHalf = (1ull << (WeightBits - 1)) | (1ull << (WeightBits - 1 + 21)) | (1ull << (WeightBits - 1 + 42));
constexpr uint32_t Gather(uint64_t acc) {
    acc += LaneHalf;
    return Surface::Opaque | static_cast<uint32_t>((acc >> WeightBits) & 0xFFu) |
           static_cast<uint32_t>(((acc >> (WeightBits + 21)) & 0xFFu) << 8) |
           static_cast<uint32_t>(((acc >> (WeightBits + 42)) & 0xFFu) << 16);
}

struct AxisMap {
    int64_t first = 0;              // first destination pixel written
    int64_t count = 0;              // destination pixels written
    std::vector<uint32_t> start;    // count + 1 offsets into taps
    std::vector<int32_t> source;    // source pixel of each tap (ascending, contiguous)
    std::vector<uint32_t> weight;   // weights of each destination pixel sum to WeightOne
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
    map.weight[base + heaviest] += WeightOne - given;  // rounding remainder (wraps back when over)
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
            // Shrinking: every source pixel weighs by how much of it the
            // destination pixel covers.
            const double a = std::max(static_cast<double>(s0) + rel * scale, static_cast<double>(lo));
            const double b = std::min(static_cast<double>(s0) + (rel + 1) * scale, static_cast<double>(hi));
            if (b <= a) {
                if (map.count > 0) break;
                continue;
            }
            for (int64_t j = static_cast<int64_t>(std::floor(a)); j < b; ++j) {
                const double cover = std::min(b, static_cast<double>(j + 1)) - std::max(a, static_cast<double>(j));
                if (cover <= 0) continue;
                src.push_back(static_cast<int32_t>(j));
                w.push_back(cover);
            }
        } else {
            // Enlarging (or the same size): blend the two source pixels
            // nearest to the centre of the destination pixel.
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

// One source row resampled across into out (xmap.count pixels).
void ResampleRow(const uint32_t* row, const AxisMap& xmap, uint32_t* out) {
    const int32_t* src = xmap.source.data();
    const uint32_t* w = xmap.weight.data();
    const uint32_t* start = xmap.start.data();
    for (int64_t k = 0; k < xmap.count; ++k) {
        const uint32_t b = start[k], e = start[k + 1];
        if (e - b == 1) {
            out[k] = row[src[b]];
            continue;
        }
        uint64_t acc = 0;
        for (uint32_t t = b; t < e; ++t) acc += Spread(row[src[t]]) * w[t];
        out[k] = Gather(acc);
    }
}

// Blends rows down: out = sum of rows[t] * w[t].
void BlendRows(const uint32_t* const* rows, const uint32_t* w, uint32_t n, size_t width, uint32_t* out) {
    if (n == 1) {
        std::memcpy(out, rows[0], width * sizeof(uint32_t));
        return;
    }
    if (n == 2) {
        // The common case when enlarging: two rows, one weight each. The
        // weights are brought to 8 bits so the red-and-blue and the green
        // halves of a pixel each take a single 32-bit multiply.
        const uint32_t w1 = (w[1] + (1u << (WeightBits - 9))) >> (WeightBits - 8), w0 = 256 - w1;
        const uint32_t* a = rows[0];
        const uint32_t* b = rows[1];
        for (size_t i = 0; i < width; ++i) {
            const uint32_t rb = ((a[i] & 0xFF00FFu) * w0 + (b[i] & 0xFF00FFu) * w1 + 0x800080u) >> 8;
            const uint32_t g = ((a[i] & 0xFF00u) * w0 + (b[i] & 0xFF00u) * w1 + 0x8000u) >> 8;
            out[i] = Surface::Opaque | (rb & 0xFF00FFu) | (g & 0xFF00u);
        }
        return;
    }
    for (size_t i = 0; i < width; ++i) {
        uint64_t acc = 0;
        for (uint32_t t = 0; t < n; ++t) acc += Spread(rows[t][i]) * w[t];
        out[i] = Gather(acc);
    }
}

}  // namespace

int32_t StretchBlt(Surface& dst, int32_t x, int32_t y, int32_t width, int32_t height, const Surface& src, int32_t sx,
                   int32_t sy, int32_t sw, int32_t sh, uint32_t rop) {
    if (!KnownRop(rop)) return 0;
    const AxisMap xmap = MapAxis(x, width, dst.ScaleWidth(), sx, sw, src.ScaleWidth());
    if (xmap.count == 0) return 1;
    const AxisMap ymap = MapAxis(y, height, dst.ScaleHeight(), sy, sh, src.ScaleHeight());
    if (ymap.count == 0) return 1;

    // With one surface as both ends, read from a copy of it as it was.
    Surface copy;
    const Surface& from = &dst == &src ? (copy = src) : src;

    const size_t n = static_cast<size_t>(xmap.count);
    const size_t srcStride = static_cast<size_t>(from.ScaleWidth());
    const size_t dstStride = static_cast<size_t>(dst.ScaleWidth());

    // Rows resampled across, kept in a ring: the taps of successive
    // destination rows are contiguous and move only downwards.
    const uint32_t ring = ymap.maxTaps;
    std::vector<uint32_t> across(static_cast<size_t>(ring) * n);
    std::vector<int64_t> held(ring, -1);
    std::vector<const uint32_t*> rows(ring);
    std::vector<uint32_t> line(rop == SRCCOPY ? 0 : n);

    for (int64_t k = 0; k < ymap.count; ++k) {
        const uint32_t b = ymap.start[k], e = ymap.start[k + 1];
        for (uint32_t t = b; t < e; ++t) {
            const int64_t r = ymap.source[t];
            const size_t slot = static_cast<size_t>(r % ring);
            uint32_t* buffer = across.data() + slot * n;
            if (held[slot] != r) {
                ResampleRow(from.Bits() + static_cast<size_t>(r) * srcStride, xmap, buffer);
                held[slot] = r;
            }
            rows[t - b] = buffer;
        }
        uint32_t* out = dst.Bits() + static_cast<size_t>(ymap.first + k) * dstStride + static_cast<size_t>(xmap.first);
        if (rop == SRCCOPY) {
            BlendRows(rows.data(), ymap.weight.data() + b, e - b, n, out);
        } else {
            BlendRows(rows.data(), ymap.weight.data() + b, e - b, n, line.data());
            RowOp(out, line.data(), n, rop);
        }
    }
    return 1;
}
