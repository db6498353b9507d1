#include "DrawnAnimals.h"

#include <QPainter>
#include <QPainterPath>

#include "Glyphs.h"

namespace {

// Each animal is drawn on a 64 x 48 grid, eight canvas pixels to the unit.
constexpr int kScale = 8;

struct Canvas {
    QImage image{64 * kScale, 48 * kScale, QImage::Format_ARGB32_Premultiplied};
    QPainter p;
    Canvas() {
        image.fill(Qt::transparent);
        p.begin(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(kScale, kScale);
    }
    QImage Done() {
        p.end();
        return CroppedToInk(image);
    }
};

// A filled shape with the font's dark outline and a light top.
void Shape(QPainter& p, const QPainterPath& path, QRgb fill, QRgb line) {
    const QRectF r = path.boundingRect();
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, QColor(fill).lighter(118));
    g.setColorAt(1, QColor(fill).darker(112));
    p.setPen(QPen(QColor(line), 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(g);
    p.drawPath(path);
}

QPainterPath Ellipse(double x, double y, double w, double h) {
    QPainterPath path;
    path.addEllipse(QRectF(x, y, w, h));
    return path;
}

QPainterPath Triangle(QPointF a, QPointF b, QPointF c) {
    QPainterPath path(a);
    path.lineTo(b);
    path.lineTo(c);
    path.closeSubpath();
    return path;
}

// A cat's pointed ears with pink insides, then the head over them, with two
// stripes on its brow.
struct CatEars {
    QPainterPath Left, Right, LeftInside, RightInside;
};

void CatHead(QPainter& p, const CatEars& ears, const QPainterPath& head, QRgb coat, QRgb line, QRgb stripes,
             double stripeWidth, QLineF leftStripe, QLineF rightStripe) {
    Shape(p, ears.Left, coat, line);
    Shape(p, ears.Right, coat, line);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xF4, 0xA6, 0xB0));
    p.drawPath(ears.LeftInside);
    p.drawPath(ears.RightInside);
    Shape(p, head, coat, line);
    p.setPen(QPen(QColor(stripes), stripeWidth, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(leftStripe);
    p.drawLine(rightStripe);
}

}  // namespace

QImage LyingCat(QRgb coat, QRgb stripes) {
    Canvas c;
    QPainter& p = c.p;
    const QRgb line = QColor(coat).darker(230).rgb();
    // The tail first, lying along the body's far side and curling forward.
    QPainterPath tail(QPointF(56, 38));
    tail.cubicTo(QPointF(66, 34), QPointF(64, 20), QPointF(55, 18));
    p.setPen(QPen(QColor(line), 7.4, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(tail);
    p.setPen(QPen(QColor(coat), 5, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(tail);
    // The body: a long loaf.
    const QPainterPath body = Ellipse(16, 17, 44, 27);
    Shape(p, body, coat, line);
    p.save();
    p.setClipPath(body);
    p.setPen(QPen(QColor(stripes), 2.6, Qt::SolidLine, Qt::RoundCap));
    for (double x : {30.0, 38.0, 46.0, 54.0}) p.drawLine(QPointF(x, 16), QPointF(x - 3, 27));
    p.restore();
    // Front paws.
    Shape(p, Ellipse(10, 38, 11, 7), coat, line);
    Shape(p, Ellipse(19, 39, 11, 6.5), coat, line);
    // The ears, then the head over them.
    CatHead(p,
            {Triangle({4, 14}, {6, 1}, {15, 9}), Triangle({16, 8}, {25, 1}, {26, 14}),
             Triangle({7, 11}, {7.5, 4.5}, {12, 9}), Triangle({18.5, 8}, {23.5, 4.5}, {23.5, 11.5})},
            Ellipse(2, 6, 26, 22), coat, line, stripes, 2.2, QLineF(12, 8, 13, 12), QLineF(16, 7.5, 16, 12));
    // Shut eyes, a pink nose and a mouth.
    p.setPen(QPen(QColor(0x30, 0x28, 0x28), 1.5, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(6, 15, 6, 4), 200 * 16, 140 * 16);
    p.drawArc(QRectF(17, 15, 6, 4), 200 * 16, 140 * 16);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xE8, 0x7A, 0x8A));
    p.drawPath(Triangle({12.5, 20}, {16.5, 20}, {14.5, 22.5}));
    p.setPen(QPen(QColor(0x30, 0x28, 0x28), 1.0, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(14.5, 22.5), QPointF(14.5, 24));
    return c.Done();
}

QImage SittingCat(QRgb coat, QRgb stripes) {
    Canvas c;
    QPainter& p = c.p;
    const QRgb line = QColor(coat).darker(230).rgb();
    // The tail curls round the feet from behind.
    QPainterPath tail(QPointF(44, 42));
    tail.cubicTo(QPointF(50, 47), QPointF(26, 48), QPointF(14, 44));
    tail.quadTo(QPointF(10, 42), QPointF(12, 39));
    p.setPen(QPen(QColor(line), 6.4, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(tail);
    // The haunch, the body and the front legs.
    QPainterPath body = Ellipse(27, 25, 21, 21);
    body = body.united(Ellipse(19, 17, 22, 29));
    Shape(p, body, coat, line);
    p.save();
    p.setClipPath(body);
    p.setPen(QPen(QColor(stripes), 2.4, Qt::SolidLine, Qt::RoundCap));
    for (double y : {26.0, 32.0, 38.0}) p.drawLine(QPointF(49, y - 3), QPointF(38, y + 1));
    p.restore();
    QPainterPath legs;
    legs.addRoundedRect(QRectF(20, 31, 6.5, 16), 3, 3);
    legs.addRoundedRect(QRectF(27, 32, 6.5, 15), 3, 3);
    Shape(p, legs, coat, line);
    p.setPen(QPen(QColor(coat), 4.2, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(tail);
    // The ears, then the head, looking out.
    CatHead(p,
            {Triangle({17, 12}, {17.5, 1}, {25, 7}), Triangle({28, 7}, {35.5, 1}, {36, 12}),
             Triangle({19, 9.5}, {19.3, 4}, {23, 7.5}), Triangle({30, 7.5}, {34, 4}, {34, 9.5})},
            Ellipse(15, 4, 23, 19), coat, line, stripes, 2.0, QLineF(24, 5.5, 24.5, 9), QLineF(28.5, 5.5, 28, 9));
    // Green eyes with slit pupils, a pink nose.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x9C, 0xD0, 0x3C));
    p.drawEllipse(QRectF(19.5, 10.5, 5, 4.6));
    p.drawEllipse(QRectF(28.5, 10.5, 5, 4.6));
    p.setBrush(QColor(0x18, 0x14, 0x10));
    p.drawEllipse(QRectF(21.4, 10.8, 1.2, 4));
    p.drawEllipse(QRectF(30.4, 10.8, 1.2, 4));
    p.setBrush(QColor(0xE8, 0x7A, 0x8A));
    p.drawPath(Triangle({24.5, 16}, {28.5, 16}, {26.5, 18.3}));
    return c.Done();
}

QImage Dachshund(QRgb coat, QRgb tan) {
    Canvas c;
    QPainter& p = c.p;
    const QRgb line = QColor(coat).darker(250).rgb();
    // Tail, then the far legs, the long body, the near legs.
    QPainterPath tail(QPointF(55, 22));
    tail.quadTo(QPointF(61, 18), QPointF(63, 11));
    p.setPen(QPen(QColor(line), 4.4, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(tail);
    p.setPen(QPen(QColor(coat), 2.4, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(tail);
    QPainterPath legs;
    for (double x : {19.0, 47.0}) legs.addRoundedRect(QRectF(x, 30, 6, 13), 2.5, 2.5);
    Shape(p, legs, QColor(coat).darker(120).rgb(), line);
    QPainterPath body;
    body.addRoundedRect(QRectF(14, 18, 45, 17), 8.5, 8.5);
    Shape(p, body, coat, line);
    QPainterPath near;
    for (double x : {13.0, 41.0}) near.addRoundedRect(QRectF(x, 31, 6.5, 13), 2.5, 2.5);
    Shape(p, near, coat, line);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(tan));
    p.drawEllipse(QRectF(13.5, 40.5, 7.5, 3.5));
    p.drawEllipse(QRectF(41.5, 40.5, 7.5, 3.5));
    // Neck and head with its long muzzle, looking left.
    QPainterPath head;
    head.moveTo(20, 24);
    head.cubicTo(QPointF(16, 16), QPointF(16, 8), QPointF(11, 7));
    head.cubicTo(QPointF(6, 6), QPointF(3, 10), QPointF(1, 14));
    head.cubicTo(QPointF(0, 17), QPointF(3, 19), QPointF(8, 18));
    head.cubicTo(QPointF(11, 20), QPointF(12, 26), QPointF(16, 30));
    head.closeSubpath();
    Shape(p, head, coat, line);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(tan));
    p.drawEllipse(QRectF(3, 14, 7, 4));
    // Nose, eye and the hanging ear.
    p.setBrush(QColor(0x20, 0x18, 0x14));
    p.drawEllipse(QRectF(0, 12, 3.4, 3.2));
    p.drawEllipse(QRectF(9.5, 9.5, 2.6, 2.6));
    QPainterPath ear(QPointF(13, 9));
    ear.cubicTo(QPointF(20, 8), QPointF(21, 18), QPointF(17, 21));
    ear.cubicTo(QPointF(14, 21), QPointF(13, 15), QPointF(13, 9));
    Shape(p, ear, QColor(coat).darker(150).rgb(), line);
    return c.Done();
}
