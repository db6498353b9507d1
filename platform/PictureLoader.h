// Loads the background picture the player chose: a bitmap, GIF or JPEG file.
#pragma once

#include <QImage>
#include <QString>

// The largest picture we agree to hold: no side above 32767 pixels and no
// more pixels than fit in 256 MiB at four bytes each.
constexpr int MaxPictureSide = 32767;
constexpr qint64 MaxPicturePixels = qint64(64) * 1024 * 1024;

constexpr bool PictureSizeIsSafe(QSize size) {
    return size.width() > 0 && size.height() > 0 && size.width() <= MaxPictureSide && size.height() <= MaxPictureSide &&
           qint64(size.width()) * size.height() <= MaxPicturePixels;
}

// The most scans we agree to decode in a JPEG, and the most work all its
// scans may take together, counted as the decoder reads: a unit for each
// block of eight by eight pixels each scan covers (each scan is a pass over
// every block of its components), three for each byte of arithmetic-coded
// data and one for each sixteen bytes of Huffman-coded data (about 45, 140
// and 65 ns here). Twelve passes over the largest grey picture: the
// costliest file accepted at the largest size decodes in well under five
// times a one-scan colour file of that size. Real files have up to ten
// scans, most of them over one component, and photos of the largest size
// under 100 MB of Huffman-coded data.
constexpr int MaxJpegScans = 256;
constexpr qint64 MaxJpegWork = 12 * MaxPicturePixels / 64;
constexpr qint64 JpegArithmeticByteWork = 3;
constexpr qint64 JpegHuffmanBytesPerWork = 16;

// The most a JPEG's decoding may hold beyond the picture's own pixels: a
// file of more than one scan keeps every coefficient, two bytes each, until
// its last scan is in (a 12-megapixel photo about 36 MB, the largest colour
// picture 384). Grey is decoded at one byte a pixel into the picture's own
// buffer, whose other three bytes a pixel are left for its coefficients.
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
QImage LoadPicture(const QString& path);
