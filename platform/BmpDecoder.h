// Bitmap files read in one pass: the headers and colour table, then the
// pixels straight into the picture, each checked as it is read. Headers of
// every kind in use are read (OS/2 1.x and 2.x, Windows 3 and its bit-field
// variants, V4, V5), rows bottom-up or top-down, 1, 4, 8, 16, 24 and 32
// bits a pixel, uncompressed, run-length (4 and 8 bits) or in bit fields.
#pragma once

#include <QImage>
#include <QSize>
#include <array>
#include <optional>

class ForwardReader;

// What a bitmap's headers say its pixels are.
struct BmpLayout {
    enum class Coding : unsigned char { Plain, Runs8, Runs4, Fields };

    QSize size;  // rows counted upward, whichever way they run
    bool topDown = false;
    int bits = 0;  // a pixel
    Coding coding = Coding::Plain;
    qint64 pixelOffset = 0;  // from the file's start

    // Red, green and blue of a pixel of 16 or 32 bits, the lowest bit first.
    std::array<quint32, 3> masks{};

    // The colour table in the picture's own pixel form; black past its end,
    // so a pixel naming a colour the file lacks is black.
    std::array<quint32, 256> colours{};
};

// The headers and colour table of the bitmap whose first two bytes, "BM",
// `in` has just passed; `in` is left at their end. Nothing for a file cut
// short in them, or a bitmap of a kind or with
// values no bitmap has (a width of 0, planes other than 1, 2 bits a pixel,
// JPEG inside, pixels said to lie within the headers, ...). The size is
// not checked against any bound here.
std::optional<BmpLayout> ReadBmpHeaders(ForwardReader& in);

// The picture whose headers `in` has just given as `layout`, as RGBX8888
// with unpadded rows, its pixels written once as their bytes are read. What
// the file lacks (it ends early, its runs skip pixels or end before the
// picture does) is black; a null image only if its memory is not to be had.
QImage ReadBmpPixels(ForwardReader& in, const BmpLayout& layout);

// The pixel of colour (r, g, b) as RGBX8888 holds it in memory.
quint32 RgbxPixel(unsigned char r, unsigned char g, unsigned char b);
