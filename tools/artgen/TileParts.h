// The blank tile body and its mask (shared by every sheet), the blank face
// of each look, and the assembly of a sheet from its faces.
#pragma once

#include <QImage>
#include <functional>

inline constexpr int kFaceW = 37;
inline constexpr int kFaceH = 43;
inline constexpr int kTileW = 41;
inline constexpr int kTileH = 47;

// True where the tile's outline leaves the 41 x 47 box: the two cut corners.
bool OutsideTile(int x, int y);

QImage TileMask();
QImage TileBody();

enum class FaceLook { Cream, PaleGrey, Yellow, White };

// A face with nothing on it yet, with the edge lines that part it from its
// neighbours on the board.
QImage BlankFace(FaceLook look);

struct SheetSize {
    int width;
    int height;
};

// Lays faces 0-34 and 36-43 into the 9-per-row grid, then the body and the
// mask below x = 296, on black.
QImage AssembleSheet(SheetSize size, const std::function<QImage(int face)>& faceAt);
