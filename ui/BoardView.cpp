#include "BoardView.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "SurfaceImage.h"

namespace {
constexpr uint32_t BoardBackColour = 0x8000;  // dark green, &HBBGGRR

int ShiftState(Qt::KeyboardModifiers modifiers) {
    int shift = 0;
    if (modifiers & Qt::ShiftModifier) shift |= 1;
    if (modifiers & Qt::ControlModifier) shift |= 2;
    if (modifiers & Qt::AltModifier) shift |= 4;
    return shift;
}

int ButtonCode(Qt::MouseButton button) {
    switch (button) {
    case Qt::LeftButton: return 1;
    case Qt::RightButton: return 2;
    case Qt::MiddleButton: return 4;
    default: return 0;
    }
}
}  // namespace

BoardView::BoardView(Surface& picture, QWidget* parent) : QFrame(parent), picture_(picture) {
    setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    setLineWidth(Border);
    picture_.BackColor = BoardBackColour;
    QPalette back = palette();
    back.setColor(QPalette::Window, QColor(0, 0x80, 0));
    setPalette(back);
    setAutoFillBackground(true);
    // A click on the board, on a tile or not, takes the keyboard focus from
    // a list: the list keeping it would take the next arrow key as a pick
    // and deal a new game over the one in play.
    setFocusPolicy(Qt::ClickFocus);
}

void BoardView::Fit(int width, int height) {
    resize(width, height);
    picture_.ResizeKeep(std::max(width - 2 * Border, 0), std::max(height - 2 * Border, 0));
}

void BoardView::SetWidth(int width) { Fit(width, height()); }
void BoardView::SetHeight(int height) { Fit(width(), height); }

void BoardView::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);  // the sunken border
    const QImage view = SurfaceView(picture_);
    if (view.isNull()) return;
    QPainter painter(this);
    // Whole pixels at any device pixel ratio: the board keeps its logical
    // size and is scaled without smoothing, so tiles stay crisp.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(QRect(Border, Border, view.width(), view.height()), view);
}

void BoardView::mouseReleaseEvent(QMouseEvent* event) {
    // The sunken border is the frame's, not the board's: a release on it is
    // no release on the board. One beyond the widget, after a press on the
    // board, still is (the board has the mouse until the release).
    const QPointF p = event->position();
    const bool inWidget = p.x() >= 0 && p.y() >= 0 && p.x() < width() && p.y() < height();
    const bool inArea = p.x() >= Border && p.y() >= Border && p.x() < width() - Border && p.y() < height() - Border;
    if (inWidget && !inArea) return;
    const QPointF at = p - QPointF(Border, Border);
    emit MouseUp(ButtonCode(event->button()), ShiftState(event->modifiers()), static_cast<float>(at.x()),
                 static_cast<float>(at.y()));
}
