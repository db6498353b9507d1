// One tile of the layout.
#pragma once

#include <array>
#include <cstdint>

struct TileRec {
    uint8_t Col = 0;    // cell column, 0 to 20
    uint8_t Row = 0;    // cell row, 0 to 20
    uint8_t Layer = 0;  // layer, 0 = bottom, 0 to 10
    uint8_t Face = 0;   // face number, 0 to 42
    int16_t X = 0;      // pixel x of the left edge of the face on the board
    int16_t Y = 0;      // pixel y of the top edge of the face
};

// Tiles(0 To 144): entries 1 to 144 are the game's tiles, entry 0 holds none.
using TileArray = std::array<TileRec, 145>;

// Geometry of a cell and of a tile.
constexpr int16_t CellWidth = 37;
constexpr int16_t CellHeight = 43;
constexpr int16_t LayerShift = 4;
constexpr int16_t TileWidth = 41;   // face plus the 4-pixel side strip
constexpr int16_t TileHeight = 47;  // face plus the 4-pixel bottom strip

// Extents of the cell grid Board(0 To 20, 0 To 20, 0 To 10).
constexpr int BoardCols = 21;
constexpr int BoardRows = 21;
constexpr int BoardLayers = 11;
