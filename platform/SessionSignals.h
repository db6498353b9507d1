// The session's signals: SIGTERM (a logout, a kill), SIGHUP (the terminal
// or session gone) and SIGINT (Ctrl+C) ask the main window to close, the
// same close as its close button, so the settings are saved. A second one
// while the first is being handled ends the game at once.
#pragma once

#include <QObject>

class QSocketNotifier;
class QWidget;

class SessionSignals final : public QObject {
    Q_OBJECT
public:
    // Takes the three signals, except one that the game was started with
    // ignored (as nohup does with SIGHUP): that stays ignored.
    SessionSignals();
    // Gives them back to their default action.
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
