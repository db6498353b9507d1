// Background painting: the solid colour and the three ways of showing a
// picture, their arithmetic, and what they leave of the draw settings.
#include <gtest/gtest.h>

#include "PaintTestKit.h"

namespace {

using paintkit::PaintEngine;

// A picture whose every pixel tells where it is.
Surface Picture(int w, int h) {
    Surface s(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) s.SetPixel(x, y, static_cast<uint32_t>(x) | (static_cast<uint32_t>(y) << 12));
    return s;
}

struct Scene {
    PaintEngine e;
    Surface skin;
    Scene(int boardW, int boardH, int picW, int picH, bool stretch = false)
        : e(boardW, boardH), skin(Picture(picW, picH)) {
        e.tile.picSkin = &skin;
        e.tile.BackgroundIsImage = true;
        e.tile.ImageStretch = stretch;
        e.board.DrawMode = vbMaskPen;
        e.board.FillStyle = 1;
    }
};

TEST(Background, TheSolidColourCoversTheBoardAndLeavesCopyPenAndSolidFill) {
    for (const bool stretch : {false, true}) {
        PaintEngine e(37, 23);
        Surface skin = Picture(5, 5);
        e.tile.picSkin = &skin;
        e.tile.ImageStretch = stretch;
        e.tile.BackgroundColour = 0x123456;
        e.board.DrawMode = vbMaskPen;
        e.board.FillStyle = 1;
        e.tile.DrawBackground();
        EXPECT_TRUE(paintkit::SamePicture(e.board, Surface(37, 23, 0x123456)));
        EXPECT_EQ(e.board.DrawMode, vbCopyPen);
        EXPECT_EQ(e.board.FillStyle, 0);
    }
}

TEST(Background, APictureIsCentredOnlyWhenLargerInBothDirectionsElseTiled) {
    // board, picture, and where board pixel (x, y) comes from in the picture
    struct Case { int W, H, w, h; bool centred; int fromX, fromY; };
    const Case cases[] = {
        {40, 30, 40, 30, false, 0, 0},   // as large as the board: tiled, one copy
        {40, 30, 45, 34, true, 2, 2},    // 5 wider, 4 taller: the middle
        {40, 30, 43, 33, true, 1, 1},    // odd differences: one more cut right and below
        {40, 30, 45, 30, false, 0, 0},   // wider, not taller: one column, repeated down
        {40, 30, 46, 12, false, 0, 0},
        {40, 30, 9, 31, false, 0, 0},    // taller, not wider: one row, repeated across
        {581, 373, 100, 50, false, 0, 0},  // six across, eight down
        {7, 5, 1, 1, false, 0, 0},
    };
    for (const Case& c : cases) {
        Scene s(c.W, c.H, c.w, c.h);
        s.e.tile.DrawBackground();
        for (int y = 0; y < c.H; ++y)
            for (int x = 0; x < c.W; ++x) {
                const uint32_t want = c.centred ? s.skin.Pixel(x + c.fromX, y + c.fromY) : s.skin.Pixel(x % c.w, y % c.h);
                ASSERT_EQ(s.e.board.Pixel(x, y), want)
                    << c.w << "x" << c.h << " on " << c.W << "x" << c.H << " at " << x << "," << y;
            }
        EXPECT_EQ(s.e.board.DrawMode, vbMaskPen);
        EXPECT_EQ(s.e.board.FillStyle, 1);
    }
}

TEST(Background, AStretchedPictureFillsTheWholeBoard) {
    Scene s(90, 40, 3, 2, true);
    s.e.tile.DrawBackground();
    // The corners show the picture's corners; every pixel was painted.
    EXPECT_EQ(s.e.board.Pixel(0, 0), s.skin.Pixel(0, 0));
    EXPECT_EQ(s.e.board.Pixel(89, 0), s.skin.Pixel(2, 0));
    EXPECT_EQ(s.e.board.Pixel(0, 39), s.skin.Pixel(0, 1));
    EXPECT_EQ(s.e.board.Pixel(89, 39), s.skin.Pixel(2, 1));
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 90; ++x) ASSERT_NE(s.e.board.Pixel(x, y), 0xFFFFFFu);
    EXPECT_EQ(s.e.board.DrawMode, vbMaskPen);
    EXPECT_EQ(s.e.board.FillStyle, 1);
}

