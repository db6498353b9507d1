#include "SettingsFile.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>
#include <cstdio>
#include <sys/stat.h>

#include "IniText.h"
#include "RegularFile.h"
#include "SettingsLock.h"

namespace {

void Report(const QString& path, const char* why) {
    std::fprintf(stderr, "Tavelorn Tiles: settings not saved to %s: %s\n", qPrintable(path), why);
}

// A save may replace a regular file or make a new one, and follows a
// symlink only to a regular file: never onto a device, into a directory, or
// through a dangling link to a place of its choosing.
bool MayReplace(const QString& path) {
    struct stat info {};
    const QByteArray name = QFile::encodeName(path);
    if (::lstat(name.constData(), &info) != 0) return errno == ENOENT;
    return S_ISREG(info.st_mode) || (S_ISLNK(info.st_mode) && IsRegularFile(path));
}

QByteArray FileText(const QString& section, const QList<QPair<QString, QString>>& values) {
    QByteArray text = '[' + IniKey(section) + "]\n";
    for (const auto& [key, value] : values) text += IniKey(key) + '=' + IniValue(value) + '\n';
    return text;
}

}  // namespace

QHash<QString, QString> ReadSettingsFile(const QString& path) {
    const std::optional<QByteArray> data = ReadRegularFile(path, MaxSettingsFileBytes);
    return data ? ReadIniText(*data) : QHash<QString, QString>();
}

bool WriteSettingsFile(const QString& path, const QString& section, const QList<QPair<QString, QString>>& values) {
    if (!MayReplace(path)) {
        Report(path, "it is not a regular file");
        return false;
    }
    QDir().mkpath(QFileInfo(path).absolutePath());
    SettingsLock lock(path + QStringLiteral(".lock"));
    if (!lock.Take(SettingsLockWaitMs)) {
        Report(path, "its lock could not be had");
        return false;
    }
    // Written beside the file under a temporary name and renamed over it, so
    // the file is always whole: the old one or the new.
    // Unbuffered, so a short write (a full disk) is seen here rather than
    // lost in the flush at the commit.
    QSaveFile file(path);
    const QByteArray text = FileText(section, values);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) || file.write(text) != text.size() ||
        !MayReplace(path) || !file.commit()) {
        file.cancelWriting();
        Report(path, "it could not be written");
        return false;
    }
    return true;
}
