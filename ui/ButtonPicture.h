// The pictures of the picture buttons, loaded so that they sit on the
// button's face whatever the style paints there.
#pragma once

#include <QImage>
#include <QPixmap>
#include <QString>

// The picture with its light-grey background made clear: every pixel of the
// grey in the picture's corner becomes transparent, as the button face's
// colour always has on a picture button. A picture whose corner is not a
// light grey has no background and is kept whole.
QImage ClearButtonBackground(const QImage& picture);

QPixmap ButtonPicture(const QString& path);
