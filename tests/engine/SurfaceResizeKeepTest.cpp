// A picture box sized down to nothing in one direction and back again, as the
// board is when the window is made very narrow or very low.
#include <gtest/gtest.h>

#include "Surface.h"

TEST(SurfaceResizeKeep, ThroughNoWidthOrNoHeightKeepsNothingAndTakesTheBackColour) {
    Surface s(4, 3, 0x123456);
    s.BackColor = 0x8000;
    s.ResizeKeep(0, 3);
    EXPECT_EQ(s.ScaleWidth(), 0);
    EXPECT_EQ(s.ScaleHeight(), 3);
    s.ResizeKeep(4, 3);
    EXPECT_EQ(s.Pixel(1, 1), 0x8000u);
    s.Fill(0x123456);
    s.ResizeKeep(4, 0);
    s.ResizeKeep(5, 2);
    EXPECT_EQ(s.Pixel(0, 0), 0x8000u);
    EXPECT_EQ(s.Pixel(4, 1), 0x8000u);
}
