#include "PictureLoader.h"

#include <QFile>
#include <QImageReader>
#include <array>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "BmpDecoder.h"
#include "BoundedFile.h"
#include "ForwardReader.h"
#include "JpegDecoder.h"
#include "RegularFile.h"

namespace {

// What is left to Qt's reader: bitmaps and JPEG have decoders of our own.
bool IsPictureFormat(const QByteArray& format) { return format == "gif"; }

// Pixels of one byte or one bit each: the decoder writes them into the tail
// of the buffer that will hold the picture at four bytes a pixel, and they
// are widened there in place, so no second buffer the picture's size is
// ever needed.
bool WidensInPlace(QImage::Format format) {
    return format == QImage::Format_Grayscale8 || format == QImage::Format_Indexed8 || format == QImage::Format_Mono;
}

struct FreeBuffer {
    void operator()(uchar* bytes) const { std::free(bytes); }
};
using Buffer = std::unique_ptr<uchar, FreeBuffer>;

qsizetype RgbxBytes(const QSize& size) { return qsizetype(size.width()) * size.height() * 4; }

// An image of `format` over the tail of `buffer`, for the decoder to fill.
QImage TailImage(uchar* buffer, const QSize& size, QImage::Format format) {
    const int depth = format == QImage::Format_Mono ? 1 : 8;
    const qsizetype rowBytes = ((qsizetype(size.width()) * depth + 31) / 32) * 4;
    uchar* tail = buffer + RgbxBytes(size) - rowBytes * size.height();
    return QImage(tail, size.width(), size.height(), rowBytes, format);
}

// What each pixel value of `image` becomes in RGBX8888, as Qt's own
// conversion makes it (a table too short for an index included).
std::array<quint32, 256> RgbxOfValues(const QImage& image) {
    const bool mono = image.depth() == 1;
    QImage sample(mono ? 2 : 256, 1, image.format());
    sample.setColorTable(image.colorTable());
    if (mono) {
        sample.scanLine(0)[0] = 0x40;  // the second pixel 1, the first 0
    } else {
        for (int value = 0; value < 256; ++value) sample.scanLine(0)[value] = uchar(value);
    }
    const QImage rgbx = sample.convertToFormat(QImage::Format_RGBX8888);
    std::array<quint32, 256> table{};
    if (rgbx.format() == QImage::Format_RGBX8888 && rgbx.width() == sample.width())
        std::memcpy(table.data(), rgbx.constScanLine(0), size_t(rgbx.width()) * 4);
    return table;
}

// Widens the pixels `image` holds at the tail of `buffer` to RGBX8888 over
// the whole of it. Row y lands where no row after it lies yet, and each row
// is read whole before it is written.
void WidenInPlace(const QImage& image, uchar* buffer) {
    const std::array<quint32, 256> rgbx = RgbxOfValues(image);
    const int width = image.width();
    std::vector<uchar> row(size_t(image.bytesPerLine()));
    for (int y = 0; y < image.height(); ++y) {
        std::memcpy(row.data(), image.constScanLine(y), row.size());
        quint32* out = reinterpret_cast<quint32*>(buffer) + qsizetype(y) * width;
        if (image.format() == QImage::Format_Mono) {
            for (int x = 0; x < width; ++x) out[x] = rgbx[(row[size_t(x) >> 3] >> (7 - (x & 7))) & 1];
        } else {
            for (int x = 0; x < width; ++x) out[x] = rgbx[row[size_t(x)]];
        }
    }
}

// A bitmap, read by our own decoder in one pass on from its first two bytes
// ("BM"): its headers, the bound its size sets, then its pixels straight
// into the picture.
QImage ReadBitmap(BoundedFile& device) {
    ForwardReader in(device);
    if (!in.SkipTo(2)) return QImage();
    const std::optional<BmpLayout> layout = ReadBmpHeaders(in);
    if (!layout || !PictureSizeIsSafe(layout->size)) return QImage();
    device.SetLimit(PictureReadLimit(layout->size));
    return ReadBmpPixels(in, *layout);
}

// The picture in `file` as its decoder gives it, into `buffer`'s tail where
// it widens in place. The reader is gone on return, and with it any copy it
// kept (the GIF reader keeps the last frame), so what is returned is the
// only holder of its pixels.
QImage ReadPicture(QFile& file, Buffer& buffer) {
    BoundedFile device(file, MaxPictureHeadBytes);
    // Bitmaps and JPEG on decoders of our own, bounded from inside as they
    // read; GIF on Qt's reader.
    const QByteArray magic = device.peek(2);
    if (magic == "BM") return ReadBitmap(device);
    if (magic == QByteArrayView("\xFF\xD8", 2)) return DecodeJpeg(device);
    QImageReader reader(&device);
    reader.setDecideFormatFromContent(true);
    if (!reader.canRead() || !IsPictureFormat(reader.format())) return QImage();
    const QSize size = reader.size();
    if (!PictureSizeIsSafe(size)) return QImage();
    device.SetLimit(PictureReadLimit(size));
    // Qt's own guard, in megabytes, as a second line behind the check above.
    reader.setAllocationLimit(int(MaxPicturePixels * 4 / (1024 * 1024)) + 1);
    QImage picture;
    const QImage::Format format = reader.imageFormat();
    if (WidensInPlace(format)) {
        buffer.reset(static_cast<uchar*>(std::malloc(size_t(RgbxBytes(size)))));
        if (!buffer) return QImage();
        picture = TailImage(buffer.get(), size, format);
    }
    if (!reader.read(&picture)) return QImage();
    return picture;
}

bool IsInTail(const QImage& picture, const Buffer& buffer) {
    return buffer && WidensInPlace(picture.format()) && picture.constBits() >= buffer.get() &&
           picture.constBits() + picture.sizeInBytes() == buffer.get() + RgbxBytes(picture.size());
}

void FreeRgbx(void* bytes) { std::free(bytes); }

}  // namespace

QImage LoadPicture(const QString& path) {
    QFile file;
    if (!OpenRegularFile(path, file)) return QImage();
    Buffer buffer;
    QImage picture = ReadPicture(file, buffer);
    if (picture.isNull() || !PictureSizeIsSafe(picture.size())) return QImage();
    if (IsInTail(picture, buffer)) {
        WidenInPlace(picture, buffer.get());
        const QSize size = picture.size();
        picture = QImage();
        uchar* bytes = buffer.release();
        return QImage(bytes, size.width(), size.height(), qsizetype(size.width()) * 4, QImage::Format_RGBX8888,
                      FreeRgbx, bytes);
    }
    buffer.reset();
    // In the surfaces' own pixel form, converted in place where Qt can (a
    // picture of four bytes a pixel, which no one else holds now).
    picture.convertTo(QImage::Format_RGBX8888);
    return picture;
}
