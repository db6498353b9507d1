#include "BmpDecoder.h"

#include <bit>
#include <cstring>
#include <vector>

#include "BmpRuns.h"
#include "ForwardReader.h"

namespace {

quint32 Little32(const unsigned char* p) {
    return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
}
quint32 Little16(const unsigned char* p) { return quint32(p[0]) | quint32(p[1]) << 8; }

constexpr int FileHeaderBytes = 14;
// The info headers in use: OS/2 1.x (12 bytes, sizes of 16 bits, colours of
// three bytes), Windows 3 (40), Windows 3 with its masks inside (52, 56),
// OS/2 2.x (64), V4 (108) and V5 (124).
constexpr int CoreInfoBytes = 12, Os2InfoBytes = 64, LargestInfoBytes = 124;
bool IsInfoSize(quint32 size) {
    return size == 12 || size == 40 || size == 52 || size == 56 || size == 64 || size == 108 || size == 124;
}

// The compression field's values we read; OS/2 2.x gives 3 and 4 other
// meanings (Huffman, 24-bit runs), and neither is read.
enum Compression : quint32 { Rgb = 0, Rle8 = 1, Rle4 = 2, BitFields = 3, AlphaBitFields = 6 };

std::optional<BmpLayout::Coding> CodingOf(quint32 compression, int bits, quint32 infoSize) {
    using Coding = BmpLayout::Coding;
    const bool fieldsKnown = infoSize != Os2InfoBytes && infoSize != CoreInfoBytes;
    switch (compression) {
    case Rgb:
        if (bits == 1 || bits == 4 || bits == 8 || bits == 24) return Coding::Plain;
        if ((bits == 16 || bits == 32) && infoSize != CoreInfoBytes) return Coding::Plain;
        return std::nullopt;
    case Rle8:
        return bits == 8 && infoSize != CoreInfoBytes ? std::optional(Coding::Runs8) : std::nullopt;
    case Rle4:
        return bits == 4 && infoSize != CoreInfoBytes ? std::optional(Coding::Runs4) : std::nullopt;
    case BitFields:
    case AlphaBitFields:
        return (bits == 16 || bits == 32) && fieldsKnown ? std::optional(Coding::Fields) : std::nullopt;
    default:
        return std::nullopt;
    }
}

// A pixel's level of one colour from its bit field, widened to 8 bits by
// repeating its bits (a 5-bit level v gives v << 3 | v >> 2), or narrowed
// to its 8 highest.
class Field {
public:
    explicit Field(quint32 mask)
        : mask_(mask), shift_(mask ? std::countr_zero(mask) : 0), width_(mask ? std::bit_width(mask >> shift_) : 0) {}

    unsigned char Level(quint32 pixel) const {
        const quint32 value = (pixel & mask_) >> shift_;
        if (width_ == 0) return 0;
        if (width_ >= 8) return static_cast<unsigned char>(value >> (width_ - 8));
        quint32 level = 0;
        for (int at = 8 - width_; at > -width_; at -= width_) level |= at >= 0 ? value << at : value >> -at;
        return static_cast<unsigned char>(level);
    }

private:
    quint32 mask_;
    int shift_;
    int width_;
};

struct Fields {
    Field red, green, blue;
    explicit Fields(const std::array<quint32, 3>& masks) : red(masks[0]), green(masks[1]), blue(masks[2]) {}
    quint32 Pixel(quint32 pixel) const { return RgbxPixel(red.Level(pixel), green.Level(pixel), blue.Level(pixel)); }
};

// The first `count` pixels of a row as the file holds them, into `out`.
void WidenRow(const unsigned char* p, int count, const BmpLayout& layout, const Fields& fields, quint32* out) {
    const auto& colours = layout.colours;
    switch (layout.bits) {
    case 1:
        for (int x = 0; x < count; ++x) out[x] = colours[(p[x >> 3] >> (7 - (x & 7))) & 1];
        break;
    case 4:
        for (int x = 0; x < count; ++x) out[x] = colours[(p[x >> 1] >> ((x & 1) ? 0 : 4)) & 15];
        break;
    case 8:
        for (int x = 0; x < count; ++x) out[x] = colours[p[x]];
        break;
    case 16:
        for (int x = 0; x < count; ++x) out[x] = fields.Pixel(Little16(p + 2 * x));
        break;
    case 24:
        for (int x = 0; x < count; ++x) out[x] = RgbxPixel(p[3 * x + 2], p[3 * x + 1], p[3 * x]);
        break;
    case 32:
        for (int x = 0; x < count; ++x) out[x] = fields.Pixel(Little32(p + 4 * x));
        break;
    }
}

// Rows padded to four bytes, as many as the picture has or the file holds;
// a row cut short keeps its whole pixels.
void ReadPlainRows(ForwardReader& in, const BmpLayout& layout, QImage& picture) {
    const int width = layout.size.width();
    const qint64 rowBytes = (qint64(width) * layout.bits + 31) / 32 * 4;
    std::vector<unsigned char> row(static_cast<size_t>(rowBytes));
    const Fields fields(layout.masks);
    for (int r = 0; r < layout.size.height(); ++r) {
        const qint64 got = in.Read(row.data(), rowBytes);
        const int whole = int(qMin<qint64>(width, got * 8 / layout.bits));
        WidenRow(row.data(), whole, layout, fields, BmpRow(picture, layout, r));
        if (got < rowBytes) return;
    }
}

// The masks of a picture of bit fields: inside an info header of 52 bytes
// or more, after one of 40. Plain pixels of 16 bits are 5-5-5, of 32 bits
// 8-8-8 with the highest byte unused.
bool ReadMasks(ForwardReader& in, const unsigned char* info, quint32 infoSize, quint32 compression, BmpLayout& layout) {
    if (layout.coding == BmpLayout::Coding::Plain) {
        if (layout.bits == 16) layout.masks = {0x7C00, 0x03E0, 0x001F};
        if (layout.bits == 32) layout.masks = {0xFF0000, 0x00FF00, 0x0000FF};
        return true;
    }
    if (layout.coding != BmpLayout::Coding::Fields) return true;
    unsigned char after[16];
    if (infoSize == 40) {
        const qint64 bytes = compression == AlphaBitFields ? 16 : 12;
        if (in.Read(after, bytes) != bytes) return false;
        info = after;
    } else {
        info += 40;
    }
    layout.masks = {Little32(info), Little32(info + 4), Little32(info + 8)};
    return true;
}

// The colour table, as much of it as the header asks for and lies before
// the pixels.
bool ReadColours(ForwardReader& in, quint32 infoSize, quint32 used, BmpLayout& layout) {
    layout.colours.fill(RgbxPixel(0, 0, 0));
    if (layout.bits > 8) return true;
    const int entryBytes = infoSize == CoreInfoBytes ? 3 : 4;
    const qint64 room = (layout.pixelOffset - in.Position()) / entryBytes;
    const qint64 count = qMin(room, used == 0 || used > (1u << layout.bits) ? qint64(1) << layout.bits : qint64(used));
    unsigned char table[256 * 4];
    if (in.Read(table, count * entryBytes) != count * entryBytes) return false;
    for (qint64 i = 0; i < count; ++i) {
        const unsigned char* entry = table + i * entryBytes;
        layout.colours[size_t(i)] = RgbxPixel(entry[2], entry[1], entry[0]);
    }
    return true;
}

}  // namespace

