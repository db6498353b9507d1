#include "Encoders.h"

#include <stdexcept>

namespace {

void Put16(QByteArray& out, int v) {
    out.append(char(v & 0xFF));
    out.append(char((v >> 8) & 0xFF));
}

void Put32(QByteArray& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.append(char((v >> (8 * i)) & 0xFF));
}

int RowBytes(int width, int bits) { return ((width * bits + 31) / 32) * 4; }

void PutInfoHeader(QByteArray& out, int width, int height, int bits, int imageBytes, int colours) {
    Put32(out, 40);
    Put32(out, uint32_t(width));
    Put32(out, uint32_t(height));
    Put16(out, 1);
    Put16(out, bits);
    Put32(out, 0);                 // BI_RGB: uncompressed
    Put32(out, uint32_t(imageBytes));
    Put32(out, 2835);              // 72 dots per inch
    Put32(out, 2835);
    Put32(out, uint32_t(colours));
    Put32(out, 0);
}

void PutPalette(QByteArray& out, const std::vector<QRgb>& palette, int entries) {
    if (int(palette.size()) > entries) throw std::runtime_error("palette too large");
    for (int i = 0; i < entries; ++i) {
        const QRgb c = i < int(palette.size()) ? palette[size_t(i)] : qRgb(0, 0, 0);
        out.append(char(qBlue(c)));
        out.append(char(qGreen(c)));
        out.append(char(qRed(c)));
        out.append(char(0));
    }
}

// Packs one row of indexes at 4 or 8 bits, padded to the BMP row length.
QByteArray PackRow(const IndexedImage& image, int y, int bits) {
    QByteArray row(RowBytes(image.width, bits), '\0');
    const uint8_t* src = image.pixels.data() + size_t(y) * size_t(image.width);
    for (int x = 0; x < image.width; ++x) {
        if (bits == 8) {
            row[x] = char(src[x]);
        } else {
            const int shift = (x % 2 == 0) ? 4 : 0;
            row[x / 2] = char(uchar(row[x / 2]) | ((src[x] & 0x0F) << shift));
        }
    }
    return row;
}

void PutFileHeader(QByteArray& out, int fileSize, int offset) {
    out.append("BM");
    Put32(out, uint32_t(fileSize));
    Put32(out, 0);
    Put32(out, uint32_t(offset));
}

void PutChunk(QByteArray& out, const char* id, const QByteArray& body) {
    out.append(id, 4);
    Put32(out, uint32_t(body.size()));
    out.append(body);
    if (body.size() % 2) out.append('\0');
}

}  // namespace

QByteArray EncodeBmpIndexed(const IndexedImage& image, int bits) {
    if (bits != 4 && bits != 8) throw std::runtime_error("indexed BMP must be 4 or 8 bits");
    const int colours = 1 << bits;
    const int imageBytes = RowBytes(image.width, bits) * image.height;
    const int offset = 14 + 40 + 4 * colours;
    QByteArray out;
    PutFileHeader(out, offset + imageBytes, offset);
    PutInfoHeader(out, image.width, image.height, bits, imageBytes, colours);
    PutPalette(out, image.palette, colours);
    for (int y = image.height - 1; y >= 0; --y) out.append(PackRow(image, y, bits));
    return out;
}

QByteArray EncodeBmp24(const QImage& source) {
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    const int rowBytes = RowBytes(image.width(), 24);
    const int imageBytes = rowBytes * image.height();
    QByteArray out;
    PutFileHeader(out, 54 + imageBytes, 54);
    PutInfoHeader(out, image.width(), image.height(), 24, imageBytes, 0);
    for (int y = image.height() - 1; y >= 0; --y) {
        QByteArray row(rowBytes, '\0');
        const QRgb* src = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            row[3 * x] = char(qBlue(src[x]));
            row[3 * x + 1] = char(qGreen(src[x]));
            row[3 * x + 2] = char(qRed(src[x]));
        }
        out.append(row);
    }
    return out;
}

QByteArray EncodeIco16(const IndexedImage& image, const std::vector<bool>& transparent) {
    if (image.width != 16 || image.height != 16) throw std::runtime_error("icon must be 16 x 16");
    const int xorBytes = RowBytes(16, 4) * 16;
    const int andBytes = RowBytes(16, 1) * 16;
    const int dataBytes = 40 + 16 * 4 + xorBytes + andBytes;
    QByteArray out;
    Put16(out, 0);
    Put16(out, 1);                 // an icon
    Put16(out, 1);                 // one image
    out.append(char(16));
    out.append(char(16));
    out.append(char(16));          // colours
    out.append(char(0));
    Put16(out, 1);
    Put16(out, 4);
    Put32(out, uint32_t(dataBytes));
    Put32(out, 22);
    PutInfoHeader(out, 16, 32, 4, xorBytes + andBytes, 0);
    PutPalette(out, image.palette, 16);
    for (int y = 15; y >= 0; --y) out.append(PackRow(image, y, 4));
    for (int y = 15; y >= 0; --y) {
        uint32_t bitsRow = 0;
        for (int x = 0; x < 16; ++x)
            if (transparent.at(size_t(y * 16 + x))) bitsRow |= 0x8000u >> x;
        out.append(char(bitsRow >> 8));
        out.append(char(bitsRow & 0xFF));
        out.append(char(0));
        out.append(char(0));
    }
    return out;
}

QByteArray EncodeWave(const WaveFormat& wave) {
    const int bytesPerSample = wave.bits / 8;
    QByteArray fmt;
    Put16(fmt, 1);                 // PCM
    Put16(fmt, 1);                 // mono
    Put32(fmt, uint32_t(wave.rate));
    Put32(fmt, uint32_t(wave.rate * bytesPerSample));
    Put16(fmt, bytesPerSample);
    Put16(fmt, wave.bits);

    QByteArray data;
    for (int s : wave.samples) {
        if (wave.bits == 8) data.append(char(s & 0xFF));
        else Put16(data, s);
    }

    // LIST/INFO: "INFO", then INAM and ISFT sharing the rest of the chunk.
    const QByteArray software = "Tavelorn Tiles artgen";
    const int textRoom = wave.listSize - 4 - 16;
    const int softwareRoom = (software.size() + 2) & ~1;
    const int nameRoom = textRoom - softwareRoom;
    if (nameRoom < wave.name.size() + 1 || nameRoom % 2) throw std::runtime_error("LIST chunk too small");
    QByteArray info = "INFO";
    QByteArray name = wave.name;
    name.append(QByteArray(nameRoom - name.size(), '\0'));
    PutChunk(info, "INAM", name);
    QByteArray soft = software;
    soft.append(QByteArray(softwareRoom - soft.size(), '\0'));
    PutChunk(info, "ISFT", soft);

    QByteArray body = "WAVE";
    PutChunk(body, "fmt ", fmt);
    PutChunk(body, "data", data);
    PutChunk(body, "LIST", info);

    QByteArray out = "RIFF";
    Put32(out, uint32_t(body.size()));
    out.append(body);
    out.append(QByteArray(wave.trailing, '\0'));
    return out;
}
