#include "SessionSignals.h"

#include <QApplication>
#include <QSocketNotifier>
#include <QWidget>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {
constexpr int Handled[] = {SIGTERM, SIGHUP, SIGINT};

// A signal handler can reach nothing but static state: the pipe's write end
// and whether a close was already asked for. Two signals can arrive at once
// on two of the game's threads, so the second learns of the first by one
// test-and-set, never by a read and a later write.
volatile sig_atomic_t writeEnd = -1;
std::atomic_flag closeAsked = ATOMIC_FLAG_INIT;

extern "C" void OnSessionSignal(int number) {
    if (closeAsked.test_and_set()) {
        // The close is taking too long for whoever sent this: end now.
        std::signal(number, SIG_DFL);
        std::raise(number);
        return;
    }
    const int saved = errno;
    const char byte = static_cast<char>(number);
    [[maybe_unused]] const ssize_t written = write(writeEnd, &byte, 1);
    errno = saved;
}

bool IgnoredAtStart(int number) {
    struct sigaction current {};
    return sigaction(number, nullptr, &current) == 0 && current.sa_handler == SIG_IGN;
}
}  // namespace

SessionSignals::SessionSignals() {
    if (pipe2(pipe_, O_CLOEXEC | O_NONBLOCK) != 0) return;
    writeEnd = pipe_[1];
    closeAsked.clear();
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
    for (int number : Handled)
        if (!IgnoredAtStart(number)) std::signal(number, SIG_DFL);
    writeEnd = -1;
    delete notifier_;
    ::close(pipe_[0]);
    ::close(pipe_[1]);
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
