// The seam between the engine's pixel surfaces and Qt's images.
#pragma once

#include <QImage>

#include "Surface.h"

// Fills `surface` with `image`, sized to it (an empty image empties it).
void ImageToSurface(const QImage& image, Surface& surface);

// Makes `surface` show `image` without copying its pixels when it is an
// RGBX8888 image with unpadded rows (as LoadPicture gives): the surface then
// shares the image's pixels and keeps them alive. Any other image is
// converted first.
void ShowImage(const QImage& image, Surface& surface);

// A view of the surface's pixels as an image, without copying: valid only
// while the surface keeps its size and lives.
QImage SurfaceView(const Surface& surface);
