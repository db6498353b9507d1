// Enlarged pictures for looking at the art: each sheet as its faces would
// lie on the board, tile beside tile, painted the way the game paints them.
#pragma once

#include <QImage>

// Lays faces 0-34 and 36-43 of `sheet` on a green board, 9 to a row, using
// the sheet's own body and mask.
QImage BoardOfFaces(const QImage& sheet);
