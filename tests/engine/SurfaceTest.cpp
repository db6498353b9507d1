// The drawing surface: raster operations, lines and boxes, clipping, sizes.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

#include "Surface.h"

namespace {

// Every stored pixel keeps its top byte at 0xFF, whatever was drawn.
bool AllOpaque(const Surface& s) {
    const size_t n = static_cast<size_t>(s.ScaleWidth()) * static_cast<size_t>(s.ScaleHeight());
    for (size_t i = 0; i < n; ++i)
        if ((s.Bits()[i] >> 24) != 0xFF) return false;
    return true;
}

// A surface whose every pixel tells where it is.
Surface Numbered(int w, int h, uint32_t salt) {
    Surface s(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) s.SetPixel(x, y, (salt + static_cast<uint32_t>(y * 97 + x * 13)) * 2654435761u);
    return s;
}

uint32_t Apply(uint32_t d, uint32_t s, uint32_t rop) {
    switch (rop) {
    case SRCCOPY: return s;
    case SRCAND: return d & s;
    case SRCPAINT: return d | s;
    case SRCINVERT: return d ^ s;
    }
    return d;
}

const uint32_t Rops[] = {SRCCOPY, SRCAND, SRCPAINT, SRCINVERT};

TEST(SurfaceRasterOps, EachOperationFollowsItsTruthTableBitByBit) {
    // With the source bits 11001100 and the destination bits 10101010 the
    // result of a raster operation is its truth table: the third byte of
    // its code.
    for (const uint32_t rop : Rops) {
        const uint32_t table = (rop >> 16) & 0xFF;
        const uint32_t expected = table | (table << 8) | (table << 16);
        Surface src(3, 2, 0xCCCCCC);
        Surface dst(3, 2, 0xAAAAAA);
        EXPECT_EQ(BitBlt(dst, 0, 0, 3, 2, src, 0, 0, rop), 1);
        Surface stretched(3, 2, 0xAAAAAA);
        EXPECT_EQ(StretchBlt(stretched, 0, 0, 3, 2, src, 0, 0, 3, 2, rop), 1);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x) {
                EXPECT_EQ(dst.Pixel(x, y), expected) << std::hex << rop;
                EXPECT_EQ(stretched.Pixel(x, y), expected) << std::hex << rop;
            }
        EXPECT_TRUE(AllOpaque(dst));
        EXPECT_TRUE(AllOpaque(stretched));
    }
}

TEST(SurfaceRasterOps, AnUnknownOperationChangesNothingAndSaysSo) {
    Surface src(2, 2, 0x123456);
    Surface dst(2, 2, 0x654321);
    EXPECT_EQ(BitBlt(dst, 0, 0, 2, 2, src, 0, 0, 0x00330008), 0);
    EXPECT_EQ(StretchBlt(dst, 0, 0, 2, 2, src, 0, 0, 2, 2, 0), 0);
    EXPECT_EQ(dst.Pixel(1, 1), 0x654321u);
}

TEST(SurfaceRasterOps, InvertingTwiceRestoresThePictureAndKeepsItOpaque) {
    Surface pic = Numbered(9, 7, 1);
    const Surface before = pic;
    const Surface face = Numbered(9, 7, 2);
    BitBlt(pic, 0, 0, 9, 7, face, 0, 0, SRCINVERT);
    EXPECT_TRUE(AllOpaque(pic));
    BitBlt(pic, 0, 0, 9, 7, face, 0, 0, SRCINVERT);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 9; ++x) EXPECT_EQ(pic.Pixel(x, y), before.Pixel(x, y));
}

TEST(SurfaceClipping, BlitsAtEveryEdgeTouchExactlyThePixelsOnBothSurfaces) {
    // A 4 x 3 block from every source position onto every destination
    // position around a 6 x 5 surface, against a pixel-by-pixel model.
    const Surface src = Numbered(5, 4, 7);
    for (const uint32_t rop : Rops)
        for (int sy = -4; sy <= 4; ++sy)
            for (int sx = -5; sx <= 5; ++sx)
                for (int y = -4; y <= 6; ++y)
                    for (int x = -5; x <= 7; ++x) {
                        Surface dst = Numbered(6, 5, 3);
                        const Surface before = dst;
                        BitBlt(dst, x, y, 4, 3, src, sx, sy, rop);
                        for (int py = 0; py < 5; ++py)
                            for (int px = 0; px < 6; ++px) {
                                const int qx = px - x + sx, qy = py - y + sy;
                                const bool inside = px >= x && px < x + 4 && py >= y && py < y + 3 && qx >= 0 &&
                                                    qx < 5 && qy >= 0 && qy < 4;
                                const uint32_t want = inside ? Apply(before.Pixel(px, py), src.Pixel(qx, qy), rop)
                                                             : before.Pixel(px, py);
                                ASSERT_EQ(dst.Pixel(px, py), want)
                                    << "rop " << std::hex << rop << std::dec << " at " << x << "," << y << " from "
                                    << sx << "," << sy << " pixel " << px << "," << py;
                            }
                    }
}

