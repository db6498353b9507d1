// Texts that keep the bytes they were read from. A file name or a settings
// value need not be valid UTF-8 (an old name in Latin-1); each byte that is
// not part of a valid UTF-8 sequence is held as the lone surrogate U+DC80 +
// its value (U+DC80..U+DCFF), so the text gives back the very same bytes.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// UTF-8, with every byte outside a valid sequence kept as U+DC80 + byte.
QString DecodeKeepingBytes(QByteArrayView bytes);

// The inverse: UTF-8, with each lone U+DC80..U+DCFF back as its byte.
QByteArray EncodeKeepingBytes(const QString& text);

// Whether `text` holds a kept byte at `i` (a lone U+DC80..U+DCFF).
bool IsKeptByte(const QString& text, qsizetype i);
