#include "Preview.h"

#include "TileParts.h"

namespace {

// The game's tile painting: the mask ANDed in, the body ORed in, then the
// face copied over the face area.
void PaintTile(QImage& board, const QImage& sheet, int face, int x, int y) {
    for (int dy = 0; dy < kTileH; ++dy)
        for (int dx = 0; dx < kTileW; ++dx) {
            const int bx = x - 4 + dx, by = y + dy;
            const QRgb mask = sheet.pixel(297 + dx, 182 + dy), body = sheet.pixel(297 + dx, 132 + dy);
            board.setPixel(bx, by, ((board.pixel(bx, by) & mask) | body) | 0xFF000000u);
        }
    for (int dy = 0; dy < kFaceH; ++dy)
        for (int dx = 0; dx < kFaceW; ++dx)
            board.setPixel(x + dx, y + dy, sheet.pixel((face % 9) * kFaceW + dx, (face / 9) * kFaceH + dy));
}

}  // namespace

QImage BoardOfFaces(const QImage& source) {
    const QImage sheet = source.convertToFormat(QImage::Format_RGB32);
    const int rows = 5;
    QImage board(9 * kFaceW + 24, rows * kFaceH + 24, QImage::Format_RGB32);
    board.fill(qRgb(0, 110, 60));
    for (int r = 0; r < rows; ++r)
        for (int c = 8; c >= 0; --c) {
            const int face = r * 9 + c;
            if (face == 35 || face == 44) continue;
            PaintTile(board, sheet, face, 16 + c * kFaceW, 8 + r * kFaceH);
        }
    return board;
}
