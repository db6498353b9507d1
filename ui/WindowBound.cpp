#include "WindowBound.h"

#include <QWidget>

QSize ScreenBound(const QList<QSize>& screens) {
    QSize bound(0, 0);
    for (const QSize& screen : screens) bound = bound.expandedTo(screen);
    return bound.isEmpty() ? QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX) : bound;
}

QSize WindowBound(QSize screens, QSize size, QSize bound, bool maximised) {
    // A maximised window's size is the window manager's, and it refits the
    // window to a screen that shrinks. A bound brought below the window's
    // size before then makes the window resize itself, which the window
    // manager takes as the window leaving its maximised state: the bound
    // comes down once the window manager has refitted it, and never rises
    // past the bound it had.
    if (maximised) return screens.expandedTo(size.boundedTo(bound));
    return screens;
}
