#include "DialogPlacement.h"

#include <QWidget>

int CentredEdgeHalfTwips(int mainEdge, int mainSize, int boxSize, Halving halving) {
    const int difference = mainSize - boxSize;
    if (halving == Halving::KeepHalf) return 2 * mainEdge + difference;
    // Floor toward minus infinity, also for a box larger than the main window.
    const int half = difference >= 0 ? difference / 2 : -((-difference + 1) / 2);
    return 2 * (mainEdge + half);
}

int HalfTwipsToPixel(int halfTwips) {
    const int unit = 2 * TwipsPerPixel;
    const int shifted = halfTwips + TwipsPerPixel;
    return shifted >= 0 ? shifted / unit : -((-shifted + unit - 1) / unit);
}

QPoint CentredOver(const QWidget& mainWindow, QSize boxInner, Halving halving) {
    const QRect outer = mainWindow.frameGeometry();
    const QSize frame = outer.size() - mainWindow.geometry().size();
    const QSize boxOuter = boxInner + frame;
    const int t = TwipsPerPixel;
    const int left = CentredEdgeHalfTwips(outer.x() * t, outer.width() * t, boxOuter.width() * t, halving);
    const int top = CentredEdgeHalfTwips(outer.y() * t, outer.height() * t, boxOuter.height() * t, halving);
    return QPoint(HalfTwipsToPixel(left), HalfTwipsToPixel(top));
}

void CentreOver(QWidget& box, const QWidget* mainWindow, Halving halving) {
    if (mainWindow == nullptr) return;
    box.move(CentredOver(*mainWindow, box.size(), halving));
}
