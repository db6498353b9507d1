// Reading a file the player named (the background picture, the settings)
// without letting it hang or mislead the game: only a regular file counts.
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

class QFile;

// A path is opened by the bytes it holds (see KeptBytes.h), so a name that is
// no UTF-8 still names its file.

// Opens `path` for reading when what it names (symlinks followed) is a
// regular file; a FIFO, device, directory or socket counts as missing. The
// file is opened without blocking and checked again on the open handle, so
// one swapped for a FIFO in between cannot hang the game either. Every read
// goes to the file as it is asked for: nothing is read ahead.
bool OpenRegularFile(const QString& path, QFile& file);

// The whole of a regular file of at most `maxBytes` bytes; nothing for a
// missing, irregular or larger file.
std::optional<QByteArray> ReadRegularFile(const QString& path, qint64 maxBytes);

// Whether `path` (symlinks followed) is a regular file.
bool IsRegularFile(const QString& path);
