// The small pictures: the seven button pictures, the About box's tile and the
// application icon, drawn pixel by pixel, since at 16 x 16 every pixel counts.
#pragma once

#include <QImage>
#include <QString>

struct ButtonPicture {
    QString file;    // under buttons/
    int bits;        // 4 or 24
    QImage image;
};

std::vector<ButtonPicture> ButtonPictures();
QImage AboutTile();      // 32 x 32, at most 16 colours
QImage AppIcon();        // 16 x 16, at most 16 colours; transparent outside the tile
