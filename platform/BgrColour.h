// Colours as the game writes them, &HBBGGRR, and as Qt holds them.
#pragma once

#include <QColor>
#include <cstdint>

// &HBBGGRR to a colour and back; the top byte is ignored.
QColor ColourFromBgr(int32_t bgr);
int32_t BgrFromColour(const QColor& colour);
