// The bound on the main window's size. Its pictures cost eight bytes a
// pixel: a size a tool or a window manager asks for past the screens would
// cost gigabytes for nothing anyone can see.
#pragma once

#include <QList>
#include <QSize>

// Each direction's largest screen: the widest screen's width and the
// tallest one's height, so that a tall screen beside a wide one is filled
// too (no screen: no bound).
QSize ScreenBound(const QList<QSize>& screens);

// The window's bound, given the screens' bound, the window's size, its
// bound until now and whether the window manager has it maximised (or full
// screen).
QSize WindowBound(QSize screens, QSize size, QSize bound, bool maximised);
