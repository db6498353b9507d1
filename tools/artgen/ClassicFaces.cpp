#include "ClassicFaces.h"

#include <QPainter>
#include <cmath>

#include "Colours.h"
#include "Glyphs.h"
#include "ScannedLook.h"

namespace {

QColor Lighter(QRgb c, int percent) { return QColor(c).lighter(percent); }

// The face's own colour between the inks: cream on the flat look; on the
// carved look the face itself, so the rings are cut into it.
void Gap(QPainter& p, const ClassicStyle& s) {
    if (s.carved) p.setCompositionMode(QPainter::CompositionMode_Clear);
    p.setBrush(QColor(colour::Cream));
}

void Ink(QPainter& p, QRgb ink) {
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p.setBrush(QColor(ink));
}

// One circle (a "coin"): coloured rim, cream ring, coloured middle.
void Coin(QPainter& p, QPointF c, double r, QRgb ink, const ClassicStyle& s) {
    p.setPen(Qt::NoPen);
    Ink(p, ink);
    p.drawEllipse(c, r, r);
    Gap(p, s);
    p.drawEllipse(c, r * 0.66, r * 0.66);
    Ink(p, ink);
    p.drawEllipse(c, r * 0.42, r * 0.42);
}

// The one-circle face: a large rosette of rings in all three inks.
void BigCoin(QPainter& p, QPointF c, const ClassicStyle& s) {
    const QRgb inks[] = {s.green, colour::Cream, s.blue, colour::Cream, s.red, colour::Cream};
    const double radii[] = {15, 12.5, 10.5, 7, 5, 1.8};
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 6; ++i) {
        if (inks[i] == colour::Cream) Gap(p, s);
        else Ink(p, inks[i]);
        p.drawEllipse(c, radii[i], radii[i]);
    }
    // Eight small notches around the rim, as on the old coins.
    Gap(p, s);
    for (int k = 0; k < 8; ++k) {
        const double a = k * M_PI / 4;
        p.drawEllipse(c + QPointF(std::cos(a) * 13.8, std::sin(a) * 13.8), 1.0, 1.0);
    }
    Ink(p, s.blue);
}

void Circles(QPainter& p, int n, const ClassicStyle& s) {
    struct Pip { double x, y; int ink; };  // ink: 0 blue, 1 green, 2 red
    const QRgb inks[] = {s.blue, s.green, s.red};
    std::vector<Pip> pips;
    double r = 6;
    switch (n) {
    case 1: BigCoin(p, {18, 21.5}, s); return;
    case 2: r = 8; pips = {{18, 11, 1}, {18, 32, 0}}; break;
    case 3: r = 6.5; pips = {{9, 9, 0}, {18, 21.5, 2}, {27, 34, 1}}; break;
    case 4: r = 7; pips = {{10, 12, 0}, {26, 12, 1}, {10, 31, 1}, {26, 31, 0}}; break;
    case 5: r = 6; pips = {{9, 9, 0}, {27, 9, 1}, {18, 21.5, 2}, {9, 34, 1}, {27, 34, 0}}; break;
    case 6: r = 5.8; pips = {{10.5, 8, 1}, {25.5, 8, 1}, {10.5, 21.5, 2}, {25.5, 21.5, 2}, {10.5, 35, 2}, {25.5, 35, 2}}; break;
    case 7: r = 5;
        pips = {{7, 6.5, 1}, {18, 10.5, 1}, {29, 14.5, 1}, {11, 25, 2}, {25, 25, 2}, {11, 35.5, 2}, {25, 35.5, 2}}; break;
    case 8: r = 4.9; pips = {{11, 6.5, 0}, {25, 6.5, 0}, {11, 16.2, 0}, {25, 16.2, 0},
                             {11, 25.9, 0}, {25, 25.9, 0}, {11, 35.6, 0}, {25, 35.6, 0}}; break;
    case 9: r = 5.3; pips = {{7.5, 8, 0}, {18, 8, 0}, {28.5, 8, 0}, {7.5, 21.5, 2}, {18, 21.5, 2},
                             {28.5, 21.5, 2}, {7.5, 35, 1}, {18, 35, 1}, {28.5, 35, 1}}; break;
    }
    for (const Pip& pip : pips) Coin(p, {pip.x, pip.y}, r, inks[pip.ink], s);
}

