// The faces of the two traditional sets ("MahJongg" and "Scanned Tiles"):
// circles, bamboo, characters, winds, dragons, flowers and seasons. One
// drawing, two looks: flat inks on cream, or inks cut into a lit pale grey face.
#pragma once

#include <QImage>
#include <QString>
#include <array>

#include "TileParts.h"

struct ClassicStyle {
    FaceLook look;
    bool carved;                            // the photographic look
    bool cornerMarks;                       // small digits on characters, letters on winds
    QRgb blue, green, red;
    QString bird;                           // bamboo 1
    std::array<QString, 4> flowers;         // pictures of faces 27-30
    std::array<QString, 4> flowerMarks;     // written in their corner ("" for none)
    std::array<QString, 4> seasons;         // pictures of faces 36-39
    std::array<QString, 4> seasonMarks;
};

QImage ClassicFace(int face, const ClassicStyle& style);
