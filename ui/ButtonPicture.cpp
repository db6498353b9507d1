#include "ButtonPicture.h"

namespace {
bool IsLightGrey(QRgb c) { return qRed(c) == qGreen(c) && qGreen(c) == qBlue(c) && qRed(c) >= 0xC0; }
}  // namespace

QImage ClearButtonBackground(const QImage& picture) {
    if (picture.isNull()) return picture;
    QImage image = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QRgb grey = image.pixel(0, image.height() - 1);
    if (!IsLightGrey(grey)) return image;
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (row[x] == grey) row[x] = 0;  // fully clear, so scaling blends in no grey
    }
    return image;
}

QPixmap ButtonPicture(const QString& path) { return QPixmap::fromImage(ClearButtonBackground(QImage(path))); }
