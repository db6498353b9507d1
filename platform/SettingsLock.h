// The lock beside the settings file ("<file>.lock"), in the layout Qt's lock
// files use (the owner's process id, program name and host, one a line), so
// an older copy of the game waits for it as for its own.
#pragma once

#include <QString>

class SettingsLock {
public:
    explicit SettingsLock(QString path) : path_(std::move(path)) {}
    ~SettingsLock();
    SettingsLock(const SettingsLock&) = delete;
    SettingsLock& operator=(const SettingsLock&) = delete;

    // Takes the lock, waiting at most `waitMs`. A lock left by a process
    // that is gone, or by one killed before it could write its name, is
    // cleared. Only a regular file is ever read or removed: a lock that is
    // a directory, FIFO, device or symlink is never taken.
    bool Take(int waitMs);

private:
    bool Create();
    bool ClearIfOwnerless();

    QString path_;
    bool held_ = false;
};
