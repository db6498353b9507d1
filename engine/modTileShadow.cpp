// The shadow a raised tile casts to its right and below onto the layer
// beneath it, and the six tests of the cells it may fall on.
#include "modTile.h"

namespace {

constexpr uint32_t ShadowColour = 0xC0C0C0;

// A cell counts as empty when it holds no tile. The tests' guards keep every
// cell they read on the grid; one off it (never met in play) counts as full.
bool CellEmpty(const int16_t (&board)[BoardCols][BoardRows][BoardLayers], int col, int row, int layer) {
    if (col < 0 || col >= BoardCols || row < 0 || row >= BoardRows || layer < 0 || layer >= BoardLayers) return false;
    return board[col][row][layer] < 0;
}

}  // namespace

bool modTile::EmptyLowerRightUp(int16_t i) const {
    const TileRec& t = Tiles[i];
    if (t.Col == MaxCol || t.Row == 0 || t.Layer == 0) return false;
    return CellEmpty(Board, t.Col + 1, t.Row - 1, t.Layer - 1);
}

bool modTile::EmptyLowerRight(int16_t i) const {
    const TileRec& t = Tiles[i];
    if (t.Col == MaxCol || t.Layer == 0) return false;
    return CellEmpty(Board, t.Col + 1, t.Row, t.Layer - 1);
}

bool modTile::EmptyDown(int16_t i) const {
    const TileRec& t = Tiles[i];
    if (t.Row == MaxRow) return false;
    return CellEmpty(Board, t.Col, t.Row + 1, t.Layer);
}

bool modTile::EmptyLowerDown(int16_t i) const {
    const TileRec& t = Tiles[i];
    if (t.Row == MaxRow || t.Layer == 0) return false;
    return CellEmpty(Board, t.Col, t.Row + 1, t.Layer - 1);
}

bool modTile::EmptyRightDown(int16_t i) const {
    const TileRec& t = Tiles[i];
    if (t.Col == MaxCol || t.Row == MaxRow) return false;
    return CellEmpty(Board, t.Col + 1, t.Row + 1, t.Layer);
}

bool modTile::EmptyLowerRightDown(int16_t i) const {
    const TileRec& t = Tiles[i];
    if (t.Col == MaxCol || t.Row == MaxRow || t.Layer == 0) return false;
    return CellEmpty(Board, t.Col + 1, t.Row + 1, t.Layer - 1);
}

// Each piece is drawn only where the tile's own layer leaves the spot open
// and a tile of the layer below is there to catch it. The mask pen keeps
// the two high bits of each channel, so a shadow drawn twice is drawn once.
void modTile::DrawTileShadow(int16_t i) {
    const TileRec& t = Tiles[i];
    if (t.Layer == 0) return;
    Surface& board = *picBoard;
    board.DrawMode = vbMaskPen;
    const int x = t.X, y = t.Y;
    const auto line = [&](int x1, int y1, int x2, int y2) {
        board.Line(static_cast<float>(x + x1), static_cast<float>(y + y1), static_cast<float>(x + x2),
                   static_cast<float>(y + y2), ShadowColour, LineFlagLine);
    };
    const auto box = [&](int x1, int y1, int x2, int y2) {
        board.Line(static_cast<float>(x + x1), static_cast<float>(y + y1), static_cast<float>(x + x2),
                   static_cast<float>(y + y2), ShadowColour, LineFlagFilledBox);
    };
    if (FreeRight(i)) {
        if (!EmptyLowerRightUp(i)) {  // top corner, stepped
            line(37, 1, 37, 3);
            line(38, 2, 38, 3);
            line(39, 3, 39, 3);
        }
        if (!EmptyLowerRight(i)) box(33, 4, 39, 46);  // right strip
    }
    if (EmptyRightDown(i) && !EmptyLowerRightDown(i)) box(33, 47, 39, 49);  // corner block
    if (EmptyDown(i) && !EmptyLowerDown(i)) {  // bottom edge, stepped
        line(-3, 47, 33, 47);
        line(-2, 48, 33, 48);
        line(-1, 49, 33, 49);
    }
}
