#include "PictureLoader.h"

#include <QImageReader>

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
    if (path.isEmpty()) return QImage();
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    if (!reader.canRead() || !IsPictureFormat(reader.format())) return QImage();
    if (!SizeIsSafe(reader.size())) return QImage();
    // Qt's own guard, in megabytes, as a second line behind the check above.
    reader.setAllocationLimit(int(MaxPicturePixels * 4 / (1024 * 1024)) + 1);
    QImage picture = reader.read();
    if (picture.isNull() || !SizeIsSafe(picture.size())) return QImage();
    return picture;
}
