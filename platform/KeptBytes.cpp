#include "KeptBytes.h"

namespace {

// The length of the valid UTF-8 sequence at bytes[i], or 0 when the byte
// there starts none (overlong forms, surrogates and values past U+10FFFF
// are not valid).
qsizetype SequenceLength(QByteArrayView bytes, qsizetype i) {
    const auto at = [&](qsizetype k) { return k < bytes.size() ? static_cast<unsigned char>(bytes[k]) : 0u; };
    const unsigned lead = at(i);
    const auto follows = [&](qsizetype k, unsigned low = 0x80, unsigned high = 0xBF) {
        return at(k) >= low && at(k) <= high;
    };
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) return follows(i + 1) ? 2 : 0;
    if (lead >= 0xE0 && lead <= 0xEF) {
        const unsigned low = lead == 0xE0 ? 0xA0 : 0x80, high = lead == 0xED ? 0x9F : 0xBF;
        return follows(i + 1, low, high) && follows(i + 2) ? 3 : 0;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        const unsigned low = lead == 0xF0 ? 0x90 : 0x80, high = lead == 0xF4 ? 0x8F : 0xBF;
        return follows(i + 1, low, high) && follows(i + 2) && follows(i + 3) ? 4 : 0;
    }
    return 0;
}

}  // namespace

QString DecodeKeepingBytes(QByteArrayView bytes) {
    // Decoded here rather than by Qt, which drops a byte order mark at the
    // start of what it is given: every byte must stay.
    QString text;
    text.reserve(bytes.size());
    for (qsizetype i = 0; i < bytes.size();) {
        const qsizetype length = SequenceLength(bytes, i);
        const unsigned lead = static_cast<unsigned char>(bytes[i]);
        if (length == 0) {
            text += QChar(char16_t(0xDC00 + lead));
            ++i;
            continue;
        }
        static constexpr unsigned LeadBits[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
        char32_t code = lead & LeadBits[length];
        for (qsizetype k = 1; k < length; ++k) code = (code << 6) | (static_cast<unsigned char>(bytes[i + k]) & 0x3F);
        if (code > 0xFFFF) {
            text += QChar(QChar::highSurrogate(code));
            text += QChar(QChar::lowSurrogate(code));
        } else {
            text += QChar(char16_t(code));
        }
        i += length;
    }
    return text;
}

bool IsKeptByte(const QString& text, qsizetype i) {
    const char16_t u = text[i].unicode();
    return u >= 0xDC80 && u <= 0xDCFF && !(i > 0 && text[i - 1].isHighSurrogate());
}

QByteArray EncodeKeepingBytes(const QString& text) {
    QByteArray bytes;
    bytes.reserve(text.size());
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!IsKeptByte(text, i)) continue;
        bytes += QStringView(text).sliced(start, i - start).toUtf8();
        bytes += char(text[i].unicode() - 0xDC00);
        start = i + 1;
    }
    bytes += QStringView(text).sliced(start).toUtf8();
    return bytes;
}