TEST(SurfaceClipping, DegenerateAndExtremeArgumentsTouchNothing) {
    const Surface src = Numbered(4, 4, 5);
    struct Case { int32_t x, y, w, h, sx, sy; };
    const Case cases[] = {
        {0, 0, 0, 4, 0, 0},          {0, 0, 4, 0, 0, 0},          {0, 0, -4, 4, 0, 0},
        {0, 0, 4, -1, 0, 0},         {INT32_MIN, 0, 4, 4, 0, 0},  {INT32_MAX, 0, 4, 4, 0, 0},
        {0, INT32_MAX, INT32_MAX, INT32_MAX, 0, 0},               {0, 0, 4, 4, INT32_MAX, 0},
        {0, 0, 4, 4, 0, INT32_MIN},  {-3, -3, 3, 3, 0, 0},       {6, 0, 4, 4, 0, 0},
    };
    for (const Case& c : cases) {
        Surface dst(6, 6, 0x0000FF);
        for (const uint32_t rop : Rops) {
            BitBlt(dst, c.x, c.y, c.w, c.h, src, c.sx, c.sy, rop);
            StretchBlt(dst, c.x, c.y, c.w, c.h, src, c.sx, c.sy, c.w, c.h, rop);
        }
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 6; ++x) EXPECT_EQ(dst.Pixel(x, y), 0x0000FFu) << c.x << "," << c.y;
    }
    // The whole of a huge block reaches exactly the surface.
    Surface dst(6, 6, 0);
    BitBlt(dst, INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, src, INT32_MIN, INT32_MIN, SRCCOPY);
    EXPECT_EQ(dst.Pixel(0, 0), 0u);
}

TEST(SurfaceClipping, SurfacesOfSizeZeroAcceptEveryOperation) {
    Surface empty;
    Surface flat(0, 5);
    Surface some = Numbered(3, 3, 9);
    for (Surface* s : {&empty, &flat}) {
        EXPECT_TRUE(s->Empty());
        EXPECT_EQ(s->Pixel(0, 0), 0u);
        s->SetPixel(0, 0, 1);
        s->Fill(2);
        s->Line(0, 0, 5, 5, 3, LineFlagLine);
        s->Line(0, 0, 5, 5, 3, LineFlagFilledBox);
        for (const uint32_t rop : Rops) {
            BitBlt(*s, 0, 0, 3, 3, some, 0, 0, rop);
            BitBlt(some, 0, 0, 3, 3, *s, 0, 0, rop);
            StretchBlt(*s, 0, 0, 9, 9, some, 0, 0, 3, 3, rop);
            StretchBlt(some, 0, 0, 3, 3, *s, 0, 0, 1, 1, rop);
        }
    }
    EXPECT_EQ(some.Pixel(2, 2), Numbered(3, 3, 9).Pixel(2, 2));
}

TEST(SurfaceClipping, ABlitWithinOneSurfaceReadsThePictureAsItWas) {
    Surface s = Numbered(8, 6, 4);
    const Surface before = s;
    BitBlt(s, 1, 1, 6, 4, s, 0, 0, SRCCOPY);
    for (int y = 1; y < 5; ++y)
        for (int x = 1; x < 7; ++x) EXPECT_EQ(s.Pixel(x, y), before.Pixel(x - 1, y - 1));
}

