// Picture files the tests put together byte by byte: large pictures that
// compress to small files, and JPEGs with as many scans as a test asks for;
// and what reading them costs.
#pragma once

#include <QByteArray>
#include <QDataStream>
#include <QFile>
#include <QIODevice>
#include <vector>

namespace picture_files {

// The bytes this process has read from files so far, holes included.
inline qint64 BytesRead() {
    QFile io(QStringLiteral("/proc/self/io"));
    if (!io.open(QIODevice::ReadOnly)) qFatal("cannot read /proc/self/io");
    for (const QByteArray& line : io.readAll().split('\n'))
        if (line.startsWith("rchar: ")) return line.mid(7).toLongLong();
    qFatal("no rchar in /proc/self/io");
}

// Bits written first into the lowest bit of each byte, as GIF packs them.
class LowFirstBits {
public:
    void Put(int code, int size) {
        accumulator_ |= quint32(code) << count_;
        count_ += size;
        while (count_ >= 8) {
            bytes_ += char(accumulator_ & 0xFF);
            accumulator_ >>= 8;
            count_ -= 8;
        }
    }
    QByteArray Finish() {
        if (count_ > 0) bytes_ += char(accumulator_ & 0xFF);
        return bytes_;
    }

private:
    QByteArray bytes_;
    quint32 accumulator_ = 0;
    int count_ = 0;
};

inline void PutLittle16(QByteArray& out, int value) {
    out += char(value & 0xFF);
    out += char((value >> 8) & 0xFF);
}

inline void PutBig16(QByteArray& out, int value) {
    out += char((value >> 8) & 0xFF);
    out += char(value & 0xFF);
}

// The LZW codes of `pixels` pixels of palette entry 0 with two-bit codes:
// each code after the first names the string one pixel longer than the one
// before, and the table starts again before it fills.
inline QByteArray OneColourLzw(qint64 pixels) {
    constexpr int Clear = 4, End = 5, First = 6, Full = 4095;
    LowFirstBits bits;
    int size = 3, next = First;
    qint64 previous = 0;  // the pixels of the last code; none after a clear
    bits.Put(Clear, size);
    while (pixels > 0) {
        if (next >= Full) {
            bits.Put(Clear, size);
            size = 3, next = First, previous = 0;
        }
        qint64 length = previous + 1;
        int code = previous == 0 ? 0 : next;
        if (length > pixels) length = pixels, code = pixels == 1 ? 0 : int(pixels) + 4;
        bits.Put(code, size);
        if (previous != 0 && ++next == (1 << size) && size < 12) ++size;
        previous = length;
        pixels -= length;
    }
    bits.Put(End, size);
    return bits.Finish();
}

// A GIF of one colour, width x height pixels.
inline QByteArray OneColourGif(int width, int height) {
    QByteArray gif("GIF89a");
    PutLittle16(gif, width);
    PutLittle16(gif, height);
    gif += QByteArray("\x80\x00\x00", 3);            // global table of 2 colours
    gif += QByteArray("\x20\x60\xA0\x00\x00\x00", 6);  // slate blue, black
    gif += ',';
    gif += QByteArray(4, '\0');
    PutLittle16(gif, width);
    PutLittle16(gif, height);
    gif += '\0';
    gif += char(2);
    const QByteArray codes = OneColourLzw(qint64(width) * height);
    for (qsizetype at = 0; at < codes.size(); at += 255) {
        const QByteArray block = codes.mid(at, 255);
        gif += char(block.size());
        gif += block;
    }
    gif += '\0';
    gif += ';';
    return gif;
}

// An 8-bit run-length bitmap of one colour, width x height pixels.
inline QByteArray OneColourBmp(int width, int height) {
    QByteArray runs;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; x += 255) {
            runs += char(qMin(255, width - x));
            runs += '\0';
        }
        runs += QByteArray("\x00\x00", 2);
    }
    runs += QByteArray("\x00\x01", 2);
    QByteArray bmp;
    QDataStream out(&bmp, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    constexpr quint32 Offset = 14 + 40 + 8;
    out.writeRawData("BM", 2);
    out << quint32(Offset + runs.size()) << quint32(0) << Offset;
    out << quint32(40) << qint32(width) << qint32(height) << quint16(1) << quint16(8) << quint32(1)
        << quint32(runs.size()) << qint32(2835) << qint32(2835) << quint32(2) << quint32(0);
    out << quint32(0x0060A020) << quint32(0);
    out.writeRawData(runs.constData(), int(runs.size()));
    return bmp;
}

// How a JPEG departs from the plain one: a height other than its width, the
// luma's sampling factors (0x22: twice the blocks of each other component,
// across and down), its tables put before its frame, and its frame's marker.
struct JpegLayout {
    int height = 0;  // 0: the width
    int lumaSampling = 0x11;
    bool tablesFirst = false;
    unsigned char frame = 0;  // 0: 0xC2 progressive, 0xC0 baseline
};

