// Loads the background picture the player chose: a bitmap, GIF or JPEG file.
#pragma once

#include <QImage>
#include <QString>

// The largest picture we agree to hold: no side above 32767 pixels and no
// more pixels than fit in 256 MiB at four bytes each.
constexpr int MaxPictureSide = 32767;
constexpr qint64 MaxPicturePixels = qint64(64) * 1024 * 1024;

// Whether a picture of `size` is one we agree to hold.
constexpr bool PictureSizeIsSafe(QSize size) {
    return size.width() > 0 && size.height() > 0 && size.width() <= MaxPictureSide && size.height() <= MaxPictureSide &&
           qint64(size.width()) * size.height() <= MaxPicturePixels;
}

// The most scans we agree to decode in a JPEG, and the most work all its
// scans may take together. The decoder counts it as it reads, so a file
// that grows while it is read is stopped at the same bound: a unit for each
// block of eight by eight pixels a scan covers, as the scan begins (each
// scan is a pass over every block of its components: about 45 ns a block
// for the costliest, refinements and arithmetic coding), three for each
// byte of arithmetic-coded data (about 140 ns) and one for each sixteen of
// Huffman-coded data (about 4 ns a byte), as the decoder takes them.
// Eight passes over the largest grey picture: the costliest file accepted
// at the largest size decodes in about two and a half times a one-scan
// colour file of that size (0.65 s here), and well under five times on a
// loaded machine; the costliest refused stops sooner. Real files have up
// to ten scans, most of them over one component (libjpeg's own
// progression of the largest grey picture takes six passes); a photo of
// the largest size may hold some 80 MB of Huffman-coded data, or 2 MB
// arithmetic-coded, whose decoding is ten times as costly.
constexpr int MaxJpegScans = 256;
constexpr qint64 MaxJpegWork = 8 * MaxPicturePixels / 64;
constexpr qint64 JpegArithmeticByteWork = 3;
constexpr qint64 JpegHuffmanBytesPerWork = 16;

// The most a JPEG's decoding may hold beyond the picture's own pixels: a
// file of more than one scan, progressive or not, keeps every coefficient,
// two bytes each, until its last scan is in (a 12-megapixel photo about
// 36 MB, the largest colour picture 384), and they are counted where the
// decoder asks for them. Grey is decoded at one byte a pixel into the
// picture's own buffer, whose other three bytes a pixel are left for its
// coefficients until they are gone. Beside them the decoder keeps a few
// rows of the picture, a few MiB at the widest, and no comment or
// application block of the file.
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
// a device, a directory), damaged beyond use, not a bitmap, GIF or JPEG,
// too large to hold (its size is read from the header and checked before
// anything is decoded), a JPEG whose decoding would take more work or hold
// more coefficients than the bounds above, or one whose headers or picture
// need more of the file than the read bound above. A JPEG is read once,
// front to back, and its bounds are kept on the bytes its decoder reads: a
// file that changes while it is read gives the picture of the bytes read,
// or nothing. A JPEG cut short gives the picture its bytes hold, what is
// missing left at zero (the missing part of a one-scan file one grey), the
// same on every load. The pixels are held once: the memory a load takes at
// its peak is the picture's own four bytes a pixel and, for a JPEG, the
// working bound above and a few MiB more, whatever else the file holds.
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
