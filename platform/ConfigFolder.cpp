#include "ConfigFolder.h"

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

}  // namespace

QString UserConfigFolder() {
    const QByteArray configHome = qgetenv("XDG_CONFIG_HOME");
    if (IsAbsolute(configHome)) return DecodeKeepingBytes(WithoutTrailingSlashes(configHome));
    QByteArray home = qgetenv("HOME");
    if (!IsAbsolute(home)) home = DatabaseHome();
    if (!IsUsableHome(home)) return QString();
    return DecodeKeepingBytes(WithoutTrailingSlashes(home) + "/.config");
}
