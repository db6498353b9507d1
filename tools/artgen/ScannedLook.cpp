#include "ScannedLook.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

#include "TileParts.h"

namespace {

uint32_t Hash(int x, int y, uint32_t seed) {
    uint32_t h = uint32_t(x) * 374761393u + uint32_t(y) * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return h ^ (h >> 16);
}

// -1 to 1, smooth over `cell` pixels: the faint cloudiness of the face.
double ValueNoise(int x, int y, int cell) {
    const int cx = x / cell, cy = y / cell;
    const double fx = double(x % cell) / cell, fy = double(y % cell) / cell;
    const auto at = [](int i, int j) { return double(Hash(i, j, 7u) & 1023u) / 511.5 - 1.0; };
    const double top = at(cx, cy) * (1 - fx) + at(cx + 1, cy) * fx;
    const double bottom = at(cx, cy + 1) * (1 - fx) + at(cx + 1, cy + 1) * fx;
    return top * (1 - fy) + bottom * fy;
}

// The brightness of the bare face: brightest a little in from the top-left
// corner, falling off toward the bottom right.
double Light(double x, double y) {
    const double dx = (x - 9) / kFaceW, dy = (y - 9) / kFaceH;
    const double d2 = dx * dx + dy * dy;
    return 240.0 - 30.0 * std::sqrt(d2) + 9.0 * std::exp(-d2 * 12);
}

int Clamp(double v) { return std::clamp(int(std::lround(v)), 0, 255); }

QRgb Grey(double v) { return qRgb(Clamp(v), Clamp(v), Clamp(v - 4)); }

}  // namespace

QImage ScannedBlankFace() {
    QImage face(kFaceW, kFaceH, QImage::Format_RGB32);
    for (int y = 0; y < kFaceH; ++y)
        for (int x = 0; x < kFaceW; ++x) {
            double v = Light(x, y) + 2.5 * ValueNoise(x, y, 5);
            // The rounded edge: the left and bottom turn toward the light and
            // shine, the top and right turn away from it.
            if (x == 1 || y == kFaceH - 2) v += 7;
            if (x == 2 || y == kFaceH - 3) v += 3;
            if (y == 1 || x == kFaceW - 2) v -= 16;
            if (y == 2 || x == kFaceW - 3) v -= 6;
            QRgb c = Grey(v);
            if (x == 0 || y == kFaceH - 1) c = qRgb(253, 253, 251);
            if (y == 0 || x == kFaceW - 1) c = qRgb(104, 108, 104);
            face.setPixel(x, y, c);
        }
    return face;
}

void CarveInto(QImage& face, const QImage& layer) {
    const int w = layer.width(), h = layer.height();
    const auto alpha = [&](int x, int y) {
        if (x < 0 || y < 0 || x >= w || y >= h) return 0.0;
        return qAlpha(layer.pixel(x, y)) / 255.0;
    };
    const int wall = 3;  // a cut's wall, in layer pixels
    // Premultiplied, so that scaling it never converts back to straight
    // colours: Qt divides by alpha there with the processor's approximate
    // reciprocal, which rounds differently on different processors.
    QImage cut(w, h, QImage::Format_ARGB32_Premultiplied);
    cut.fill(Qt::transparent);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const double a = alpha(x, y);
            // Beyond a cut's bottom-right edge, its rim catches the light.
            const double rim = std::max(0.0, alpha(x - wall, y - wall) - a);
            if (rim > 0 && a < 1) {
                cut.setPixel(x, y, qPremultiply(qRgba(255, 255, 252, Clamp(rim * (1 - a) * 150))));
                continue;
            }
            if (a == 0) continue;
            const QRgb c = qUnpremultiply(layer.pixel(x, y));
            // Inks a little duller than on the flat look, and in the face's light.
            const double grey = qRed(c) * 0.30 + qGreen(c) * 0.59 + qBlue(c) * 0.11;
            const double lit = Light(double(x) / kCarveScale, double(y) / kCarveScale) / 240.0;
            double r = (qRed(c) * 0.78 + grey * 0.22) * lit, g = (qGreen(c) * 0.78 + grey * 0.22) * lit,
                   b = (qBlue(c) * 0.78 + grey * 0.22) * lit;
            // The wall under the top-left edge lies in shadow; the one under
            // the bottom-right edge faces the light.
            const double shade = std::max(0.0, a - alpha(x - wall, y - wall));
            const double shine = std::max(0.0, a - alpha(x + wall, y + wall));
            const double dark = 1.0 - 0.5 * shade;
            r = r * dark + (255 - r) * 0.2 * shine;
            g = g * dark + (255 - g) * 0.2 * shine;
            b = b * dark + (255 - b) * 0.2 * shine;
            cut.setPixel(x, y, qPremultiply(qRgba(Clamp(r), Clamp(g), Clamp(b), qAlpha(layer.pixel(x, y)))));
        }
    QPainter p(&face);
    p.drawImage(0, 0, cut.scaled(face.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
}

void Grain(QImage& face, int seed) {
    for (int y = 1; y < face.height() - 1; ++y)
        for (int x = 1; x < face.width() - 1; ++x) {
            const int d = int(Hash(x, y, uint32_t(seed) + 101u) % 5) - 2;
            const QRgb c = face.pixel(x, y);
            face.setPixel(x, y, qRgb(std::clamp(qRed(c) + d, 0, 255), std::clamp(qGreen(c) + d, 0, 255),
                                     std::clamp(qBlue(c) + d, 0, 255)));
        }
}
