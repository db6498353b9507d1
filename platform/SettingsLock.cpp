#include "SettingsLock.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSysInfo>
#include <ctime>
#include <QThread>
#include <cerrno>
#include <cstdlib>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Whether the program named in a lock's text can no longer hold it. A lock
// with no owner's number was left by a program killed before it wrote one,
// unless it is so new that its owner may be writing it now.
bool OwnerIsGone(const QByteArray& text, time_t modified) {
    const QList<QByteArray> lines = text.split('\n');
    bool isNumber = false;
    const qint64 pid = lines.value(0).toLongLong(&isNumber);
    if (!isNumber || pid <= 0) return std::abs(std::time(nullptr) - modified) >= 1;
    const QByteArray host = lines.value(2);
    if (!host.isEmpty() && host != QSysInfo::machineHostName().toUtf8()) return false;
    return pid == ::getpid() || (::kill(pid_t(pid), 0) != 0 && errno == ESRCH);
}

}  // namespace

SettingsLock::~SettingsLock() {
    if (held_) ::unlink(QFile::encodeName(path_).constData());
}

bool SettingsLock::Take(int waitMs) {
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        if (Create()) return held_ = true;
        if (errno != EEXIST) return false;
        // A lock that is no regular file will not go away by waiting.
        struct stat info {};
        const bool present = ::lstat(QFile::encodeName(path_).constData(), &info) == 0;
        if (present && !S_ISREG(info.st_mode)) return false;
        const bool cleared = present && ClearIfOwnerless();
        if (clock.elapsed() >= waitMs) return false;
        if (!cleared) QThread::msleep(20);
    }
}

bool SettingsLock::Create() {
    // O_EXCL also fails on a symlink, dangling or not, so nothing is ever
    // created through one.
    const int fd = ::open(QFile::encodeName(path_).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd < 0) return false;
    const QByteArray owner = QByteArray::number(qint64(::getpid())) + '\n' +
                             QCoreApplication::applicationName().toUtf8() + '\n' + QSysInfo::machineHostName().toUtf8() +
                             '\n';
    // The lock is its existence; a write cut short (a full disk) still holds it.
    [[maybe_unused]] const ssize_t written = ::write(fd, owner.constData(), size_t(owner.size()));
    ::close(fd);
    return true;
}

bool SettingsLock::ClearIfOwnerless() {
    const QByteArray name = QFile::encodeName(path_);
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY);
    if (fd < 0) return false;
    struct stat info {};
    char text[256] = {};
    const bool regular = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    const ssize_t got = regular ? ::read(fd, text, sizeof text - 1) : -1;
    ::close(fd);
    if (got < 0) return false;
    if (!OwnerIsGone(QByteArray(text, got), info.st_mtime)) return false;
    // Remove it only if it is still the file just read.
    struct stat now {};
    if (::lstat(name.constData(), &now) != 0 || now.st_ino != info.st_ino || now.st_dev != info.st_dev) return false;
    return ::unlink(name.constData()) == 0;
}
