// "Icons": a different coloured symbol on each suit face, on white.
#include <QPainter>
#include <cmath>
#include <functional>

#include "Colours.h"
#include "Glyphs.h"
#include "Sheets.h"
#include "TileParts.h"

namespace {

using Painter = std::function<void(QPainter&)>;

// The box symbols are fitted into: the face less a margin.
const QRectF kBox(3, 5, 30, 33);

Painter Glyph(Font font, const char* text, QRgb ink, double scale = 1.0) {
    return [=](QPainter& p) {
        const QRectF box(kBox.center().x() - kBox.width() * scale / 2, kBox.center().y() - kBox.height() * scale / 2,
                         kBox.width() * scale, kBox.height() * scale);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(ink));
        p.drawPath(FitPath(CentredText(font, QString::fromUtf8(text), 40), box));
    };
}

const QPointF kMid(18, 21.5);

void Ball(QPainter& p) {
    p.setPen(QPen(QColor(60, 60, 60), 1));
    p.setBrush(QColor(230, 40, 40));
    p.drawEllipse(kMid, 13, 13);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(250, 210, 30));
    p.drawPie(QRectF(5, 8.5, 26, 26), 30 * 16, 120 * 16);
    p.setBrush(QColor(30, 90, 220));
    p.drawPie(QRectF(5, 8.5, 26, 26), 270 * 16, 120 * 16);
    p.setBrush(QColor(255, 255, 255, 200));
    p.drawEllipse(QPointF(13, 16), 2.5, 2.5);
}

void Spiral(QPainter& p) {
    QPainterPath path;
    for (int i = 0; i <= 400; ++i) {
        const double a = i * 0.045, r = 0.95 * a + 0.5;
        const QPointF pt = kMid + QPointF(std::cos(a) * r, std::sin(a) * r);
        if (i == 0) path.moveTo(pt);
        else path.lineTo(pt);
    }
    p.setPen(QPen(QColor(120, 40, 170), 2.2, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
}

void Boxes(QPainter& p) {
    p.setPen(QPen(QColor(190, 100, 20), 2.2));
    p.setBrush(QColor(250, 200, 120));
    p.drawRect(QRectF(5, 9, 17, 17));
    p.setBrush(QColor(250, 170, 70));
    p.drawRect(QRectF(14, 18, 17, 17));
}

void Maze(QPainter& p) {
    p.setPen(QPen(QColor(20, 110, 110), 2.0, Qt::SolidLine, Qt::SquareCap));
    p.setBrush(Qt::NoBrush);
    const QPointF pts[][2] = {{{5, 8}, {31, 8}},   {{31, 8}, {31, 35}},  {{31, 35}, {9, 35}},  {{5, 8}, {5, 35}},
                              {{10, 13}, {26, 13}}, {{26, 13}, {26, 30}}, {{26, 30}, {15, 30}}, {{10, 13}, {10, 30}},
                              {{15, 18}, {21, 18}}, {{15, 18}, {15, 25}}, {{15, 25}, {21, 25}}};
    for (const auto& seg : pts) p.drawLine(seg[0], seg[1]);
}

void Fan(QPainter& p) {
    const QPointF hinge(18, 34);
    p.setPen(QPen(QColor(150, 20, 60), 1));
    for (int k = 0; k < 7; ++k) {
        p.setBrush(k % 2 ? QColor(230, 60, 110) : QColor(250, 150, 180));
        p.drawPie(QRectF(hinge.x() - 16, hinge.y() - 16, 32, 32), (15 + k * 21.4) * 16, 21.4 * 16);
    }
    p.setBrush(QColor(150, 20, 60));
    p.drawEllipse(hinge, 2, 2);
}

void Target(QPainter& p) {
    p.setPen(Qt::NoPen);
    const double radii[] = {14, 11, 8, 5, 2.5};
    for (int i = 0; i < 5; ++i) {
        p.setBrush(i % 2 ? QColor(colour::White) : QColor(220, 20, 20));
        p.drawEllipse(kMid, radii[i], radii[i]);
    }
}

void Ring(QPainter& p) {
    p.setPen(QPen(QColor(200, 150, 20), 3.5));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(18, 25), 11, 10);
    p.setPen(QPen(QColor(40, 80, 200), 1));
    p.setBrush(QColor(120, 200, 255));
    const QPointF gem[] = {{13, 12}, {23, 12}, {26, 9}, {18, 5}, {10, 9}};
    p.drawPolygon(gem, 5);
}

void Bulb(QPainter& p) {
    p.setPen(QPen(QColor(200, 150, 0), 1.2));
    p.setBrush(QColor(255, 230, 60));
    p.drawEllipse(QPointF(18, 15), 10, 10);
    p.drawRect(QRectF(13.5, 22, 9, 5));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(120, 120, 130));
    p.drawRect(QRectF(13, 27, 10, 7));
    p.setBrush(QColor(70, 70, 80));
    p.drawRect(QRectF(13, 29, 10, 1.3));
    p.drawRect(QRectF(13, 32, 10, 1.3));
    p.drawRect(QRectF(15.5, 34, 5, 2.5));
}

