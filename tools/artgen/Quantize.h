// Reduces a picture to a palette: the reserved colours first, exactly, then
// the picture's other colours by median cut. Deterministic: ties are broken
// by colour value, never by memory order.
#pragma once

#include <QImage>
#include <vector>

#include "Encoders.h"

IndexedImage Quantize(const QImage& image, int colours, const std::vector<QRgb>& reserved);
