#include "PictureLoader.h"

#include <QFile>
#include <QImageReader>

#include "RegularFile.h"

namespace {

bool IsPictureFormat(const QByteArray& format) {
    return format == "bmp" || format == "gif" || format == "jpeg" || format == "jpg";
}

bool SizeIsSafe(const QSize& size) {
    if (!size.isValid() || size.isEmpty()) return false;
    if (size.width() > MaxPictureSide || size.height() > MaxPictureSide) return false;
    return qint64(size.width()) * size.height() <= MaxPicturePixels;
}

}  // namespace

QImage LoadPicture(const QString& path) {
    QFile file;
    if (!OpenRegularFile(path, file)) return QImage();
    QImageReader reader(&file);
    reader.setDecideFormatFromContent(true);
    if (!reader.canRead() || !IsPictureFormat(reader.format())) return QImage();
    if (!SizeIsSafe(reader.size())) return QImage();
    // Qt's own guard, in megabytes, as a second line behind the check above.
    reader.setAllocationLimit(int(MaxPicturePixels * 4 / (1024 * 1024)) + 1);
    QImage picture = reader.read();
    if (picture.isNull() || !SizeIsSafe(picture.size())) return QImage();
    // In the surfaces' own pixel form, converted in place where Qt can, so
    // the picture is held once from here on.
    picture.convertTo(QImage::Format_RGBX8888);
    return picture;
}
