// Tile painting: one tile, the mark of a selected or hinted tile, and the
// three passes over the whole board.
#include <algorithm>

#include "modTile.h"

namespace {

constexpr uint32_t HighlightColour = 0xFFFFFF;

// Where face f lies on a tile sheet: rows of nine cells.
int32_t FaceLeft(uint8_t face) { return (face % 9) * CellWidth; }
int32_t FaceTop(uint8_t face) { return (face / 9) * CellHeight; }

// Walks the cells from layer `fromLayer` up, each layer row by row from the
// top and each row from the right, so every tile lies over those painted
// before it: its left strip under its left neighbour's face, its bottom
// strip under the face of the tile in the next row. tileOf gives the tile
// of a cell or a negative number for none.
template <class TileOf, class Paint>
void EachCell(const modTile& m, int fromLayer, TileOf tileOf, Paint paint) {
    const int lastLayer = std::min<int>(m.MaxLayer, BoardLayers - 1);
    const int lastRow = std::min<int>(m.MaxRow, BoardRows - 1);
    const int lastCol = std::min<int>(m.MaxCol, BoardCols - 1);
    for (int layer = std::max(fromLayer, 0); layer <= lastLayer; ++layer)
        for (int row = 0; row <= lastRow; ++row)
            for (int col = lastCol; col >= 0; --col) {
                const int16_t i = tileOf(static_cast<int16_t>(col), static_cast<int16_t>(row),
                                         static_cast<int16_t>(layer));
                if (i >= 0 && i <= 144) paint(i);
            }
}

}  // namespace

void modTile::DrawTile(int16_t i) {
    TileRec& t = Tiles[i];
    // Stored before anything is painted: the shadow reads them.
    t.X = static_cast<int16_t>(t.Col * CellWidth + OffsetX + LayerShift * t.Layer);
    t.Y = static_cast<int16_t>(t.Row * CellHeight + OffsetY - LayerShift * t.Layer);
    RedrawTile(i);
}

// The shadow first, then the tile's outline cut into the board by the mask,
// the blank tile with its side strips laid into it, and the face on top.
void modTile::RedrawTile(int16_t i) {
    DrawTileShadow(i);
    const TileRec& t = Tiles[i];
    Surface& board = *picBoard;
    BitBlt(board, t.X - LayerShift, t.Y, TileWidth, TileHeight, *picMask, 0, 0, SRCAND);
    BitBlt(board, t.X - LayerShift, t.Y, TileWidth, TileHeight, *picPaint, 0, 0, SRCPAINT);
    BitBlt(board, t.X, t.Y, CellWidth, CellHeight, *TileSetDC, FaceLeft(t.Face), FaceTop(t.Face), SRCCOPY);
}

// The face shown inverted over white; the tiles of the layers above are
// painted again so that whatever overlaps it covers the mark.
void modTile::HighlightTile(int16_t i) {
    const TileRec& t = Tiles[i];
    Surface& board = *picBoard;
    board.DrawMode = vbCopyPen;
    board.Line(t.X, t.Y, static_cast<float>(t.X + CellWidth - 1), static_cast<float>(t.Y + CellHeight - 1),
               HighlightColour, LineFlagFilledBox);
    BitBlt(board, t.X, t.Y, CellWidth, CellHeight, *TileSetDC, FaceLeft(t.Face), FaceTop(t.Face), SRCINVERT);
    EachCell(*this, t.Layer + 1, [this](int16_t c, int16_t r, int16_t l) { return Board[c][r][l]; },
             [this](int16_t k) { RedrawTile(k); });
}

// Every mark goes at once: the whole board is painted again.
void modTile::UnhighlightTile(int16_t) { RefreshBoard(); }

// Right after a new board is built: every tile of the layout, found by its
// cell in Tiles, placed and painted.
void modTile::DrawBoard() {
    DrawBackground();
    CellGrid laid;
    LayCells(laid);
    EachCell(*this, 0, [&laid](int16_t c, int16_t r, int16_t l) { return laid[c][r][l]; },
             [this](int16_t k) { DrawTile(k); });
    UpdateOpenTiles();
}

// The tiles on the board, where they already stand.
void modTile::RefreshBoard() {
    DrawBackground();
    EachCell(*this, 0, [this](int16_t c, int16_t r, int16_t l) { return Board[c][r][l]; },
             [this](int16_t k) { RedrawTile(k); });
    UpdateOpenTiles();
}

// The tiles on the board, placed again for new offsets.
void modTile::RedrawBoard() {
    DrawBackground();
    EachCell(*this, 0, [this](int16_t c, int16_t r, int16_t l) { return Board[c][r][l]; },
             [this](int16_t k) { DrawTile(k); });
    UpdateOpenTiles();
}
