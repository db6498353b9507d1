#include "SettingsLock.h"

#include <QElapsedTimer>
#include <QSysInfo>
#include <QThread>
#include <cerrno>
#include <cstdlib>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "GameName.h"
#include "KeptBytes.h"
#include "UnfinishedSave.h"

namespace {

QByteArray FileText(const QByteArray& path) {
    const int fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return {};
    char text[256];
    const ssize_t got = ::read(fd, text, sizeof text);
    ::close(fd);
    return got > 0 ? QByteArray(text, got) : QByteArray();
}

// The name of the program a process runs: its executable's file name, or,
// where that may not be read (another user's process), the name the
// kernel keeps for it.
QByteArray ProgramName(qint64 pid) {
    const QByteArray proc = "/proc/" + QByteArray::number(pid);
    char target[4096];
    const ssize_t length = ::readlink((proc + "/exe").constData(), target, sizeof target);
    if (length > 0) {
        QByteArray name(target, length);
        if (name.endsWith(" (deleted)")) name.chop(10);  // rebuilt while it runs
        return "exe:" + name.mid(name.lastIndexOf('/') + 1);
    }
    const QByteArray comm = FileText(proc + "/comm").trimmed();
    return comm.isEmpty() ? QByteArray() : "comm:" + comm;
}

// Whether the process is a copy of this game; when that cannot be told,
// it is taken to be one (and its lock is judged by its age).
bool RunsThisGame(qint64 pid) {
    const QByteArray theirs = ProgramName(pid);
    if (theirs.isEmpty()) return true;
    QByteArray ours = ProgramName(::getpid());
    if (theirs.startsWith("comm:") && ours.startsWith("exe:")) ours = "comm:" + FileText("/proc/self/comm").trimmed();
    return theirs == ours;
}

}  // namespace

bool IsLeftOver(qint64 pid, const QByteArray& host, time_t modified) {
    const time_t age = std::abs(std::time(nullptr) - modified);
    if (age >= StaleLockSeconds) return true;
    // No owner written: killed before it could write one, unless it is so
    // new that its owner may be writing it now.
    if (pid <= 0) return age >= 1;
    if (!host.isEmpty() && host != QSysInfo::machineHostName().toUtf8()) return false;
    if (pid == ::getpid()) return true;
    if (::kill(pid_t(pid), 0) != 0 && errno == ESRCH) return true;
    return !RunsThisGame(pid);
}

SettingsLock::~SettingsLock() {
    if (!held_) return;
    HideUnfinished(SaveFile::Lock);
    ::unlink(EncodeKeepingBytes(path_).constData());
}

LockResult SettingsLock::Take(int waitMs) {
    const QByteArray name = EncodeKeepingBytes(path_);
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        if (Create()) {
            held_ = true;
            return LockResult::Taken;
        }
        if (errno == EACCES || errno == EROFS || errno == EPERM) return LockResult::NotWritable;
        if (errno != EEXIST) return LockResult::Failed;
        // A lock that is no regular file will not go away by waiting.
        struct stat info {};
        const bool present = ::lstat(name.constData(), &info) == 0;
        if (present && !S_ISREG(info.st_mode)) return LockResult::NotAFile;
        const bool cleared = present && ClearIfLeftOver();
        if (clock.elapsed() >= waitMs) return LockResult::Held;
        if (!cleared && present) QThread::msleep(20);
    }
}

bool SettingsLock::Create() {
    const QByteArray name = EncodeKeepingBytes(path_);
    // O_EXCL also fails on a symlink, dangling or not, so nothing is ever
    // created through one.
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd < 0) return false;
    ShowUnfinished(SaveFile::Lock, name);
    const QByteArray owner = QByteArray::number(qint64(::getpid())) + '\n' +
                             GameName().toUtf8() + '\n' + QSysInfo::machineHostName().toUtf8() +
                             '\n';
    // The lock is its existence; a write cut short (a full disk) still holds it.
    [[maybe_unused]] const ssize_t written = ::write(fd, owner.constData(), size_t(owner.size()));
    ::close(fd);
    return true;
}

bool SettingsLock::ClearIfLeftOver() {
    const QByteArray name = EncodeKeepingBytes(path_);
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY);
    if (fd < 0) return false;
    struct stat info {};
    char text[256] = {};
    const bool regular = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    const ssize_t got = regular ? ::read(fd, text, sizeof text - 1) : -1;
    ::close(fd);
    if (got < 0) return false;
    const QList<QByteArray> lines = QByteArray(text, got).split('\n');
    bool isNumber = false;
    const qint64 pid = lines.value(0).toLongLong(&isNumber);
    if (!IsLeftOver(isNumber ? pid : 0, lines.value(2), info.st_mtime)) return false;
    // Remove it only if it is still the file just read.
    struct stat now {};
    if (::lstat(name.constData(), &now) != 0 || now.st_ino != info.st_ino || now.st_dev != info.st_dev) return false;
    return ::unlink(name.constData()) == 0;
}
