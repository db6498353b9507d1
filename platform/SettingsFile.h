// The settings file itself: read whole as text, written whole by atomic
// replacement under its lock, and nothing else on disk ever touched.
#pragma once

#include <QHash>
#include <QList>
#include <QPair>
#include <QString>

// The largest settings file read; a larger one is taken for no file at all
// and is replaced at the next save. Seven values never come near it.
constexpr qint64 MaxSettingsFileBytes = 1024 * 1024;

// How long a save waits for another program's lock before giving up.
constexpr int SettingsLockWaitMs = 2000;

// "section/key" -> text of every key in the file; empty for a file that is
// missing, not a regular file, unreadable or too large.
QHash<QString, QString> ReadSettingsFile(const QString& path);

// Replaces the file with one section of the given keys and texts, in that
// order. Nothing is written when the path names something other than a
// regular file (or nothing yet) or the lock cannot be had in time; then, as
// when the write fails, the old file stays whole and one line on standard
// error says why. Returns whether the file was written.
bool WriteSettingsFile(const QString& path, const QString& section, const QList<QPair<QString, QString>>& values);