quint32 RgbxPixel(unsigned char r, unsigned char g, unsigned char b) {
    const unsigned char bytes[4] = {r, g, b, 0xFF};
    quint32 pixel;
    std::memcpy(&pixel, bytes, sizeof pixel);
    return pixel;
}

quint32* BmpRow(QImage& picture, const BmpLayout& layout, int row) {
    const int y = layout.topDown ? row : layout.size.height() - 1 - row;
    return reinterpret_cast<quint32*>(picture.scanLine(y));
}

std::optional<BmpLayout> ReadBmpHeaders(ForwardReader& in) {
    unsigned char file[FileHeaderBytes] = {'B', 'M'};
    unsigned char info[LargestInfoBytes] = {};
    if (in.Read(file + 2, FileHeaderBytes - 2) != FileHeaderBytes - 2) return std::nullopt;
    if (in.Read(info, 4) != 4) return std::nullopt;
    const quint32 infoSize = Little32(info);
    if (!IsInfoSize(infoSize) || in.Read(info + 4, infoSize - 4) != qint64(infoSize) - 4) return std::nullopt;

    BmpLayout layout;
    layout.pixelOffset = Little32(file + 10);
    qint64 width, height;
    int planes;
    quint32 compression = Rgb, used = 0;
    if (infoSize == CoreInfoBytes) {
        width = Little16(info + 4), height = Little16(info + 6);
        planes = int(Little16(info + 8)), layout.bits = int(Little16(info + 10));
    } else {
        width = qint32(Little32(info + 4)), height = qint32(Little32(info + 8));
        planes = int(Little16(info + 12)), layout.bits = int(Little16(info + 14));
        compression = Little32(info + 16), used = Little32(info + 32);
    }
    // A negative height is a picture whose rows run top-down.
    layout.topDown = height < 0;
    height = qAbs(height);
    if (width <= 0 || height == 0 || width > INT_MAX || height > INT_MAX || planes != 1) return std::nullopt;
    layout.size = QSize(int(width), int(height));

    const std::optional<BmpLayout::Coding> coding = CodingOf(compression, layout.bits, infoSize);
    if (!coding) return std::nullopt;
    layout.coding = *coding;
    if (!ReadMasks(in, info, infoSize, compression, layout)) return std::nullopt;
    if (layout.pixelOffset < in.Position() || !ReadColours(in, infoSize, used, layout)) return std::nullopt;
    return layout;
}

QImage ReadBmpPixels(ForwardReader& in, const BmpLayout& layout) {
    QImage picture(layout.size, QImage::Format_RGBX8888);
    if (picture.isNull()) return QImage();
    picture.fill(RgbxPixel(0, 0, 0));
    if (!in.SkipTo(layout.pixelOffset)) return picture;
    if (layout.coding == BmpLayout::Coding::Runs8 || layout.coding == BmpLayout::Coding::Runs4)
        ExpandBmpRuns(in, layout, picture);
    else
        ReadPlainRows(in, layout, picture);
    return picture;
}
