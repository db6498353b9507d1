#include "BgrColour.h"

QColor ColourFromBgr(int32_t bgr) {
    const auto v = static_cast<uint32_t>(bgr);
    return QColor(int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF));
}

int32_t BgrFromColour(const QColor& colour) {
    return int32_t(colour.red() | (colour.green() << 8) | (colour.blue() << 16));
}
