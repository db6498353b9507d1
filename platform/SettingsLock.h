// The lock beside the settings file ("<file>.lock"), in the layout Qt's lock
// files use (the owner's process id, program name and host, one a line), so
// an older copy of the game waits for it as for its own.
#pragma once

#include <QByteArray>
#include <QString>
#include <ctime>

// No save takes this long: a lock (or a save's temporary file) older than
// this is left over, whoever its owner, as with Qt's own lock files.
constexpr int StaleLockSeconds = 30;

// Whether a lock or a save's file of the program with process id `pid` on
// `host` (empty: this machine), last changed at `modified`, is left over:
// too old, or its owner here is gone, is this very process, or is no copy
// of this game (its number was reused, after a reboot say). Another host's
// is judged by its age alone. `pid` 0: no owner was written.
bool IsLeftOver(qint64 pid, const QByteArray& host, time_t modified);

enum class LockResult {
    Taken,
    Held,          // another run of the game held it all the wait
    NotAFile,      // the lock's name is taken by a directory, FIFO, symlink...
    NotWritable,   // the folder may not be written to
    Failed,        // anything else (a full disk); errno says what
};

class SettingsLock {
public:
    explicit SettingsLock(QString path) : path_(std::move(path)) {}
    ~SettingsLock();
    SettingsLock(const SettingsLock&) = delete;
    SettingsLock& operator=(const SettingsLock&) = delete;

    // Takes the lock, waiting at most `waitMs` for another run of the game
    // to give it up. A left-over lock is cleared. Only a regular file is
    // ever read or removed: a lock that is a directory, FIFO, device or
    // symlink is never taken.
    LockResult Take(int waitMs);

private:
    bool Create();
    bool ClearIfLeftOver();

    QString path_;
    bool held_ = false;
};
