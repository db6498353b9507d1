#include "IniText.h"

#include <QStringList>

#include "KeptBytes.h"

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

int HexValue(QChar c) {
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9') return u - '0';
    if (u >= 'a' && u <= 'f') return u - 'a' + 10;
    if (u >= 'A' && u <= 'F') return u - 'A' + 10;
    return -1;
}

// One logical line of the file from `pos`: blank lines and ";" comments are
// skipped, a quoted part may run over line ends, "\" escapes the next byte.
// Gives the line and where its first "=" outside quotes lies (-1 when none).
bool NextLine(const QByteArray& data, qsizetype& pos, QByteArray& line, qsizetype& equals) {
    const qsizetype size = data.size();
    for (;;) {
        while (pos < size && IsSpace(data[pos])) ++pos;
        if (pos >= size) return false;
        if (data[pos] != ';') break;
        while (pos < size && data[pos] != '\n' && data[pos] != '\r') ++pos;
    }
    const qsizetype start = pos;
    bool quoted = false;
    equals = -1;
    while (pos < size) {
        const char c = data[pos];
        if (c == '\\') {
            pos += 2;
            if (pos <= size && (data[pos - 1] == '\n' || data[pos - 1] == '\r') && pos < size &&
                (data[pos] == '\n' || data[pos] == '\r') && data[pos] != data[pos - 1])
                ++pos;
            continue;
        }
        if (c == '"') quoted = !quoted;
        if (!quoted && (c == '\n' || c == '\r' || c == ';')) break;
        if (!quoted && c == '=' && equals < 0) equals = pos - start;
        ++pos;
    }
    pos = qMin(pos, size);
    line = data.mid(start, pos - start);
    return true;
}

// A key or section name: %XX and %UXXXX are characters, "\" is "/".
QString UnescapedKey(const QByteArray& raw) {
    const QString text = QString::fromUtf8(raw);
    QString key;
    for (qsizetype i = 0; i < text.size();) {
        const QChar c = text[i];
        if (c == u'\\') {
            key += u'/';
            ++i;
            continue;
        }
        const qsizetype first = (c == u'%' && i + 1 < text.size() && text[i + 1] == u'U') ? i + 2 : i + 1;
        const qsizetype digits = first == i + 2 ? 4 : 2;
        int value = 0;
        bool ok = c == u'%' && first + digits <= text.size();
        for (qsizetype d = 0; ok && d < digits; ++d) {
            const int h = HexValue(text[first + d]);
            ok = h >= 0;
            value = value * 16 + h;
        }
        if (!ok) {
            key += c;
            ++i;
            continue;
        }
        key += QChar(char16_t(value));
        i = first + digits;
    }
    return key;
}

// Appends the escape after a backslash at raw[i - 1]; moves i past it.
void AppendEscape(const QByteArray& raw, qsizetype& i, QString& out) {
    if (i >= raw.size()) return;
    const char c = raw[i++];
    static const char codes[][2] = {{'a', '\a'}, {'b', '\b'}, {'f', '\f'}, {'n', '\n'}, {'r', '\r'}, {'t', '\t'},
                                    {'v', '\v'}, {'"', '"'},  {'?', '?'},  {'\'', '\''}, {'\\', '\\'}};
    for (const auto& code : codes)
        if (c == code[0]) {
            out += QLatin1Char(code[1]);
            return;
        }
    const bool hex = c == 'x';
    if (hex && (i >= raw.size() || HexValue(QLatin1Char(raw[i])) < 0)) return;
    if (hex || (c >= '0' && c <= '7')) {
        char16_t value = hex ? 0 : char16_t(c - '0');
        for (; i < raw.size(); ++i) {
            const int digit = hex ? HexValue(QLatin1Char(raw[i])) : (raw[i] >= '0' && raw[i] <= '7' ? raw[i] - '0' : -1);
            if (digit < 0) break;
            value = char16_t(value * (hex ? 16 : 8) + digit);
        }
        out += QChar(value);
        return;
    }
    // A broken line ("\" at its end) joins the next; any other escaped
    // character is dropped.
    if ((c == '\n' || c == '\r') && i < raw.size() && (raw[i] == '\n' || raw[i] == '\r') && raw[i] != c) ++i;
}

void ChopTrailingSpaces(QString& text, qsizetype limit) {
    while (text.size() > limit && (text.back() == u' ' || text.back() == u'\t')) text.chop(1);
}

// Qt's settings write a text holding a NUL as "@String(...)" and one that
// begins with "@" with another "@" before it; anything else is the text.
QString PlainText(const QString& part) {
    if (part.startsWith(QLatin1String("@String(")) && part.endsWith(u')')) return part.sliced(8).chopped(1);
    return part.startsWith(QLatin1String("@@")) ? part.mid(1) : part;
}