void DoveInCircle(QPainter& p) {
    p.setPen(QPen(QColor(30, 120, 200), 2));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(kMid, 15, 15);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 120, 200));
    p.drawPath(FitPath(CentredText(Font::Symbols2, QStringLiteral("🕊"), 40), QRectF(8, 12, 20, 19)));
}

Painter IconOf(int f) {
    static const Painter suits[27] = {
        Glyph(Font::Sans, "▣", 0xFF1E3CA0),    Glyph(Font::Sans, "◈", 0xFFC020C0),    Glyph(Font::Sans, "★", 0xFFF0A000),
        Glyph(Font::Symbols2, "🐦", 0xFF2090E0), Ball,                                 Spiral,
        Glyph(Font::Sans, "▲", 0xFF20A040),    Boxes,                                 Glyph(Font::Symbols2, "🌍", 0xFF108080),
        Glyph(Font::Sans, "☸", 0xFF8C5020),    Glyph(Font::Sans, "✔", 0xFF108020),    Glyph(Font::Sans, "☘", 0xFF50C030),
        Glyph(Font::Sans, "♣", 0xFF202020),    Glyph(Font::Sans, "❀", 0xFFE0206A),    Maze,
        Fan,                                   Glyph(Font::Sans, "☯", 0xFF404040),    Glyph(Font::Symbols, "⚛", 0xFF6040D0),
        Glyph(Font::Sans, "☂", 0xFFD04010),    Glyph(Font::Sans, "⚓", 0xFF103070),    Glyph(Font::Sans, "☀", 0xFFF07000),
        Glyph(Font::Sans, "♛", 0xFFA07800),    Glyph(Font::Sans, "✈", 0xFF607080),    Glyph(Font::Sans, "✉", 0xFF905020),
        Glyph(Font::Sans, "♞", 0xFF6A2A10),    Glyph(Font::Sans, "⚙", 0xFF707070),    Glyph(Font::Sans, "❄", 0xFF30A0E0)};
    static const Painter honours[4] = {Glyph(Font::SansBold, "$", 0xFF108030), DoveInCircle,
                                       Glyph(Font::Symbols2, "👁", 0xFF4060A0), Glyph(Font::Sans, "⚡", 0xFFE0B000)};
    static const Painter dragons[3] = {Ring, Glyph(Font::Symbols, "⚜", 0xFF8020A0), Bulb};
    if (f <= 26) return suits[f];
    if (f <= 30) return Target;
    if (f <= 34) return honours[f - 31];
    if (f <= 39) return Glyph(Font::Sans, "✦", 0xFF1040E0);
    return dragons[f - 40];
}

QImage IconFace(int f) {
    if (f == 43) return BlankFace(FaceLook::Cream);
    QImage face = BlankFace(FaceLook::White);
    QPainter p(&face);
    p.setRenderHint(QPainter::Antialiasing);
    IconOf(f)(p);
    return face;
}

}  // namespace

QImage IconsSheet() { return AssembleSheet({339, 231}, IconFace); }
