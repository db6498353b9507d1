// Loads the background picture the player chose: a bitmap, GIF or JPEG file.
#pragma once

#include <QImage>
#include <QString>

// The largest picture we agree to hold: no side above 32767 pixels and no
// more pixels than fit in 256 MiB at four bytes each.
constexpr int MaxPictureSide = 32767;
constexpr qint64 MaxPicturePixels = qint64(64) * 1024 * 1024;

// The picture in the file at `path`, the format told by the file's content,
// not its name, as an RGBX8888 image. An empty path gives a null image; so
// does a file that is missing, not a regular file (a FIFO, a device, a
// directory), damaged, not a bitmap, GIF or JPEG, or too large to hold (its
// size is read from the header and checked before anything is decoded).
QImage LoadPicture(const QString& path);