TEST(SurfaceLines, LinesIncludeBothEndsAndBoxesBothCorners) {
    struct Case { float x1, y1, x2, y2; int flags; std::vector<std::pair<int, int>> pixels; };
    const Case cases[] = {
        {2, 3, 2, 3, LineFlagLine, {{2, 3}}},
        {1, 1, 4, 1, LineFlagLine, {{1, 1}, {2, 1}, {3, 1}, {4, 1}}},
        {4, 1, 1, 1, LineFlagLine, {{1, 1}, {2, 1}, {3, 1}, {4, 1}}},
        {3, 4, 3, 2, LineFlagLine, {{3, 2}, {3, 3}, {3, 4}}},
        {0, 0, 3, 3, LineFlagLine, {{0, 0}, {1, 1}, {2, 2}, {3, 3}}},
        {0, 0, 4, 2, LineFlagLine, {{0, 0}, {1, 1}, {2, 1}, {3, 2}, {4, 2}}},
        {4, 2, 0, 0, LineFlagLine, {{0, 0}, {1, 1}, {2, 1}, {3, 2}, {4, 2}}},
        {-2, 5, 1, 2, LineFlagLine, {{0, 3}, {1, 2}}},
        {1, 2, 2, 4, LineFlagFilledBox, {{1, 2}, {2, 2}, {1, 3}, {2, 3}, {1, 4}, {2, 4}}},
        {2, 4, 1, 2, LineFlagFilledBox, {{1, 2}, {2, 2}, {1, 3}, {2, 3}, {1, 4}, {2, 4}}},
        {5, 5, 9, 9, LineFlagFilledBox, {{5, 5}}},
        {-9, -9, -1, 9, LineFlagFilledBox, {}},
        {1e30f, 0, -1e30f, 0, LineFlagLine, {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 0}}},
        {NAN, 0, 1, 1, LineFlagLine, {}},
    };
    for (const Case& c : cases) {
        Surface s(6, 6, 0xFFFFFF);
        s.Line(c.x1, c.y1, c.x2, c.y2, 0x123456, c.flags);
        int drawn = 0;
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 6; ++x)
                if (s.Pixel(x, y) == 0x123456u) ++drawn;
        EXPECT_EQ(drawn, static_cast<int>(c.pixels.size())) << c.x1 << "," << c.y1 << "-" << c.x2 << "," << c.y2;
        for (const auto& [x, y] : c.pixels) EXPECT_EQ(s.Pixel(x, y), 0x123456u) << x << "," << y;
        EXPECT_TRUE(AllOpaque(s));
    }
}

TEST(SurfaceLines, ABoxFromTheOriginToTheScaleSizeCoversTheWholeSurface) {
    Surface s = Numbered(7, 5, 1);
    s.Line(0, 0, static_cast<float>(s.ScaleWidth()), static_cast<float>(s.ScaleHeight()), 0x8000, LineFlagFilledBox);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) EXPECT_EQ(s.Pixel(x, y), 0x8000u);
}

TEST(SurfaceLines, TheMaskPenAndsAndTheCopyPenSets) {
    Surface s(3, 1, 0xFFFFFF);
    s.SetPixel(1, 0, 0x8000);
    s.SetPixel(2, 0, 0x123456);
    s.DrawMode = vbMaskPen;
    s.Line(0, 0, 2, 0, 0xC0C0C0, LineFlagLine);
    EXPECT_EQ(s.Pixel(0, 0), 0xC0C0C0u);
    EXPECT_EQ(s.Pixel(1, 0), 0x8000u);
    EXPECT_EQ(s.Pixel(2, 0), 0x123456u & 0xC0C0C0u);
    s.Line(0, 0, 2, 0, 0xC0C0C0, LineFlagFilledBox);  // twice is once
    EXPECT_EQ(s.Pixel(0, 0), 0xC0C0C0u);
    EXPECT_EQ(s.Pixel(2, 0), 0x123456u & 0xC0C0C0u);
    s.DrawMode = vbCopyPen;
    s.Line(0, 0, 2, 0, 0x0000FF, LineFlagLine);
    EXPECT_EQ(s.Pixel(2, 0), 0x0000FFu);
    EXPECT_TRUE(AllOpaque(s));
}

TEST(SurfaceSize, ResizeFillsWithTheBackColourAndResizeKeepKeepsWhatFits) {
    Surface s = Numbered(4, 3, 2);
    const Surface before = s;
    s.BackColor = 0x00FF00;
    s.ResizeKeep(6, 2);
    EXPECT_EQ(s.ScaleWidth(), 6);
    EXPECT_EQ(s.ScaleHeight(), 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 6; ++x) EXPECT_EQ(s.Pixel(x, y), x < 4 ? before.Pixel(x, y) : 0x00FF00u);
    s.Resize(2, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x) EXPECT_EQ(s.Pixel(x, y), 0x00FF00u);
    s.Resize(-3, 4);
    EXPECT_TRUE(s.Empty());
    EXPECT_TRUE(AllOpaque(s));
}

