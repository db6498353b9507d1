// The session's signals: SIGTERM (a logout, a kill), SIGHUP (the terminal
// or session gone) and SIGINT (Ctrl+C) ask the main window to close, the
// same close as its close button, so the settings are saved. A logout sends
// several at once (SIGTERM, SIGCONT, SIGHUP), a held Ctrl+C dozens: once a
// close is under way, more of them wait for it for a fair time, longer than
// a save can take; only one after that ends the game at once, and takes
// the lock and temporary file of a save it cuts short with it.
#pragma once

#include <QObject>

class QSocketNotifier;
class QWidget;

// Longer than a close's save can take, lock wait and all.
constexpr int CloseGraceMs = 5000;

class SessionSignals final : public QObject {
    Q_OBJECT
public:
    // Takes the three signals, except one that the game was started with
    // ignored (as nohup does with SIGHUP): that stays ignored. `graceMs`:
    // how long a close is waited for.
    explicit SessionSignals(int graceMs = CloseGraceMs);
    // No more close is asked for, but the signals stay taken for the rest
    // of the run: the program is ending, and one that comes meanwhile (a
    // logout's burst still going on) waits for that end as for the close,
    // rather than ending the program by a signal instead of its exit.
    ~SessionSignals() override;

signals:
    // On the thread of the event loop, once per signal received.
    void CloseRequested();

private:
    void Drain();

    int pipe_[2] = {-1, -1};
    QSocketNotifier* notifier_ = nullptr;
};

// Closes what is open over the main window (each modal box as by its close
// button, so it changes nothing), then the window itself, which saves the
// settings, and ends the event loop with exit code 0. Also from inside a
// modal box's loop or the sound's yield: every loop running ends.
void CloseForSession(QWidget& mainWindow);
