#include "SessionSignals.h"

#include <QApplication>
#include <QSocketNotifier>
#include <QWidget>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <unistd.h>

#include "UnfinishedSave.h"

namespace {
constexpr int Handled[] = {SIGTERM, SIGHUP, SIGINT};

// A signal handler can reach nothing but static state: the pipe's write end,
// when a close was first asked for, and how long it is given. Two signals
// can arrive at once on two of the game's threads, so the second learns of
// the first by one compare-and-swap, never by a read and a later write.
volatile sig_atomic_t writeEnd = -1;
std::atomic<long long> closeAskedAtMs{0};  // 0: not yet
std::atomic<long long> graceMs{CloseGraceMs};
static_assert(std::atomic<long long>::is_always_lock_free);

// clock_gettime may be called in a signal handler.
long long MonotonicMs() {
    timespec now {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return 1 + now.tv_sec * 1000LL + now.tv_nsec / 1000000;
}

extern "C" void OnSessionSignal(int number) {
    const int saved = errno;
    const long long now = MonotonicMs();
    long long first = 0;
    if (!closeAskedAtMs.compare_exchange_strong(first, now)) {
        // The close under way is given its time; after that it is stuck,
        // and whoever sends this wants the game gone: end now.
        if (now - first < graceMs.load()) {
            errno = saved;
            return;
        }
        RemoveUnfinishedSave();
        std::signal(number, SIG_DFL);
        std::raise(number);
        return;
    }
    const char byte = static_cast<char>(number);
    [[maybe_unused]] const ssize_t written = write(writeEnd, &byte, 1);
    errno = saved;
}

bool IgnoredAtStart(int number) {
    struct sigaction current {};
    return sigaction(number, nullptr, &current) == 0 && current.sa_handler == SIG_IGN;
}
}  // namespace

SessionSignals::SessionSignals(int grace) {
    if (pipe2(pipe_, O_CLOEXEC | O_NONBLOCK) != 0) return;
    writeEnd = pipe_[1];
    graceMs = grace;
    closeAskedAtMs = 0;
    notifier_ = new QSocketNotifier(pipe_[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &SessionSignals::Drain);

    struct sigaction action {};
    action.sa_handler = OnSessionSignal;
    sigemptyset(&action.sa_mask);
    for (int number : Handled) sigaddset(&action.sa_mask, number);
    action.sa_flags = SA_RESTART;
    for (int number : Handled)
        if (!IgnoredAtStart(number)) sigaction(number, &action, nullptr);
}

SessionSignals::~SessionSignals() {
    if (pipe_[0] < 0) return;
    writeEnd = -1;
    delete notifier_;
    // The pipe stays open: a handler on another thread may have read its
    // write end just before, and must not write into whatever file takes
    // that number next.
}

void SessionSignals::Drain() {
    char bytes[16];
    while (read(pipe_[0], bytes, sizeof bytes) > 0) {
    }
    emit CloseRequested();
}

void CloseForSession(QWidget& mainWindow) {
    // A box that will not close is hidden, so none is left over the window;
    // the bound keeps a box that reopens itself from holding the close up.
    for (int left = 16; left > 0; --left) {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal == &mainWindow) break;
        if (!modal->close()) modal->hide();
    }
    mainWindow.close();
    QCoreApplication::quit();
}