// A surface showing pixels held elsewhere reads them as its own, and every
// kind of change works on its own copy: the holder's pixels never change.
TEST(SurfaceSize, AShownPictureIsReadInPlaceAndNeverWrittenThrough) {
    const Surface picture = Numbered(5, 4, 7);
    const std::vector<uint32_t> held(picture.Bits(), picture.Bits() + 20);
    const std::vector<void (*)(Surface&)> changes = {
        [](Surface& s) { s.SetPixel(1, 1, 0x123456); },
        [](Surface& s) { s.Line(0, 0, 4, 3, 0x00FF00, LineFlagLine); },
        [](Surface& s) { s.Line(1, 1, 2, 2, 0x0000FF, LineFlagFilledBox); },
        [](Surface& s) { BitBlt(s, 1, 0, 2, 2, s, 0, 0, SRCINVERT); },
        [](Surface& s) { s.Fill(0xABCDEF); },
        [](Surface& s) { s.ResizeKeep(3, 6); },
    };
    for (size_t k = 0; k < changes.size(); ++k) {
        auto owner = std::make_shared<std::vector<uint32_t>>(held);
        Surface shown;
        shown.Show(owner, owner->data(), 5, 4);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 5; ++x) ASSERT_EQ(shown.Pixel(x, y), picture.Pixel(x, y));
        Surface expected = picture;
        changes[k](expected);
        changes[k](shown);
        EXPECT_EQ(*owner, held) << "change " << k;
        ASSERT_EQ(shown.ScaleWidth(), expected.ScaleWidth());
        ASSERT_EQ(shown.ScaleHeight(), expected.ScaleHeight());
        for (int y = 0; y < shown.ScaleHeight(); ++y)
            for (int x = 0; x < shown.ScaleWidth(); ++x) EXPECT_EQ(shown.Pixel(x, y), expected.Pixel(x, y)) << k;
    }
}

// ---- StretchBlt ----------------------------------------------------------

TEST(SurfaceStretch, EnlargingBlendsNeighboursAndKeepsTheEdges) {
    Surface src(2, 1);
    src.SetPixel(0, 0, 0x000000);
    src.SetPixel(1, 0, 0xC8C8C8);  // 200 in each channel
    Surface dst(4, 1, 0x0000FF);
    StretchBlt(dst, 0, 0, 4, 1, src, 0, 0, 2, 1, SRCCOPY);
    // Pixel centres at 0.25, 0.75, 1.25 and 1.75 of the source.
    EXPECT_EQ(dst.Pixel(0, 0), 0x000000u);
    EXPECT_EQ(dst.Pixel(1, 0), 0x323232u);  // a quarter of 200
    EXPECT_EQ(dst.Pixel(2, 0), 0x969696u);  // three quarters
    EXPECT_EQ(dst.Pixel(3, 0), 0xC8C8C8u);
    // Downwards as across.
    Surface tall(1, 4, 0x0000FF);
    Surface col(1, 2);
    col.SetPixel(0, 1, 0xC8C8C8);
    StretchBlt(tall, 0, 0, 1, 4, col, 0, 0, 1, 2, SRCCOPY);
    EXPECT_EQ(tall.Pixel(0, 1), 0x323232u);
    EXPECT_EQ(tall.Pixel(0, 2), 0x969696u);
}

TEST(SurfaceStretch, ShrinkingAveragesTheAreaEachPixelCovers) {
    Surface src(4, 2);
    const uint32_t values[] = {0x000000, 0x646464, 0xC8C8C8, 0x0A141E};
    for (int x = 0; x < 4; ++x) {
        src.SetPixel(x, 0, values[x]);
        src.SetPixel(x, 1, values[x]);
    }
    Surface half(2, 1, 0);
    StretchBlt(half, 0, 0, 2, 1, src, 0, 0, 4, 2, SRCCOPY);
    EXPECT_EQ(half.Pixel(0, 0), 0x323232u);   // (0 + 100) / 2
    EXPECT_EQ(half.Pixel(1, 0), 0x696E73u);   // (200 + 10|20|30) / 2 by channel
    // Three onto two: each takes a whole pixel and half of the middle one.
    Surface three(3, 1);
    three.SetPixel(0, 0, 0x000000);
    three.SetPixel(1, 0, 0x969696);
    three.SetPixel(2, 0, 0x000000);
    Surface two(2, 1, 0xFFFFFF);
    StretchBlt(two, 0, 0, 2, 1, three, 0, 0, 3, 1, SRCCOPY);
    EXPECT_EQ(two.Pixel(0, 0), 0x323232u);  // (1 * 0 + 0.5 * 150) / 1.5
    EXPECT_EQ(two.Pixel(1, 0), 0x323232u);
}

