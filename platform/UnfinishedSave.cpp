#include "UnfinishedSave.h"

#include <atomic>
#include <climits>
#include <cstring>
#include <unistd.h>

namespace {
// A signal handler reaches only static state: the two paths, each with
// whether it is shown now.
struct Shown {
    char Path[PATH_MAX] = {};
    std::atomic<bool> On{false};
};
Shown shown[2];

Shown& Of(SaveFile kind) { return shown[kind == SaveFile::Lock ? 0 : 1]; }
}  // namespace

void ShowUnfinished(SaveFile kind, const QByteArray& path) {
    Shown& s = Of(kind);
    s.On.store(false);
    if (path.size() >= PATH_MAX) return;
    std::memcpy(s.Path, path.constData(), size_t(path.size()) + 1);
    s.On.store(true);
}

void HideUnfinished(SaveFile kind) { Of(kind).On.store(false); }

void RemoveUnfinishedSave() {
    // The temporary file first: with the lock gone, another run may begin
    // its own save.
    for (Shown* s : {&shown[1], &shown[0]})
        if (s->On.exchange(false)) ::unlink(s->Path);
}
