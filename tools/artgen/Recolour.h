// Changes of colour for the pictures taken from the colour font, so that
// animals of one kind (two cats, two dogs) differ in coat as well as pose.
#pragma once

#include <QImage>

// Every hue turned by `degrees`; lightness, saturation and alpha kept.
QImage HueTurned(const QImage& image, int degrees);

// A new coat: each pixel's lightness mapped onto the ramp dark - mid - light;
// pixels darker than `keepBelow` (eyes, outlines) keep their own colour.
QImage Recoated(const QImage& image, QRgb dark, QRgb mid, QRgb light, int keepBelow = 0);

// Blended toward white by `percent` (100 is white).
QImage Paled(const QImage& image, int percent);

// Round dark spots scattered over the picture's ink, always the same ones.
QImage Spotted(const QImage& image, QRgb spot);