// Every pass shows what stretching the picture now would show: after a change
// of the picture's pixels, of its size, of the board's size, or of the
// picture holder itself.
TEST(Background, AStretchedPictureFollowsEveryChangeOfPictureAndBoard) {
    Scene s(90, 40, 30, 20, true);
    const auto expectFresh = [&s](const char* when) {
        Surface direct(s.e.board.ScaleWidth(), s.e.board.ScaleHeight());
        const Surface& skin = *s.e.tile.picSkin;
        StretchBlt(direct, 0, 0, direct.ScaleWidth(), direct.ScaleHeight(), skin, 0, 0, skin.ScaleWidth(),
                   skin.ScaleHeight(), SRCCOPY);
        s.e.board.Fill(0xFFFFFF);
        s.e.tile.DrawBackground();
        EXPECT_TRUE(paintkit::SamePicture(s.e.board, direct)) << when;
    };
    expectFresh("first pass");
    expectFresh("second pass, nothing changed");
    s.skin.SetPixel(15, 10, 0x0000FF);
    expectFresh("one pixel of the picture changed");
    BitBlt(s.skin, 0, 0, 5, 5, Picture(5, 5), 0, 0, SRCINVERT);
    expectFresh("a block copied onto the picture");
    const uint64_t before = s.skin.Version();
    s.skin = Picture(17, 9);
    EXPECT_GT(s.skin.Version(), before);  // never back to a number shown before
    expectFresh("a new picture");
    s.e.board.Resize(61, 33);
    expectFresh("the board resized");
    Surface other = Picture(8, 8);
    s.e.tile.picSkin = &other;
    expectFresh("another holder");
}

TEST(Background, ABoardOfNoWidthOrHeightTakesEveryModeWithoutFailing) {
    for (const auto& [W, H] : {std::pair{0, 30}, std::pair{30, 0}, std::pair{0, 0}})
        for (const int mode : {0, 1, 2, 3}) {
            Scene s(W, H, mode == 2 ? 50 : 4, mode == 2 ? 50 : 3, mode == 3);
            s.e.tile.BackgroundIsImage = mode != 0;
            s.e.tile.DrawBackground();
            EXPECT_EQ(s.e.board.ScaleWidth(), W);
            EXPECT_EQ(s.e.board.ScaleHeight(), H);
        }
}

TEST(Background, APictureOfNoWidthOrHeightShowsTheSolidColourAndKeepsTheSettings) {
    for (const auto& [w, h] : {std::pair{0, 10}, std::pair{10, 0}, std::pair{0, 0}})
        for (const bool stretch : {false, true}) {
            Scene s(20, 15, w, h, stretch);
            s.e.tile.BackgroundColour = 0x00FF00;
            s.e.tile.DrawBackground();
            EXPECT_TRUE(paintkit::SamePicture(s.e.board, Surface(20, 15, 0x00FF00))) << w << "x" << h;
            EXPECT_EQ(s.e.board.DrawMode, vbMaskPen);
            EXPECT_EQ(s.e.board.FillStyle, 1);
        }
}

TEST(Background, PicturesBeyondSixteenBitSizesArePaintedSafely) {
    // Wider than any 16-bit size, not taller: tiled as one cut column.
    Scene wide(30, 9, 40000, 2);
    wide.e.tile.DrawBackground();
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 30; ++x) ASSERT_EQ(wide.e.board.Pixel(x, y), wide.skin.Pixel(x, y % 2));
    // Larger in both directions: the middle.
    Scene huge(4, 3, 33001, 40);
    huge.e.tile.DrawBackground();
    EXPECT_EQ(huge.e.board.Pixel(0, 0), huge.skin.Pixel(16498, 18));
}

}  // namespace
