// The board picture box: shows the engine's board surface inside a sunken
// two-pixel border, takes the keyboard focus on a click, and reports the
// release of any mouse button over the board (not over the border).
#pragma once

#include <QFrame>

#include "Surface.h"

class BoardView final : public QFrame {
    Q_OBJECT
public:
    // The border on each side; the drawing area is twice this smaller.
    static constexpr int Border = 2;

    BoardView(Surface& picture, QWidget* parent);

    // Width and Height as the window sets them: the widget and its persistent
    // picture change together, the picture keeping what still fits and
    // taking the back colour in any new part.
    void SetWidth(int width);
    void SetHeight(int height);

    int ScaleWidth() const { return picture_.ScaleWidth(); }
    int ScaleHeight() const { return picture_.ScaleHeight(); }

    // Puts the persistent picture on the screen: later, or now.
    void Refresh() { update(); }
    void RefreshNow() { repaint(); }

signals:
    // Button, shift state, and the position in the drawing area's pixels.
    void MouseUp(int button, int shift, float x, float y);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void Fit(int width, int height);

    Surface& picture_;
};