// The exact result of the resampling in real numbers: per axis, the area
// average when shrinking, the blend of the two nearest pixels otherwise.
std::vector<std::vector<std::pair<int, double>>> ExactTaps(int dLen, int sLen) {
    std::vector<std::vector<std::pair<int, double>>> taps(static_cast<size_t>(dLen));
    const double scale = static_cast<double>(sLen) / dLen;
    for (int d = 0; d < dLen; ++d) {
        if (sLen > dLen) {
            const double a = d * scale, b = (d + 1) * scale;
            for (int j = static_cast<int>(std::floor(a)); j < b; ++j) {
                const double cover = std::min(b, j + 1.0) - std::max(a, static_cast<double>(j));
                if (cover > 0) taps[d].push_back({j, cover / scale});
            }
        } else {
            const double p = (d + 0.5) * scale - 0.5;
            const int j = static_cast<int>(std::floor(p));
            const double f = p - j;
            taps[d].push_back({std::clamp(j, 0, sLen - 1), 1 - f});
            taps[d].push_back({std::clamp(j + 1, 0, sLen - 1), f});
        }
    }
    return taps;
}

TEST(SurfaceStretch, EveryRatioStaysWithinTwoStepsOfTheExactResult) {
    const std::pair<int, int> sizes[] = {{13, 11}, {40, 9}, {7, 30}, {64, 64}, {5, 3}, {2, 2}};
    const std::pair<int, int> boards[] = {{3, 2}, {4, 5}, {9, 17}, {13, 11}, {31, 7}, {70, 50}, {1, 1}};
    for (const auto& [w, h] : sizes) {
        const Surface photo = Numbered(w, h, static_cast<uint32_t>(w * h));
        for (const auto& [W, H] : boards) {
            Surface dst(W, H, 0);
            StretchBlt(dst, 0, 0, W, H, photo, 0, 0, w, h, SRCCOPY);
            const auto across = ExactTaps(W, w), down = ExactTaps(H, h);
            for (int y = 0; y < H; ++y)
                for (int x = 0; x < W; ++x)
                    for (int shift = 0; shift < 24; shift += 8) {
                        double exact = 0;
                        for (const auto& [sy, wy] : down[y])
                            for (const auto& [sx, wx] : across[x])
                                exact += wy * wx * ((photo.Pixel(sx, sy) >> shift) & 0xFF);
                        const int got = static_cast<int>((dst.Pixel(x, y) >> shift) & 0xFF);
                        ASSERT_LE(std::abs(got - exact), 2.0)
                            << w << "x" << h << " onto " << W << "x" << H << " at " << x << "," << y;
                    }
            EXPECT_TRUE(AllOpaque(dst));
        }
    }
}

TEST(SurfaceStretch, AClippedStretchPaintsThePixelsTheWholeStretchWould) {
    const Surface photo = Numbered(23, 17, 11);
    for (const auto& [w, h] : {std::pair{61, 45}, std::pair{9, 7}, std::pair{23, 17}, std::pair{40, 8}}) {
        Surface whole(w, h, 0);
        StretchBlt(whole, 0, 0, w, h, photo, 0, 0, 23, 17, SRCCOPY);
        EXPECT_TRUE(AllOpaque(whole));
        for (const auto& [ox, oy] : {std::pair{-5, -3}, std::pair{4, 2}, std::pair{-1, 6}}) {
            Surface part(w / 2 + 3, h / 2 + 2, 0x0000FF);
            StretchBlt(part, ox, oy, w, h, photo, 0, 0, 23, 17, SRCCOPY);
            for (int y = 0; y < part.ScaleHeight(); ++y)
                for (int x = 0; x < part.ScaleWidth(); ++x) {
                    const int qx = x - ox, qy = y - oy;
                    const bool inside = qx >= 0 && qx < w && qy >= 0 && qy < h;
                    ASSERT_EQ(part.Pixel(x, y), inside ? whole.Pixel(qx, qy) : 0x0000FFu)
                        << w << "x" << h << " at " << ox << "," << oy << " pixel " << x << "," << y;
                }
        }
    }
}

TEST(SurfaceStretch, ASourceBeyondThePictureLeavesItsPartOfTheDestinationAlone) {
    Surface src(4, 4, 0x00FF00);
    Surface dst(8, 8, 0x0000FF);
    // The right half of the source rectangle lies beyond the picture.
    StretchBlt(dst, 0, 0, 8, 8, src, 2, 0, 4, 4, SRCCOPY);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) EXPECT_EQ(dst.Pixel(x, y), x < 4 ? 0x00FF00u : 0x0000FFu) << x << "," << y;
}

}  // namespace