// One bamboo stick, upright, centred on c.
void Stick(QPainter& p, QPointF c, double w, double h, QRgb ink, const ClassicStyle& s) {
    const QRectF r(c.x() - w / 2, c.y() - h / 2, w, h);
    p.setPen(Qt::NoPen);
    Ink(p, ink);
    p.drawRoundedRect(r, w / 2.5, w / 2.5);
    // The nodes: a darker band at both ends and in the middle; on the
    // carved look, a cut across the stick.
    if (s.carved) Gap(p, s);
    else p.setBrush(QColor(ink).darker(170));
    for (double y : {r.top() + 1.5, c.y(), r.bottom() - 1.5})
        p.drawRect(QRectF(r.left(), y - 0.8, w, s.carved ? 1.0 : 1.6));
    Ink(p, Lighter(ink, 180).rgb());
    if (!s.carved) {
        p.drawRect(QRectF(c.x() - 0.5, r.top() + 3, 1, h / 2 - 4.5));
        p.drawRect(QRectF(c.x() - 0.5, c.y() + 1.5, 1, h / 2 - 4.5));
    }
}

void Bamboo(QPainter& p, int n, const ClassicStyle& s) {
    struct Pip { double x, y; int ink; };
    const QRgb inks[] = {s.blue, s.green, s.red};
    std::vector<Pip> sticks;
    double w = 6, h = 17;
    switch (n) {
    case 2: sticks = {{18, 11.5, 0}, {18, 31.5, 1}}; break;
    case 3: sticks = {{18, 11.5, 1}, {10.5, 31.5, 0}, {25.5, 31.5, 0}}; break;
    case 4: sticks = {{10.5, 11.5, 0}, {25.5, 11.5, 1}, {10.5, 31.5, 1}, {25.5, 31.5, 0}}; break;
    case 5: sticks = {{7.5, 11.5, 1}, {28.5, 11.5, 0}, {18, 21.5, 2}, {7.5, 31.5, 0}, {28.5, 31.5, 1}}; break;
    case 6: sticks = {{7.5, 11.5, 1}, {18, 11.5, 1}, {28.5, 11.5, 1}, {7.5, 31.5, 0}, {18, 31.5, 0}, {28.5, 31.5, 0}}; break;
    case 7: h = 12;
        sticks = {{18, 8, 2}, {7.5, 21.5, 1}, {18, 21.5, 0}, {28.5, 21.5, 1}, {7.5, 34.5, 1}, {18, 34.5, 0}, {28.5, 34.5, 1}};
        break;
    case 8: w = 5;
        sticks = {{5.5, 11.5, 1}, {13.8, 11.5, 2}, {22.2, 11.5, 2}, {30.5, 11.5, 1},
                  {5.5, 31.5, 1}, {13.8, 31.5, 0}, {22.2, 31.5, 0}, {30.5, 31.5, 1}};
        break;
    case 9: h = 12;
        for (int row = 0; row < 3; ++row)
            for (int col = 0; col < 3; ++col) sticks.push_back({7.5 + 10.5 * col, 8 + 13.5 * row, col == 1 ? 2 : col == 0 ? 1 : 0});
        break;
    }
    for (const Pip& st : sticks) Stick(p, {st.x, st.y}, w, h, inks[st.ink], s);
}

const QString kNumerals[] = {QStringLiteral("一"), QStringLiteral("二"), QStringLiteral("三"),
                             QStringLiteral("四"), QStringLiteral("五"), QStringLiteral("六"),
                             QStringLiteral("七"), QStringLiteral("八"), QStringLiteral("九")};

void FillPath(QPainter& p, const QPainterPath& path, QPointF at, QRgb ink) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(ink));
    p.drawPath(path.translated(at));
}

