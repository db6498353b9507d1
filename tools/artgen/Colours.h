// The colours every picture shares: the tile body's and the faces' inks.
#pragma once

#include <QColor>

namespace colour {
inline constexpr QRgb Black = 0xFF000000;
inline constexpr QRgb White = 0xFFFFFFFF;
inline constexpr QRgb Cream = 0xFFF4ECCF;
inline constexpr QRgb CreamDot = 0xFFFBF6E6;
inline constexpr QRgb Olive = 0xFF808000;
inline constexpr QRgb DarkTeal = 0xFF004848;
inline constexpr QRgb InkBlue = 0xFF102A8C;
inline constexpr QRgb InkGreen = 0xFF0A7A2A;
inline constexpr QRgb InkRed = 0xFFC81414;
inline constexpr QRgb InkBlack = 0xFF141414;
inline constexpr QRgb ButtonFace = 0xFFF0F0F0;
}  // namespace colour
