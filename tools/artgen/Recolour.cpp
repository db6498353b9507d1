#include "Recolour.h"

#include <QColor>
#include <QPainter>
#include <algorithm>

namespace {

int Lightness(QRgb c) { return (qRed(c) * 30 + qGreen(c) * 59 + qBlue(c) * 11) / 100; }

QRgb Mix(QRgb a, QRgb b, int t256) {
    const auto m = [t256](int x, int y) { return x + (y - x) * t256 / 256; };
    return qRgb(m(qRed(a), qRed(b)), m(qGreen(a), qGreen(b)), m(qBlue(a), qBlue(b)));
}

// Works on straight (not premultiplied) colours, pixel by pixel. The
// colours are unpremultiplied here in integers: Qt's own conversion to
// Format_ARGB32 divides by alpha with the processor's approximate
// reciprocal, which rounds differently from one make of processor to another.
template <typename F> QImage EachPixel(const QImage& image, F change) {
    const QImage in = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QImage out(in.size(), QImage::Format_ARGB32);
    out.fill(Qt::transparent);
    for (int y = 0; y < in.height(); ++y)
        for (int x = 0; x < in.width(); ++x) {
            const QRgb c = qUnpremultiply(in.pixel(x, y));
            if (qAlpha(c) == 0) continue;
            const QRgb n = change(c);
            out.setPixel(x, y, qRgba(qRed(n), qGreen(n), qBlue(n), qAlpha(c)));
        }
    return out;
}

}  // namespace

QImage HueTurned(const QImage& image, int degrees) {
    return EachPixel(image, [degrees](QRgb c) {
        QColor q(c);
        int h, s, l;
        q.getHsl(&h, &s, &l);
        if (h < 0) return c;  // grey: no hue to turn
        q.setHsl((h + degrees + 360) % 360, s, l);
        return q.rgb();
    });
}

QImage Recoated(const QImage& image, QRgb dark, QRgb mid, QRgb light, int keepBelow) {
    return EachPixel(image, [=](QRgb c) {
        const int l = Lightness(c);
        if (l < keepBelow) return c;
        return l < 128 ? Mix(dark, mid, l * 2) : Mix(mid, light, (l - 128) * 2);
    });
}

QImage Paled(const QImage& image, int percent) {
    return EachPixel(image, [percent](QRgb c) { return Mix(c, qRgb(255, 255, 255), percent * 256 / 100); });
}

QImage Spotted(const QImage& image, QRgb spot) {
    QImage out = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QImage spots(out.size(), QImage::Format_ARGB32_Premultiplied);
    spots.fill(Qt::transparent);
    {
        QPainter p(&spots);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(spot));
        // A fixed scatter on a jittered grid, so the spots neither clump nor line up.
        const double step = out.width() / 7.0;
        uint32_t state = 12345u;
        for (double y = step / 2; y < out.height(); y += step)
            for (double x = step / 2; x < out.width(); x += step) {
                state = state * 1664525u + 1013904223u;
                const double jx = double(state >> 24) / 256 - 0.5, jy = double((state >> 16) & 255) / 256 - 0.5;
                const double r = step * (0.16 + double((state >> 8) & 63) / 800);
                p.drawEllipse(QPointF(x + jx * step * 0.6, y + jy * step * 0.6), r, r);
            }
        // Only where the picture has ink, and not on its darkest lines.
        p.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        p.drawImage(0, 0, out);
    }
    QPainter p(&out);
    p.setCompositionMode(QPainter::CompositionMode_SourceAtop);
    p.drawImage(0, 0, spots);
    return out;
}
