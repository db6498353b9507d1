// Background painting: the solid colour, or the picture in picSkin
// stretched over the board, centred and cropped, or tiled.
#include "modTile.h"

namespace {

void PaintSolid(Surface& board, int32_t colour) {
    board.Line(0, 0, static_cast<float>(board.ScaleWidth()), static_cast<float>(board.ScaleHeight()),
               static_cast<uint32_t>(colour), LineFlagFilledBox);
}

// Copies the picture from the board's top-left corner, column by column and
// top to bottom within a column; the last column and row reach past the
// edge and are cut by it.
void PaintTiled(Surface& board, const Surface& skin) {
    const int32_t W = board.ScaleWidth(), H = board.ScaleHeight();
    const int32_t w = skin.ScaleWidth(), h = skin.ScaleHeight();
    const int32_t columns = W / w;
    int32_t x = 0;
    for (int32_t column = 0; column <= columns; ++column) {
        const int32_t rows = H / h;
        int32_t y = 0;
        for (int32_t row = 0; row <= rows; ++row) {
            BitBlt(board, x, y, w, h, skin, 0, 0, SRCCOPY);
            y += h;
        }
        x += w;
    }
}

}  // namespace

// The sizes are worked in 32 bits: equal to the 16-bit results for every
// picture that fits them, and no overflow for one that does not.
void modTile::DrawBackground() {
    Surface& board = *picBoard;
    if (!BackgroundIsImage) {
        board.DrawMode = vbCopyPen;
        board.FillStyle = 0;
        PaintSolid(board, BackgroundColour);
        return;
    }
    const Surface& skin = *picSkin;
    const int32_t h = skin.ScaleHeight();
    const int32_t w = skin.ScaleWidth();
    if (w <= 0 || h <= 0) {
        // No picture to show: the solid colour rather than what the last
        // pass left on the board, with the draw settings left as they were.
        const int16_t mode = board.DrawMode;
        board.DrawMode = vbCopyPen;
        PaintSolid(board, BackgroundColour);
        board.DrawMode = mode;
        return;
    }
    const int32_t W = board.ScaleWidth(), H = board.ScaleHeight();
    if (ImageStretch) {
        // The same pixels as stretching straight onto the board, which the
        // whole-board copy covers just as fully.
        if (stretchedFrom_ != &skin || stretchedVersion_ != skin.Version() || stretched_.ScaleWidth() != W ||
            stretched_.ScaleHeight() != H) {
            stretched_.Resize(W, H);
            StretchBlt(stretched_, 0, 0, W, H, skin, 0, 0, w, h, SRCCOPY);
            stretchedFrom_ = &skin;
            stretchedVersion_ = skin.Version();
        }
        BitBlt(board, 0, 0, W, H, stretched_, 0, 0, SRCCOPY);
    } else if (W < w && H < h) {
        // The middle of the picture; an odd difference cuts one more pixel
        // on the right (or at the bottom) than on the left (or at the top).
        BitBlt(board, 0, 0, W, H, skin, (w - W) / 2, (h - H) / 2, SRCCOPY);
    } else {
        PaintTiled(board, skin);
    }
}
