#include "PictureLoader.h"

#include <QFile>
#include <QImageReader>

#include "BmpDecoder.h"
#include "BoundedFile.h"
#include "ForwardReader.h"
#include "JpegDecoder.h"
#include "RegularFile.h"

namespace {

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

// A GIF, on Qt's reader, which gives it at four bytes a pixel. The reader
// is gone on return, and with it the copy of the last frame it keeps, so
// what is returned is the only holder of its pixels.
QImage ReadGif(BoundedFile& device) {
    QImageReader reader(&device, "gif");
    if (!reader.canRead()) return QImage();
    const QSize size = reader.size();
    if (!PictureSizeIsSafe(size)) return QImage();
    device.SetLimit(PictureReadLimit(size));
    // Qt's own guard, in megabytes, as a second line behind the check above.
    reader.setAllocationLimit(int(MaxPicturePixels * 4 / (1024 * 1024)) + 1);
    return reader.read();
}

// The picture in `file`, told by its first bytes: bitmaps and JPEG on
// decoders of our own, bounded from inside as they read; GIF on Qt's
// reader.
QImage ReadPicture(QFile& file) {
    BoundedFile device(file, MaxPictureHeadBytes);
    const QByteArray magic = device.peek(2);
    if (magic == "BM") return ReadBitmap(device);
    if (magic == QByteArrayView("\xFF\xD8", 2)) return DecodeJpeg(device);
    return ReadGif(device);
}

}  // namespace

QImage LoadPicture(const QString& path) {
    QFile file;
    if (!OpenRegularFile(path, file)) return QImage();
    QImage picture = ReadPicture(file);
    if (picture.isNull() || !PictureSizeIsSafe(picture.size())) return QImage();
    // In the surfaces' own pixel form, converted in place where it is not
    // already (a GIF of four bytes a pixel, which no one else holds now).
    picture.convertTo(QImage::Format_RGBX8888);
    return picture;
}