// A JPEG of side x side pixels and `components` components (1, grey, or 3,
// colour), all of one level. Baseline: one scan of all the terms.
// Progressive: a first scan of the DC terms, then `emptyScans` more scans of
// them that carry no data at all.
inline QByteArray OneLevelJpeg(int side, int components, bool progressive, int emptyScans = 0,
                               JpegLayout layout = {}) {
    const int height = layout.height > 0 ? layout.height : side;
    // One code of one bit in each table: a DC difference of 0, an end of block.
    const QByteArray oneCode = QByteArray("\x01", 1) + QByteArray(15, '\0') + QByteArray(1, '\0');
    const QByteArray tables = QByteArray("\xFF\xC4\x00\x26", 4) + '\x00' + oneCode + '\x10' + oneCode;
    QByteArray jpeg("\xFF\xD8", 2);
    jpeg += QByteArray("\xFF\xDB\x00\x43\x00", 5) + QByteArray(64, '\x01');
    if (layout.tablesFirst) jpeg += tables;
    jpeg += '\xFF';
    jpeg += char(layout.frame != 0 ? layout.frame : progressive ? 0xC2 : 0xC0);
    PutBig16(jpeg, 8 + 3 * components);
    jpeg += char(8);
    PutBig16(jpeg, height);
    PutBig16(jpeg, side);
    jpeg += char(components);
    for (int c = 1; c <= components; ++c) {
        jpeg += char(c);
        jpeg += char(c == 1 ? layout.lumaSampling : 0x11);
        jpeg += '\0';
    }
    if (!layout.tablesFirst) jpeg += tables;
    QByteArray scan("\xFF\xDA", 2);
    PutBig16(scan, 6 + 2 * components);
    scan += char(components);
    for (int c = 1; c <= components; ++c) {
        scan += char(c);
        scan += '\0';
    }
    scan += progressive ? QByteArray("\x00\x00\x00", 3) : QByteArray("\x00\x3F\x00", 3);
    jpeg += scan;
    // Zero bits for each block (its DC term, and its end in a baseline
    // file), the last byte padded with ones. Each unit of the scan holds
    // the luma's blocks, then one of each other component.
    const int h = qMax(1, layout.lumaSampling >> 4), v = qMax(1, layout.lumaSampling & 15);
    const qint64 units = qint64((side + 8 * h - 1) / (8 * h)) * ((height + 8 * v - 1) / (8 * v));
    const qint64 bits = units * (h * v + components - 1) * (progressive ? 1 : 2);
    jpeg += QByteArray(qsizetype(bits / 8), '\0');
    if (bits % 8 != 0) jpeg += char(0xFF >> (bits % 8));
    for (int s = 0; s < emptyScans; ++s) jpeg += scan;
    jpeg += QByteArray("\xFF\xD9", 2);
    return jpeg;
}

// One scan of a JPEG: its components (numbered from 1), its spectral band
// and successive approximation, and its coded data.
struct JpegScan {
    QByteArray components;
    int Ss = 0, Se = 63, Ah = 0, Al = 0;
    QByteArray data;
};

// A JPEG of the given frame (0xC0 baseline, 0xC2 progressive, 0xC9 and 0xCA
// their arithmetic forms) and scans, its tables those of OneLevelJpeg; with
// no end marker when `end` is false, as a file still being written.
inline QByteArray ScansJpeg(int width, int height, int components, unsigned char frame,
                            const std::vector<JpegScan>& scans, bool end = true) {
    const QByteArray oneCode = QByteArray("\x01", 1) + QByteArray(15, '\0') + QByteArray(1, '\0');
    QByteArray jpeg("\xFF\xD8", 2);
    jpeg += QByteArray("\xFF\xDB\x00\x43\x00", 5) + QByteArray(64, '\x01');
    jpeg += '\xFF';
    jpeg += char(frame);
    PutBig16(jpeg, 8 + 3 * components);
    jpeg += char(8);
    PutBig16(jpeg, height);
    PutBig16(jpeg, width);
    jpeg += char(components);
    for (int c = 1; c <= components; ++c) jpeg += QByteArray(1, char(c)) + QByteArray("\x11\x00", 2);
    jpeg += QByteArray("\xFF\xC4\x00\x26", 4) + '\x00' + oneCode + '\x10' + oneCode;
    for (const JpegScan& scan : scans) {
        jpeg += QByteArray("\xFF\xDA", 2);
        PutBig16(jpeg, 6 + 2 * int(scan.components.size()));
        jpeg += char(scan.components.size());
        for (const char c : scan.components) jpeg += QByteArray(1, c) + '\0';
        jpeg += char(scan.Ss);
        jpeg += char(scan.Se);
        jpeg += char((scan.Ah << 4) | scan.Al);
        jpeg += scan.data;
    }
    if (end) jpeg += QByteArray("\xFF\xD9", 2);
    return jpeg;
}

}  // namespace picture_files
