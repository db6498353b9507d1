#include "UnfinishedSave.h"

#include <atomic>
#include <climits>
#include <cstring>
#include <unistd.h>

namespace {
// A signal handler reaches only static state: the two paths, each with
// whether it is shown now. Each is a variable of its own, its path last,
// so a write past a path is a write past the variable, which the
// sanitizers see.
struct Shown {
    std::atomic<bool> On{false};
    char Path[PATH_MAX] = {};
};
Shown lockShown, temporaryShown;

Shown& Of(SaveFile kind) { return kind == SaveFile::Lock ? lockShown : temporaryShown; }
}  // namespace

void ShowUnfinished(SaveFile kind, const QByteArray& path) {
    Shown& s = Of(kind);
    s.On.store(false);
    // The path and its terminating NUL must fit; a longer one is not shown.
    if (path.size() >= PATH_MAX) return;
    std::memcpy(s.Path, path.constData(), size_t(path.size()) + 1);
    s.On.store(true);
}

void HideUnfinished(SaveFile kind) { Of(kind).On.store(false); }

void RemoveUnfinishedSave() {
    // The temporary file first: with the lock gone, another run may begin
    // its own save.
    for (Shown* s : {&temporaryShown, &lockShown})
        if (s->On.exchange(false)) ::unlink(s->Path);
}
