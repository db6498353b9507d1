// The seam between the engine's pixel surfaces and Qt's images.
#pragma once

#include <QImage>

#include "Surface.h"

// Fills `surface` with `image`, sized to it (an empty image empties it).
void ImageToSurface(const QImage& image, Surface& surface);

// A view of the surface's pixels as an image, without copying: valid only
// while the surface keeps its size and lives.
QImage SurfaceView(const Surface& surface);