// A value: quotes group, backslashes escape, unquoted commas split it into
// parts, spaces around unquoted parts are dropped.
QString UnescapedValue(const QByteArray& raw) {
    QStringList parts;
    QString current;
    // As Qt reads a value, a byte order mark at the start of its first
    // plain run is dropped, any later one is a character. A byte that is no
    // UTF-8 is kept as the byte it is.
    bool firstRun = true;
    bool inQuotes = false, partQuoted = false, skipSpaces = true;
    qsizetype chopLimit = 0;
    for (qsizetype i = 0; i < raw.size();) {
        const char c = raw[i];
        if (skipSpaces && (c == ' ' || c == '\t')) {
            ++i;
            continue;
        }
        skipSpaces = false;
        if (c == '\\') {
            ++i;
            AppendEscape(raw, i, current);
            chopLimit = current.size();
        } else if (c == '"') {
            ++i;
            partQuoted = true;
            inQuotes = !inQuotes;
            skipSpaces = !inQuotes;
            if (skipSpaces) chopLimit = current.size();
        } else if (c == ',' && !inQuotes) {
            if (!partQuoted) ChopTrailingSpaces(current, chopLimit);
            parts << PlainText(current);
            current.clear();
            chopLimit = 0;
            partQuoted = false;
            skipSpaces = true;
            ++i;
        } else {
            qsizetype j = i + 1;
            while (j < raw.size() && raw[j] != '\\' && raw[j] != '"' && (raw[j] != ',' || inQuotes)) ++j;
            QByteArrayView run = QByteArrayView(raw).sliced(i, j - i);
            if (firstRun && run.startsWith("\xEF\xBB\xBF")) run = run.sliced(3);
            firstRun = false;
            current += DecodeKeepingBytes(run);
            i = j;
        }
    }
    if (!partQuoted) ChopTrailingSpaces(current, chopLimit);
    parts << PlainText(current);
    return parts.join(QStringLiteral(", "));
}

}  // namespace

QHash<QString, QString> ReadIniText(const QByteArray& data) {
    QHash<QString, QString> values;
    QString section;
    qsizetype pos = data.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    QByteArray line;
    qsizetype equals = -1;
    while (NextLine(data, pos, line, equals)) {
        if (line.startsWith('[')) {
            const qsizetype end = line.indexOf(']');
            const QByteArray name = line.mid(1, end < 0 ? -1 : end - 1).trimmed();
            if (name.compare("general", Qt::CaseInsensitive) == 0)
                section.clear();
            else
                section = (name.compare("%general", Qt::CaseInsensitive) == 0 ? QString::fromLatin1(name.mid(1))
                                                                               : UnescapedKey(name)) +
                          u'/';
            continue;
        }
        if (equals < 0) continue;
        values.insert(section + UnescapedKey(line.left(equals).trimmed()), UnescapedValue(line.mid(equals + 1)));
    }
    return values;
}

QByteArray IniKey(const QString& key) {
    static const char hex[] = "0123456789ABCDEF";
    QByteArray out;
    for (const QChar c : key) {
        const char16_t u = c.unicode();
        if (u == '/') {
            out += '\\';
        } else if ((u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '_' ||
                   u == '-' || u == '.') {
            out += char(u);
        } else if (u <= 0xFF) {
            out += '%';
            out += hex[u / 16];
            out += hex[u % 16];
        } else {
            out += "%U";
            for (int shift = 12; shift >= 0; shift -= 4) out += hex[(u >> shift) & 0xF];
        }
    }
    return out;
}

namespace {

// The value's text in the file. With `keepBytes`, a kept byte is written
// as the byte it is, so a name that is no UTF-8 goes back to the file as
// it came; else as an escape.
QByteArray EscapedValue(const QString& value, bool keepBytes) {
    const QString text = value.startsWith(u'@') ? u'@' + value : value;
    QByteArray out;
    bool quote = false, hexJustEnded = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        if (u == ';' || u == ',' || u == '=') quote = true;
        // After \x or \0 a hex digit would run on into the escape.
        if (hexJustEnded && HexValue(text[i]) >= 0) {
            out += "\\x" + QByteArray::number(u, 16);
            continue;
        }
        hexJustEnded = false;
        const bool loneSurrogate =
            text[i].isSurrogate() &&
            !(text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate());
        if (keepBytes && IsKeptByte(text, i)) {
            out += char(u - 0xDC00);
            continue;
        }
        switch (u) {
        case '\0': out += "\\0"; hexJustEnded = true; break;
        case '\a': out += "\\a"; break;
        case '\b': out += "\\b"; break;
        case '\f': out += "\\f"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        case '\v': out += "\\v"; break;
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        default:
            // A byte order mark is escaped too: a value starting with one
            // would otherwise lose it when read back.
            if (u <= 0x1F || loneSurrogate || u == 0xFEFF) {
                out += "\\x" + QByteArray::number(u, 16);
                hexJustEnded = true;
            } else if (text[i].isHighSurrogate()) {
                out += text.mid(i, 2).toUtf8();
                ++i;
            } else {
                out += QString(text[i]).toUtf8();
            }
        }
    }
    if (quote || out.startsWith(' ') || out.endsWith(' ')) out = '"' + out + '"';
    return out;
}

}  // namespace

QByteArray IniValue(const QString& value) {
    // Kept bytes written side by side may make a valid UTF-8 sequence and
    // read back as another character: such a value has them escaped.
    const QByteArray kept = EscapedValue(value, true);
    return UnescapedValue(kept) == value ? kept : EscapedValue(value, false);
}
