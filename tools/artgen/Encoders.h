// Our own writers for the file formats the game embeds: uncompressed BMP at
// 4, 8 and 24 bits per pixel, a 16-colour ICO and RIFF WAVE. Qt's writers
// cannot produce paletted 4-bit bitmaps or the exact chunk layout we need.
#pragma once

#include <QByteArray>
#include <QImage>
#include <cstdint>
#include <vector>

// A picture as palette indexes, the form of the 4- and 8-bit files.
struct IndexedImage {
    int width = 0;
    int height = 0;
    std::vector<QRgb> palette;     // at most 2^bpp entries
    std::vector<uint8_t> pixels;   // row by row from the top
};

// BMP with BITMAPINFOHEADER, rows bottom-up and padded to 4 bytes; the
// palette is written in full (16 or 256 entries, unused ones black).
QByteArray EncodeBmpIndexed(const IndexedImage& image, int bitsPerPixel);
QByteArray EncodeBmp24(const QImage& image);

// One 16 x 16 icon image with 16 colours; `transparent` (row by row from the
// top) sets the AND mask. Transparent pixels should carry a black index, so
// that the screen shows through unchanged.
QByteArray EncodeIco16(const IndexedImage& image, const std::vector<bool>& transparent);

// A mono PCM RIFF WAVE: "fmt " (16 bytes), "data" (padded to even length),
// then a LIST/INFO chunk whose size field is `listSize`, with the name and
// software texts NUL-padded to fill it. `trailing` zero bytes follow the
// RIFF's own length.
struct WaveFormat {
    int rate = 0;
    int bits = 0;                  // 8 (unsigned samples) or 16 (signed)
    std::vector<int> samples;      // already in the sample's own range
    QByteArray name;               // descriptive text of the sound
    int listSize = 74;
    int trailing = 0;
};
QByteArray EncodeWave(const WaveFormat& wave);