void Character(QPainter& p, int n, const ClassicStyle& s) {
    // The numeral is what tells the nine apart: large and heavy, on top.
    FillPath(p, CentredText(Font::CjkSans, kNumerals[n - 1], 21), {s.cornerMarks ? 16.5 : 18, 11.5}, s.blue);
    FillPath(p, CentredText(Font::Cjk, QStringLiteral("萬"), 21), {18, 31}, s.red);
}

void Wind(QPainter& p, int w, const ClassicStyle& s) {
    const QString winds[] = {QStringLiteral("北"), QStringLiteral("南"), QStringLiteral("東"), QStringLiteral("西")};
    FillPath(p, CentredText(Font::Cjk, winds[w], 28), {s.cornerMarks ? 17.0 : 18.0, s.cornerMarks ? 23.5 : 21.5}, s.blue);
}

void Dragon(QPainter& p, int d, const ClassicStyle& s) {
    if (d == 0) {
        FillPath(p, CentredText(Font::Cjk, QStringLiteral("發"), 30), {18, 21.5}, s.green);
    } else if (d == 1) {
        // The white dragon: an empty face in a double blue frame.
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(s.blue), 2.0));
        p.drawRect(QRectF(5, 5, 26, 33));
        p.setPen(QPen(QColor(s.blue), 1.0));
        p.drawRect(QRectF(9.5, 9.5, 17, 24));
    } else {
        FillPath(p, CentredText(Font::Cjk, QStringLiteral("中"), 32), {18, 21.5}, s.red);
    }
}

void Picture(QPainter& p, const QString& emoji, bool marked) {
    DrawFitted(p, EmojiImage(emoji), marked ? QRectF(2, 9, 32, 32) : QRectF(2, 3, 32, 37));
}

// Draws the face's symbols onto a transparent layer the size of a face.
QImage Symbols(int f, const ClassicStyle& s, int scale) {
    QImage layer(kFaceW * scale, kFaceH * scale, QImage::Format_ARGB32_Premultiplied);
    layer.fill(Qt::transparent);
    QPainter p(&layer);
    p.scale(scale, scale);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    if (f <= 8) Circles(p, f + 1, s);
    else if (f == 9) DrawFitted(p, EmojiImage(s.bird), QRectF(2, 3, 32, 37));
    else if (f <= 17) Bamboo(p, f - 8, s);
    else if (f <= 26) Character(p, f - 17, s);
    else if (f <= 30) Picture(p, s.flowers[size_t(f - 27)], !s.flowerMarks[size_t(f - 27)].isEmpty());
    else if (f <= 34) Wind(p, f - 31, s);
    else if (f >= 36 && f <= 39) Picture(p, s.seasons[size_t(f - 36)], !s.seasonMarks[size_t(f - 36)].isEmpty());
    else if (f <= 42) Dragon(p, f - 40, s);
    return layer;
}

void Marks(QImage& face, int f, const ClassicStyle& s) {
    QString mark;
    QRgb ink = s.red;
    if (f >= 18 && f <= 26 && s.cornerMarks) mark = QString::number(f - 17);
    if (f >= 31 && f <= 34 && s.cornerMarks) mark = QStringLiteral("NSEW").mid(f - 31, 1);
    if (f >= 27 && f <= 30) mark = s.flowerMarks[size_t(f - 27)];
    if (f >= 36 && f <= 39) mark = s.seasonMarks[size_t(f - 36)];
    if (f >= 27 && f <= 39) ink = s.blue;
    if (mark.isEmpty()) return;
    DrawPixelText(face, kFaceW - 3 - PixelTextWidth(mark), 2, mark, ink);
}

}  // namespace

QImage ClassicFace(int f, const ClassicStyle& s) {
    QImage face = BlankFace(s.look);
    if (f == 43) return face;
    if (s.carved) {
        CarveInto(face, Symbols(f, s, kCarveScale));
    } else {
        QPainter p(&face);
        p.drawImage(0, 0, Symbols(f, s, 1));
    }
    Marks(face, f, s);
    if (s.carved) Grain(face, f);
    return face;
}
