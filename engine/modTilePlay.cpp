// Play: the open tile under a pixel, taking a matched pair off the board,
// and putting the last removed pair back.
#include "modTile.h"

int16_t modTile::HitTest(int16_t x, int16_t y) const {
    // Boxes of neighbours overlap by a pixel column (and raised tiles by
    // more); the last hit in list order, the highest index, wins.
    int16_t hit = -1;
    for (size_t n = 1; n < OpenTiles.size() && OpenTiles[n] >= 0; ++n) {
        const TileRec& t = Tiles[OpenTiles[n]];
        if (t.X <= x && x <= t.X + CellWidth && t.Y <= y && y <= t.Y + CellHeight)
            hit = OpenTiles[n];
    }
    return hit;
}

void modTile::RemovePair(int16_t a, int16_t b) {
    // Only two different tiles that are both on the board make a pair; any
    // other call would break the count of tiles left against the history.
    const auto onBoard = [this](int16_t i) {
        if (i < 1 || i > 144) return false;
        const TileRec& t = Tiles[i];
        return Board[t.Col][t.Row][t.Layer] == i;
    };
    if (a == b || !onBoard(a) || !onBoard(b)) return;

    const TileRec& ta = Tiles[a];
    const TileRec& tb = Tiles[b];
    Board[ta.Col][ta.Row][ta.Layer] = -1;
    Board[tb.Col][tb.Row][tb.Layer] = -1;
    RefreshBoard();
    TilesLeft -= 2;
    PushUndo(a, b);
    UpdateOpenTiles();  // the counters now show the lowered TilesLeft
}

void modTile::PushUndo(int16_t a, int16_t b) {
    UndoStack[++UndoTop] = a;
    UndoStack[++UndoTop] = b;
}

void modTile::UndoPair() {
    if (UndoTop < 2) return;  // nothing to put back
    const int16_t second = UndoStack[UndoTop--];
    const int16_t first = UndoStack[UndoTop--];
    TilesLeft += 2;
    for (const int16_t i : {second, first}) {
        // Back to its own cell, placed for the offsets in force now: the
        // board may have been re-centred since the pair was removed.
        TileRec& t = Tiles[i];
        Board[t.Col][t.Row][t.Layer] = i;
        t.X = static_cast<int16_t>(t.Col * CellWidth + OffsetX + LayerShift * t.Layer);
        t.Y = static_cast<int16_t>(t.Row * CellHeight + OffsetY - LayerShift * t.Layer);
    }
    RefreshBoard();
    UpdateOpenTiles();
}
