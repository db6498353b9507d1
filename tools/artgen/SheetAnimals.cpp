// "Animals": a different animal on each suit face, on white.
#include <QPainter>

#include "Colours.h"
#include "Glyphs.h"
#include "Sheets.h"
#include "TileParts.h"

namespace {

QString AnimalOf(int f) {
    static const QString suits[27] = {
        QStringLiteral("🐻"), QStringLiteral("🦋"), QStringLiteral("🐱"), QStringLiteral("🐶"), QStringLiteral("🐟"),
        QStringLiteral("🐦"), QStringLiteral("🐴"), QStringLiteral("🐨"), QStringLiteral("🐍"),
        QStringLiteral("🫏"), QStringLiteral("🐪"), QStringLiteral("🦖"), QStringLiteral("🦉"), QStringLiteral("🦆"),
        QStringLiteral("🐈"), QStringLiteral("🐕"), QStringLiteral("🐠"), QStringLiteral("🐧"),
        QStringLiteral("🦩"), QStringLiteral("🦓"), QStringLiteral("🐘"), QStringLiteral("🐢"), QStringLiteral("🐸"),
        QStringLiteral("🦒"), QStringLiteral("🐙"), QStringLiteral("🐝"), QStringLiteral("🦀")};
    static const QString honours[] = {QStringLiteral("🐖"), QStringLiteral("🦃"), QStringLiteral("🐇"),
                                      QStringLiteral("🐈‍⬛")};
    static const QString dragons[] = {QStringLiteral("🐩"), QStringLiteral("🦮"), QStringLiteral("🦁")};
    if (f <= 26) return suits[f];
    if (f <= 30) return QStringLiteral("🐎");
    if (f <= 34) return honours[f - 31];
    if (f <= 39) return QStringLiteral("🦕");
    return dragons[f - 40];
}

// The seasons' dinosaur is drawn pale: blended halfway to white.
QImage Pale(QImage image) {
    image = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = image.pixel(x, y);
            image.setPixel(x, y, qRgba((qRed(c) + 255) / 2, (qGreen(c) + 255) / 2, (qBlue(c) + 255) / 2, qAlpha(c)));
        }
    return image;
}

QImage AnimalFace(int f) {
    if (f == 43) return BlankFace(FaceLook::Cream);
    QImage face = BlankFace(FaceLook::White);
    QImage animal = EmojiImage(AnimalOf(f));
    if (f >= 36 && f <= 39) animal = Pale(animal);
    QPainter p(&face);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    DrawFitted(p, animal, QRectF(2, 3, 32, 37));
    return face;
}

}  // namespace

QImage AnimalsSheet() { return AssembleSheet({339, 233}, AnimalFace); }
