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

#include "SurfaceRows.h"

using surface_rows::KnownRop;
using surface_rows::RowOp;

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

}  // namespace

// ---- The surface itself ----------------------------------------------------

Surface::Surface(int width, int height, uint32_t colour) {
    Resize(width, height);
    Fill(colour);
}

void Surface::Resize(int width, int height) {
    ++version_;
    shown_ = nullptr;
    shownOwner_.reset();
    width_ = std::max(width, 0);
    height_ = std::max(height, 0);
    pixels_.assign(static_cast<size_t>(width_) * static_cast<size_t>(height_), Stored(BackColor));
}

void Surface::Show(std::shared_ptr<const void> owner, const uint32_t* pixels, int width, int height) {
    ++version_;
    pixels_ = std::vector<uint32_t>();
    width_ = pixels ? std::max(width, 0) : 0;
    height_ = pixels ? std::max(height, 0) : 0;
    shown_ = pixels;
    shownOwner_ = std::move(owner);
}

void Surface::Own() {
    if (!shown_) return;
    pixels_.assign(shown_, shown_ + static_cast<size_t>(width_) * static_cast<size_t>(height_));
    shown_ = nullptr;
    shownOwner_.reset();
}

void Surface::ResizeKeep(int width, int height) {
    ++version_;
    Own();
    const int newWidth = std::max(width, 0);
    const int newHeight = std::max(height, 0);
    std::vector<uint32_t> next(static_cast<size_t>(newWidth) * static_cast<size_t>(newHeight), Stored(BackColor));
    const int keepWidth = std::min(width_, newWidth);
    // No rows to keep when either width is nothing (and no buffer to copy to).
    const int keepHeight = keepWidth > 0 ? std::min(height_, newHeight) : 0;
    for (int y = 0; y < keepHeight; ++y)
        std::memcpy(next.data() + static_cast<size_t>(y) * newWidth, pixels_.data() + static_cast<size_t>(y) * width_,
                    static_cast<size_t>(keepWidth) * sizeof(uint32_t));
    pixels_.swap(next);
    width_ = newWidth;
    height_ = newHeight;
}

uint32_t Surface::Pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
    return Bits()[static_cast<size_t>(y) * width_ + x] & 0xFFFFFFu;
}

void Surface::SetPixel(int x, int y, uint32_t colour) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    Bits()[static_cast<size_t>(y) * width_ + x] = Stored(colour);
}

void Surface::Fill(uint32_t colour) {
    ++version_;
    if (shown_) {
        // Every pixel changes: nothing to copy in.
        shown_ = nullptr;
        shownOwner_.reset();
        pixels_.assign(static_cast<size_t>(width_) * static_cast<size_t>(height_), Stored(colour));
        return;
    }
    std::fill(pixels_.begin(), pixels_.end(), Stored(colour));
}

void Surface::Plot(int x, int y, uint32_t colour) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    uint32_t& p = Bits()[static_cast<size_t>(y) * width_ + x];
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
    uint32_t* first = Bits() + static_cast<size_t>(top) * width_ + left;
    if (DrawMode == vbMaskPen) {
        for (int64_t y = 0; y <= bottom - top; ++y) {
            uint32_t* row = first + static_cast<size_t>(y) * static_cast<size_t>(width_);
            for (size_t i = 0; i < n; ++i) row[i] &= c;
        }
        return;
    }
    // One row filled, the others copied from it: copies run wider than fills.
    std::fill(first, first + n, c);
    for (int64_t y = 1; y <= bottom - top; ++y)
        std::memcpy(first + static_cast<size_t>(y) * static_cast<size_t>(width_), first, n * sizeof(uint32_t));
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
