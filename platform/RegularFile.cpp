#include "RegularFile.h"

#include <QFile>

#include "KeptBytes.h"
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool IsRegularFile(const QString& path) {
    struct stat info {};
    return !path.isEmpty() && ::stat(EncodeKeepingBytes(path).constData(), &info) == 0 && S_ISREG(info.st_mode);
}

bool OpenRegularFile(const QString& path, QFile& file) {
    // A device is not even opened: opening some has effects of its own.
    if (!IsRegularFile(path)) return false;
    const int fd = ::open(EncodeKeepingBytes(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return false;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return false;
    }
    // Unbuffered: our readers read in large pieces of their own, and a look
    // at a file's first bytes costs those bytes, not a buffer's worth read
    // again.
    if (!file.open(fd, QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    return true;
}

std::optional<QByteArray> ReadRegularFile(const QString& path, qint64 maxBytes) {
    QFile file;
    if (!OpenRegularFile(path, file) || file.size() > maxBytes) return std::nullopt;
    // The file may grow after the size was read: never take more than allowed.
    QByteArray data = file.read(maxBytes + 1);
    if (data.size() > maxBytes) return std::nullopt;
    return data;
}
