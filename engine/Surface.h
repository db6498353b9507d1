// Pixel surfaces and the bit-block transfers the board is painted with.
//
// A Surface plays the part of a picture box with a persistent picture: a
// 32-bit pixel buffer that keeps every pixel until it is drawn over. Colours
// enter and leave in the &HBBGGRR form; in memory each pixel is stored as
// 0xFFBBGGRR, which is byte for byte R, G, B, 0xFF, so the UI can show the
// buffer as it is (an RGBX8888 image) without converting it.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

// Raster operations, by their published codes.
constexpr uint32_t SRCCOPY = 0x00CC0020;
constexpr uint32_t SRCPAINT = 0x00EE0086;
constexpr uint32_t SRCAND = 0x008800C6;
constexpr uint32_t SRCINVERT = 0x00660046;

// Draw modes of Line.
constexpr int16_t vbCopyPen = 13;
constexpr int16_t vbMaskPen = 9;

// Flags of Line: a plain line, and a filled box.
constexpr int LineFlagLine = 6;
constexpr int LineFlagFilledBox = 0x26;

class Surface {
public:
    Surface() = default;
    Surface(int width, int height, uint32_t colour = 0);

    // New size; every pixel, old and new, takes the back colour.
    void Resize(int width, int height);
    // Shows width x height pixels held elsewhere (0xFFBBGGRR, rows one after
    // another), kept alive by `owner`, instead of a copy: a large picture is
    // then held once. The first change of any pixel copies them in.
    void Show(std::shared_ptr<const void> owner, const uint32_t* pixels, int width, int height);
    // New size keeping the pixels that still fit; new area in the back colour.
    void ResizeKeep(int width, int height);

    int ScaleWidth() const { return width_; }
    int ScaleHeight() const { return height_; }
    bool Empty() const { return width_ == 0 || height_ == 0; }

    uint32_t Pixel(int x, int y) const;  // &HBBGGRR; 0 outside the surface
    void SetPixel(int x, int y, uint32_t colour);
    void Fill(uint32_t colour);

    // Line (x1, y1)-(x2, y2), colour, flags: flags 6 draws a one-pixel line
    // with both end points; flags &H26 (any flags with &H20) fills the box
    // with both corners. The coordinates are rounded to whole pixels (a
    // coordinate that is not a number draws nothing). Obeys DrawMode (13
    // copy pen, 9 mask pen; any other mode draws as the copy pen); clipped
    // to the surface. FillStyle is kept for the callers that set it: a box
    // with flags &H26 is always filled with the colour.
    void Line(float x1, float y1, float x2, float y2, uint32_t colour, int flags);

    int16_t DrawMode = vbCopyPen;
    int16_t FillStyle = 1;        // 1 transparent, 0 solid
    uint32_t BackColor = 0xFFFFFF;

    // Raw rows for blits and display: ScaleHeight() rows of ScaleWidth()
    // pixels, each 0xFFBBGGRR. Asking for writable rows counts as a change.
    uint32_t* Bits() {
        ++version_;
        Own();
        return pixels_.data();
    }
    const uint32_t* Bits() const { return shown_ ? shown_ : pixels_.data(); }

    static constexpr uint32_t Opaque = 0xFF000000u;

    // Goes up with every change of size or pixels, so a painter can tell
    // whether what it made from this surface is still current.
    uint64_t Version() const { return version_.n; }

private:
    void Plot(int x, int y, uint32_t colour);
    void FillRect(int64_t x1, int64_t y1, int64_t x2, int64_t y2, uint32_t colour);
    void Own();  // copies shown pixels in before a change

    int width_ = 0;
    int height_ = 0;
    std::vector<uint32_t> pixels_;
    const uint32_t* shown_ = nullptr;  // pixels held elsewhere, or none
    std::shared_ptr<const void> shownOwner_;
    // A surface given another's pixels by assignment counts on from the
    // higher of the two, so it never goes back to a number it showed before.
    struct Generation {
        uint64_t n = 0;
        Generation() = default;
        Generation(const Generation&) = default;
        Generation& operator=(const Generation& other) {
            n = (n > other.n ? n : other.n) + 1;
            return *this;
        }
        Generation& operator++() {
            ++n;
            return *this;
        }
    };
    Generation version_;
};

// Copies a width x height block of src at (sx, sy) onto dst at (x, y) with
// the raster operation rop; everything outside either surface is clipped.
// Returns 1 when the operation is known, 0 otherwise (the result is never
// looked at by the game, as with the window system's own).
int32_t BitBlt(Surface& dst, int32_t x, int32_t y, int32_t width, int32_t height,
               const Surface& src, int32_t sx, int32_t sy, uint32_t rop);

// Scales the src rectangle onto the dst rectangle. Smooth so a photograph
// stretched over the board looks good: bilinear when enlarging, the exact
// area average when shrinking. Destination pixels whose source lies beyond
// the source surface are left alone, as with BitBlt; sizes of 0 or less
// copy nothing.
int32_t StretchBlt(Surface& dst, int32_t x, int32_t y, int32_t width, int32_t height,
                   const Surface& src, int32_t sx, int32_t sy, int32_t sw, int32_t sh,
                   uint32_t rop);
