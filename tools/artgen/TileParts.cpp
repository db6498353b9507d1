#include "TileParts.h"

#include <QPainter>

#include "Colours.h"
#include "ScannedLook.h"

bool OutsideTile(int x, int y) {
    if (y <= 3) return x < 4 - y;
    if (y >= 43) return x > 82 - y;
    return false;
}

QImage TileMask() {
    QImage mask(kTileW, kTileH, QImage::Format_RGB32);
    for (int y = 0; y < kTileH; ++y)
        for (int x = 0; x < kTileW; ++x) mask.setPixel(x, y, OutsideTile(x, y) ? colour::White : colour::Black);
    return mask;
}

namespace {

// The faint lighter dots of the cream face: a sparse, even scatter.
bool CreamDotAt(int x, int y) { return (x * 7 + y * 11) % 19 == 0 && (x + y) % 2 == 0; }

QRgb CreamFacePixel(int x, int y) {
    if (y == 0 || x == kFaceW - 1) return colour::Olive;
    if (x == 0 || y == kFaceH - 1) return colour::White;
    return CreamDotAt(x, y) ? colour::CreamDot : colour::Cream;
}

}  // namespace

QImage TileBody() {
    QImage body(kTileW, kTileH, QImage::Format_RGB32);
    for (int y = 0; y < kTileH; ++y)
        for (int x = 0; x < kTileW; ++x) {
            QRgb c;
            if (OutsideTile(x, y)) c = colour::Black;
            else if (x >= 4 && y <= 42) c = CreamFacePixel(x - 4, y);
            else if (x == 0 || y == 46 || x == 4 - y || x == 82 - y) c = colour::DarkTeal;
            else c = colour::Olive;
            body.setPixel(x, y, c);
        }
    return body;
}

QImage BlankFace(FaceLook look) {
    if (look == FaceLook::PaleGrey) return ScannedBlankFace();
    QImage face(kFaceW, kFaceH, QImage::Format_RGB32);
    for (int y = 0; y < kFaceH; ++y)
        for (int x = 0; x < kFaceW; ++x) {
            const bool edge = y == 0 || x == kFaceW - 1;
            const bool lit = x == 0 || y == kFaceH - 1;
            QRgb c = 0;
            switch (look) {
            case FaceLook::Cream: c = CreamFacePixel(x, y); break;
            case FaceLook::PaleGrey: break;
            case FaceLook::Yellow: c = edge ? qRgb(128, 128, 0) : lit ? colour::White : qRgb(255, 255, 128); break;
            case FaceLook::White: c = edge ? qRgb(160, 160, 150) : colour::White; break;
            }
            face.setPixel(x, y, c);
        }
    return face;
}

QImage AssembleSheet(SheetSize size, const std::function<QImage(int)>& faceAt) {
    QImage sheet(size.width, size.height, QImage::Format_RGB32);
    sheet.fill(colour::Black);
    QPainter p(&sheet);
    for (int f = 0; f <= 43; ++f) {
        if (f == 35) continue;
        p.drawImage((f % 9) * kFaceW, (f / 9) * kFaceH, faceAt(f));
    }
    p.drawImage(297, 132, TileBody());
    p.drawImage(297, 182, TileMask());
    return sheet;
}
