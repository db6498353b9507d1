// The INI layout of the settings file, as Qt's own settings files write it,
// with every value taken as text: "@Variant(...)", "@ByteArray(...)" and the
// like are never turned into other types, so a file can make the game
// decode nothing but text.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

// "section/key" -> value for every key of the file (a key of [General] has
// no section). Keys and sections are unescaped (%20, %U0101, \ for /);
// values are unquoted and unescaped (\n, \x4e2d, \0 ...); a leading "@@"
// stands for "@" and "@String(...)" for what it holds, as Qt writes them;
// a value split by unquoted commas is its parts joined by ", ". Of a key
// given twice, the last counts. A BOM, ";" comments, "\r\n" and lines
// broken with "\" are understood.
QHash<QString, QString> ReadIniText(const QByteArray& data);

// The escaped forms written to the file: "[Settings]" and "Key=value" are
// made of these, and read back by ReadIniText as the same texts.
QByteArray IniKey(const QString& key);
QByteArray IniValue(const QString& value);
