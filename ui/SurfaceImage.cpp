#include "SurfaceImage.h"

#include <cstring>

void ImageToSurface(const QImage& image, Surface& surface) {
    if (image.isNull()) {
        surface.Resize(0, 0);
        return;
    }
    // RGBX8888 keeps the bytes R, G, B, 0xFF in memory: the surface's own
    // pixel form (0xFFBBGGRR read as a little-endian word).
    const QImage rgbx = image.convertToFormat(QImage::Format_RGBX8888);
    surface.Resize(rgbx.width(), rgbx.height());
    const size_t rowBytes = static_cast<size_t>(rgbx.width()) * 4;
    for (int y = 0; y < rgbx.height(); ++y)
        std::memcpy(surface.Bits() + static_cast<size_t>(y) * rgbx.width(), rgbx.constScanLine(y), rowBytes);
}

QImage SurfaceView(const Surface& surface) {
    if (surface.Empty()) return QImage();
    return QImage(reinterpret_cast<const uchar*>(surface.Bits()), surface.ScaleWidth(), surface.ScaleHeight(),
                  surface.ScaleWidth() * 4, QImage::Format_RGBX8888);
}
