// Loads the background picture the player chose: a bitmap, GIF or JPEG file.
#pragma once

#include <QImage>
#include <QString>

// The largest picture we agree to hold: no side above 32767 pixels and no
// more pixels than fit in 256 MiB at four bytes each.
constexpr int MaxPictureSide = 32767;
constexpr qint64 MaxPicturePixels = qint64(64) * 1024 * 1024;

// The most scans we agree to decode in a JPEG, and the most pixels all its
// scans may cover together (64 scans of the largest picture, about half a
// second of decoding): each scan is a pass over the whole picture, and real
// files have about ten.
constexpr int MaxJpegScans = 256;
constexpr qint64 MaxJpegScanPixels = 64 * MaxPicturePixels;

// The most a JPEG's decoding may hold beyond the picture's own pixels: a
// progressive file keeps every coefficient, two bytes each, until its last
// scan (a 12-megapixel photo about 36 MB, the largest colour picture 384).
constexpr qint64 MaxJpegWorkingBytes = qint64(64) * 1024 * 1024;

// The most of a picture file that is ever read: its headers within the
// first 16 MiB, and the whole picture within eight bytes more for each pixel
// its header declares. A bitmap needs four bytes a pixel at most, a GIF
// under two, a JPEG of noise at the finest quality about three. Whatever
// lies past the bound reads as the file's end, so a tail of gigabytes costs
// nothing (the file of the largest picture is read up to 528 MiB).
constexpr qint64 MaxPictureHeadBytes = qint64(16) * 1024 * 1024;
constexpr qint64 MaxPictureBytesPerPixel = 8;
constexpr qint64 PictureReadLimit(QSize size) {
    return MaxPictureHeadBytes + MaxPictureBytesPerPixel * size.width() * size.height();
}

// The picture in the file at `path`, the format told by the file's content,
// not its name, as an RGBX8888 image with unpadded rows. An empty path gives
// a null image; so does a file that is missing, not a regular file (a FIFO,
// a device, a directory), damaged, not a bitmap, GIF or JPEG, too large to
// hold (its size is read from the header and checked before anything is
// decoded), a JPEG of more scans or more coefficients than the bounds
// above, or one whose picture needs more of the file than the read bound
// above. The pixels are
// held once: the memory a load takes at its peak is the picture's own four
// bytes a pixel and little more, whatever form the file's pixels take.
//
// A bitmap (a file that begins "BM") is read by our own decoder in one pass
// from its start, never going back: its headers and colour table, then its
// pixels straight into the picture, each checked as it is read. A bitmap
// whose headers are cut short or hold values no bitmap has is refused; one
// whose pixels are cut short, or whose runs skip pixels or end early, shows
// black where they are missing, and so does a pixel naming a colour past
// the end of its table. Nothing of what memory held before shows, so a
// file gives the same pixels on every load.
QImage LoadPicture(const QString& path);
