// What the game's small boxes share in their look: the window icon, the
// desktop's sans-serif font, and colours written &HBBGGRR (BgrColour).
#pragma once

#include <QFont>

#include "BgrColour.h"

class QWidget;

// The game's icon on a box's frame, and the boxes' own font, the desktop's
// sans-serif at 8.25 points, which the controls' sizes were made for.
void DressBox(QWidget& box);

// The desktop's default sans-serif font at the given size and weight.
QFont SansSerifFont(qreal points, bool bold);
