#include "SurfaceImage.h"

#include <cstring>
#include <memory>

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

void ShowImage(const QImage& image, Surface& surface) {
    if (image.isNull()) {
        surface.Resize(0, 0);
        return;
    }
    auto shared = std::make_shared<const QImage>(image.convertToFormat(QImage::Format_RGBX8888));
    if (shared->bytesPerLine() != qsizetype(shared->width()) * 4) {
        ImageToSurface(*shared, surface);
        return;
    }
    const auto* pixels = reinterpret_cast<const uint32_t*>(shared->constBits());
    const int width = shared->width(), height = shared->height();
    surface.Show(std::move(shared), pixels, width, height);
}

QImage SurfaceView(const Surface& surface) {
    if (surface.Empty()) return QImage();
    return QImage(reinterpret_cast<const uchar*>(surface.Bits()), surface.ScaleWidth(), surface.ScaleHeight(),
                  surface.ScaleWidth() * 4, QImage::Format_RGBX8888);
}
