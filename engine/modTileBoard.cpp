// The board model: matching and open-tile rules, the cell grid, the list of
// open tiles and the count of matching open pairs.
#include <cstddef>
#include <string>

#include "modTile.h"

modTile::modTile(EngineHost& host, RandomSource& random, Clock& clock)
    : picBoard(&blank_),
      picMask(&blank_),
      picPaint(&blank_),
      picSkin(&blank_),
      TileSetDC(&blank_),
      host_(host),
      random_(random),
      clock_(clock) {}

namespace {
bool IsFlower(uint8_t face) { return face >= FirstFlower && face <= LastFlower; }
bool IsSeason(uint8_t face) { return face >= FirstSeason && face <= LastSeason; }
}  // namespace

bool FacesMatch(uint8_t fa, uint8_t fb) {
    if (fa == fb) return true;
    if (IsFlower(fa)) return IsFlower(fb);
    if (IsSeason(fa)) return IsSeason(fb);
    return false;
}

bool modTile::TilesMatch(int16_t a, int16_t b) const {
    return FacesMatch(Tiles[a].Face, Tiles[b].Face);
}

int16_t modTile::TileAt(int16_t col, int16_t row, int16_t layer) const {
    for (int16_t i = 1; i <= 144; ++i) {
        const TileRec& t = Tiles[i];
        if (t.Col == col && t.Row == row && t.Layer == layer) return i;
    }
    return -1;
}

void modTile::LayCells(CellGrid& grid) const {
    // Each cell of the layout's columns and rows, on all eleven layers, takes
    // what TileAt gives for it: the lowest index whose record names the cell,
    // or -1. One pass over the records from the highest index down gives the
    // same grid as asking TileAt cell by cell, at a fraction of the cost.
    for (int16_t col = 0; col <= MaxCol; ++col)
        for (int16_t row = 0; row <= MaxRow; ++row)
            for (int16_t layer = 0; layer <= 10; ++layer) grid[col][row][layer] = -1;
    for (int16_t i = 144; i >= 1; --i) {
        const TileRec& t = Tiles[i];
        if (t.Col <= MaxCol && t.Row <= MaxRow && t.Layer <= 10) grid[t.Col][t.Row][t.Layer] = i;
    }
}

void modTile::BuildBoard() {
    LayCells(Board);
    MaxLayer = 0;
    for (int16_t i = 1; i <= 144; ++i) {
        const TileRec& t = Tiles[i];
        if (t.Col <= MaxCol && t.Row <= MaxRow && t.Layer <= 10 && t.Layer > MaxLayer) MaxLayer = t.Layer;
    }
}

bool modTile::FreeLeft(int16_t i) const {
    const TileRec& t = Tiles[i];
    if (t.Col == 0) return true;
    return Board[t.Col - 1][t.Row][t.Layer] < 0;
}

bool modTile::FreeRight(int16_t i) const {
    const TileRec& t = Tiles[i];
    if (t.Col == MaxCol) return true;
    return Board[t.Col + 1][t.Row][t.Layer] < 0;
}

bool modTile::FreeAbove(int16_t i) const {
    const TileRec& t = Tiles[i];
    if (t.Layer == 10) return true;
    return Board[t.Col][t.Row][t.Layer + 1] < 0;
}

bool modTile::IsOpen(int16_t i) const {
    const TileRec& t = Tiles[i];
    if (Board[t.Col][t.Row][t.Layer] < 0) return false;
    const bool left = FreeLeft(i);
    const bool right = FreeRight(i);
    const bool above = FreeAbove(i);
    return (left || right) && above;
}

void modTile::UpdateOpenTiles() {
    OpenCount = 0;
    size_t next = 1;
    for (int16_t i = 1; i <= 144; ++i) {
        // The list has room for 99 tiles and its end mark; no layout opens
        // more than 96, and a board that would is cut short, never overrun.
        if (IsOpen(i) && next < OpenTiles.size() - 1) {
            OpenTiles[next++] = i;
            ++OpenCount;
        }
    }
    OpenTiles[next] = -1;
    CountMatches();
    host_.SetTilesCaption(std::to_string(TilesLeft));
    host_.SetMatchCaption(std::to_string(MatchesLeft));
}

void modTile::CountMatches() {
    MatchesLeft = 0;
    for (int16_t i = 1; i <= OpenCount; ++i)
        for (int16_t j = i + 1; j <= OpenCount; ++j)
            if (TilesMatch(OpenTiles[i], OpenTiles[j])) ++MatchesLeft;
}
