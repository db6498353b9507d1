#include "SettingsFile.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "IniText.h"
#include "KeptBytes.h"
#include "RegularFile.h"
#include "SettingsLock.h"
#include "UnfinishedSave.h"

namespace {

// A save writes "<file>.saving-<pid>" and renames it over the file.
const QByteArray SavingInfix = ".saving-";

void Report(const QString& path, const QString& why) {
    std::fprintf(stderr, "Tavelorn Tiles: settings not saved to %s: %s\n", EncodeKeepingBytes(path).constData(),
                 EncodeKeepingBytes(why).constData());
}

// The folder as the path names it, never tidied as text: "a/b/.." is where
// the kernel leads, the folder above b's target when b is a symlink, and
// the lock, the save's file and its rename all go there.
QString Folder(const QString& path) {
    const qsizetype slash = path.lastIndexOf(u'/');
    return slash < 0 ? QStringLiteral(".") : slash == 0 ? QStringLiteral("/") : path.left(slash);
}

// Makes the folder and those above it that are missing, part by part as
// the kernel walks the path, so the folder made is the one the save goes
// into; gives the reason when it could not: a part that is there but no
// folder, or one that cannot be reached (a symlink loop, a name too long)
// or made.
QString MakeFolder(const QString& folder) {
    const QByteArray name = EncodeKeepingBytes(folder);
    for (qsizetype end = name.indexOf('/', 1); ; end = name.indexOf('/', end + 1)) {
        const QByteArray part = end < 0 ? name : name.left(end);
        const QString where = DecodeKeepingBytes(part);
        struct stat info {};
        if (::stat(part.constData(), &info) == 0) {
            if (!S_ISDIR(info.st_mode)) return QStringLiteral("%1 is not a folder").arg(where);
        } else if (errno != ENOENT || (::mkdir(part.constData(), 0777) != 0 && errno != EEXIST)) {
            return errno == EACCES || errno == EROFS || errno == EPERM
                       ? QStringLiteral("the folder %1 may not be made here").arg(where)
                       : QStringLiteral("the folder %1 could not be made (%2)")
                             .arg(where, QString::fromLocal8Bit(std::strerror(errno)));
        }
        if (end < 0) break;
    }
    struct stat info {};
    if (::stat(name.constData(), &info) != 0 || !S_ISDIR(info.st_mode))
        return QStringLiteral("%1 is not a folder").arg(folder);
    return QString();
}

// A save may replace a regular file or make a new one, and follows a
// symlink only to a regular file: never onto a device, into a directory, or
// through a dangling link to a place of its choosing. Gives the reason
// when it may not.
QString ReplaceProblem(const QByteArray& name) {
    struct stat info {};
    if (::lstat(name.constData(), &info) != 0)
        return errno == ENOENT ? QString()
                               : QStringLiteral("it cannot be reached (%1)").arg(QString::fromLocal8Bit(std::strerror(errno)));
    if (S_ISREG(info.st_mode) || (S_ISLNK(info.st_mode) && IsRegularFile(DecodeKeepingBytes(name)))) return QString();
    return QStringLiteral("it is not a regular file");
}

// The file a save puts in place: the path itself, or the regular file its
// symlink leads to.
QByteArray FinalName(const QByteArray& name) {
    struct stat info {};
    if (::lstat(name.constData(), &info) != 0 || !S_ISLNK(info.st_mode)) return name;
    char resolved[PATH_MAX];
    return ::realpath(name.constData(), resolved) ? QByteArray(resolved) : name;
}

QByteArray FileText(const QString& section, const SettingsValues& values) {
    QByteArray text = '[' + IniKey(section) + "]\n";
    for (const auto& [key, value] : values) text += IniKey(key) + '=' + IniValue(value) + '\n';
    return text;
}

// Removes the temporary files of saves that never finished (a run killed
// outright); only ever a regular file named as a save names its own. The
// lock is held, so no other run is in the middle of a save.
void RemoveLeftOverSaves(const QByteArray& finalName) {
    const qsizetype slash = finalName.lastIndexOf('/');
    const QByteArray folder = slash <= 0 ? QByteArray("/") : finalName.left(slash);
    const QByteArray prefix = finalName.mid(slash + 1) + SavingInfix;
    DIR* dir = ::opendir(folder.constData());
    if (!dir) return;
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (!name.startsWith(prefix)) continue;
        bool isNumber = false;
        const qint64 pid = name.mid(prefix.size()).toLongLong(&isNumber);
        struct stat info {};
        const QByteArray path = folder + '/' + name;
        if (!isNumber || ::lstat(path.constData(), &info) != 0 || !S_ISREG(info.st_mode)) continue;
        if (IsLeftOver(pid, QByteArray(), info.st_mtime)) ::unlink(path.constData());
    }
    ::closedir(dir);
}

