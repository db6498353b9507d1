// Loads one picture in a process of its own and tells what the load held at
// its peak: "<width> <height> <bytes>", the bytes the process's peak resident
// set grew beyond what it held just before the load.
#include <QFile>
#include <cstdio>
#include <cstring>

#include "PictureLoader.h"

namespace {

// A field of /proc/self/status, in bytes.
qint64 StatusBytes(const char* field) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(field)) return line.mid(qsizetype(std::strlen(field))).trimmed().split(' ').value(0).toLongLong() * 1024;
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    const QString path = QFile::decodeName(argv[1]);
    const qint64 before = StatusBytes("VmRSS:");
    const QImage picture = LoadPicture(path);
    const qint64 peak = StatusBytes("VmHWM:");
    if (before < 0 || peak < 0) return 3;
    std::printf("%d %d %lld\n", picture.width(), picture.height(), static_cast<long long>(peak - before));
    return 0;
}
