#include "ConfigFolder.h"

#include <QByteArrayList>
#include <QList>
#include <cerrno>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include "KeptBytes.h"

namespace {

bool IsAbsolute(const QByteArray& path) { return path.startsWith('/'); }

// A home to keep settings in: an existing folder, not the root (which is
// the home of no one, whatever HOME or the database say for a service).
bool IsUsableHome(const QByteArray& path) {
    struct stat info {};
    return IsAbsolute(path) && path.count('/') < path.size() && ::stat(path.constData(), &info) == 0 &&
           S_ISDIR(info.st_mode);
}

QByteArray DatabaseHome() {
    const passwd* entry = ::getpwuid(::getuid());
    return entry && entry->pw_dir ? QByteArray(entry->pw_dir) : QByteArray();
}

QByteArray WithoutTrailingSlashes(QByteArray path) {
    while (path.size() > 1 && path.endsWith('/')) path.chop(1);
    return path;
}

// A part that is not there, followed by "..", is left out with it: the
// kernel would lead back to the same place had the part been made, and no
// folder is made for nothing. The root is always there, and a ".." right
// after it stays: the kernel leads it back to the root. Every other part stays as given, a symlink
// and the ".." after it too, so the path leads where the kernel leads it.
QByteArray WithoutMissingPartsUndone(const QByteArray& path) {
    QByteArrayList parts;
    QList<bool> missing;  // of each part kept: not there
    for (const QByteArray& part : path.split('/')) {
        if ((part.isEmpty() || part == ".") && !parts.isEmpty() && missing.last()) continue;  // stays there
        if (part == ".." && !parts.isEmpty() && missing.last()) {
            parts.removeLast();
            missing.removeLast();
            continue;
        }
        const bool root = parts.isEmpty();  // the empty text before the first '/'
        parts << part;
        struct stat info {};
        missing << (!root && part != ".." && ::lstat(parts.join('/').constData(), &info) != 0 && errno == ENOENT);
    }
    return parts.join('/');
}

}  // namespace

QString UserConfigFolder() {
    const QByteArray configHome = qgetenv("XDG_CONFIG_HOME");
    if (IsAbsolute(configHome))
        return DecodeKeepingBytes(WithoutMissingPartsUndone(WithoutTrailingSlashes(configHome)));
    QByteArray home = qgetenv("HOME");
    if (!IsAbsolute(home)) home = DatabaseHome();
    if (!IsUsableHome(home)) return QString();
    return DecodeKeepingBytes(WithoutTrailingSlashes(home) + "/.config");
}