bool WriteAll(int fd, const QByteArray& text) {
    for (qsizetype done = 0; done < text.size();) {
        const ssize_t n = ::write(fd, text.constData() + done, size_t(text.size() - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += n;
    }
    return true;
}

// Writes `text` beside the file under a temporary name and renames it over
// the file, so the file is always whole: the old one or the new. Gives the
// reason when it could not.
QString ReplaceFile(const QByteArray& name, const QByteArray& text) {
    const QByteArray finalName = FinalName(name);
    RemoveLeftOverSaves(finalName);
    const QByteArray temporary = finalName + SavingInfix + QByteArray::number(qint64(::getpid()));
    const int fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd < 0) {
        return errno == EACCES || errno == EROFS || errno == EPERM
                   ? QStringLiteral("the folder is not writable")
                   : QStringLiteral("it could not be written (%1)").arg(QString::fromLocal8Bit(std::strerror(errno)));
    }
    ShowUnfinished(SaveFile::Temporary, temporary);
    // The file keeps its permissions.
    struct stat old {};
    if (::stat(finalName.constData(), &old) == 0) ::fchmod(fd, old.st_mode & 07777);
    const bool written = WriteAll(fd, text) && ::fdatasync(fd) == 0;
    int error = errno;
    const bool closed = ::close(fd) == 0;
    if (written && !closed) error = errno;
    QString problem;
    if (!written || !closed)
        problem = QStringLiteral("it could not be written (%1)").arg(QString::fromLocal8Bit(std::strerror(error)));
    // Checked again: the name may have been taken by something else meanwhile.
    else
        problem = ReplaceProblem(name);
    if (problem.isEmpty() && ::rename(temporary.constData(), finalName.constData()) != 0)
        problem = QStringLiteral("it could not be put in place (%1)").arg(QString::fromLocal8Bit(std::strerror(errno)));
    if (!problem.isEmpty()) ::unlink(temporary.constData());
    HideUnfinished(SaveFile::Temporary);
    return problem;
}

QString LockProblem(LockResult result, const QString& lockPath) {
    switch (result) {
    case LockResult::Taken: return QString();
    case LockResult::Held: return QStringLiteral("its lock is held by another run of the game");
    case LockResult::NotAFile: return QStringLiteral("its lock %1 is not a regular file").arg(lockPath);
    case LockResult::NotWritable: return QStringLiteral("the folder %1 is not writable").arg(Folder(lockPath));
    case LockResult::Failed: break;
    }
    return QStringLiteral("its lock could not be made (%1)").arg(QString::fromLocal8Bit(std::strerror(errno)));
}

}  // namespace

QHash<QString, QString> ReadSettingsFile(const QString& path) {
    if (path.isEmpty()) return {};
    const std::optional<QByteArray> data = ReadRegularFile(path, MaxSettingsFileBytes);
    return data ? ReadIniText(*data) : QHash<QString, QString>();
}

bool WriteSettingsFile(const QString& path, const QString& section, const SettingsValues& values, int lockWaitMs) {
    if (path.isEmpty()) return false;
    const QByteArray name = EncodeKeepingBytes(path);
    // The folder comes first, so a path that can hold no folder is named as
    // the reason; a name too long to use has no folder made on its way.
    const QString tooLong = QString::fromLocal8Bit(std::strerror(ENAMETOOLONG));
    QString problem = name.size() >= PATH_MAX ? QStringLiteral("it could not be written (%1)").arg(tooLong)
                                              : MakeFolder(Folder(path));
    if (problem.isEmpty()) problem = ReplaceProblem(name);
    if (!problem.isEmpty()) {
        Report(path, problem);
        return false;
    }
    const QString lockPath = path + QStringLiteral(".lock");
    SettingsLock lock(lockPath);
    const QString lockProblem = LockProblem(lock.Take(lockWaitMs), lockPath);
    if (!lockProblem.isEmpty()) {
        Report(path, lockProblem);
        return false;
    }
    problem = ReplaceFile(name, FileText(section, values));
    if (!problem.isEmpty()) Report(path, problem);
    return problem.isEmpty();
}

bool WriteChangedSettingsFile(const QString& path, const QString& section, const SettingsValues& values) {
    if (path.isEmpty()) return false;
    const std::optional<QByteArray> now = ReadRegularFile(path, MaxSettingsFileBytes);
    if (now && *now == FileText(section, values)) return true;
    return WriteSettingsFile(path, section, values, ChangeLockWaitMs);
}
