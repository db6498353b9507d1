#include "BoundedFile.h"

#include <QFile>

BoundedFile::BoundedFile(QFile& file, qint64 limit) : file_(file), limit_(limit) {
    // Unbuffered: every read goes to the file at once, so its position and
    // this device's stay one.
    file_.seek(0);
    open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

qint64 BoundedFile::size() const { return qMin(file_.size(), limit_); }

bool BoundedFile::seek(qint64 pos) {
    if (pos < 0 || !file_.seek(pos)) return false;
    return QIODevice::seek(pos);
}

qint64 BoundedFile::readData(char* data, qint64 maxSize) {
    const qint64 left = limit_ - file_.pos();
    if (left <= 0) return 0;
    const qint64 got = file_.read(data, qMin(maxSize, left));
    return got < 0 ? -1 : got;
}
