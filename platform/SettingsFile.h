// The settings file itself: read whole as text, written whole by atomic
// replacement under its lock, and nothing else on disk ever touched but
// the lock and the save's own temporary file.
#pragma once

#include <QHash>
#include <QList>
#include <QPair>
#include <QString>

// The largest settings file read; a larger one is taken for no file at all
// and is replaced at the next save. Seven values never come near it.
constexpr qint64 MaxSettingsFileBytes = 1024 * 1024;

// How long the close's save waits for another run's lock before giving up,
// and how long a save made while the game is played may hold the window.
constexpr int SettingsLockWaitMs = 2000;
constexpr int ChangeLockWaitMs = 100;

using SettingsValues = QList<QPair<QString, QString>>;

// "section/key" -> text of every key in the file; empty for a file that is
// missing, not a regular file, unreadable or too large, and for no path.
QHash<QString, QString> ReadSettingsFile(const QString& path);

// Replaces the file with one section of the given keys and texts, in that
// order. Nothing is written when the path names something other than a
// regular file (or nothing yet), the folder cannot be made or may not be
// written to, or the lock cannot be had within `lockWaitMs`; then, as when
// the write fails, the old file stays whole and one line on standard error
// says why. No path: nothing is kept, and nothing said. Returns whether it
// was written.
bool WriteSettingsFile(const QString& path, const QString& section, const SettingsValues& values,
                       int lockWaitMs = SettingsLockWaitMs);

// The same, unless the file already holds just these values; with the
// short wait for the lock, as the window waits on it.
bool WriteChangedSettingsFile(const QString& path, const QString& section, const SettingsValues& values);
