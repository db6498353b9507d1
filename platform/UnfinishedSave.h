// The files a save has on disk while it runs: its lock and its temporary
// file. Should the program be ended by a signal in the middle of a save,
// the handler removes them, so none is left behind.
#pragma once

#include <QByteArray>

enum class SaveFile { Lock, Temporary };

// From now on `path` is the save's file of that kind.
void ShowUnfinished(SaveFile kind, const QByteArray& path);
// It is no longer there to remove (put in place, or removed).
void HideUnfinished(SaveFile kind);

// Removes the files shown. Safe in a signal handler, on any thread.
void RemoveUnfinishedSave();
