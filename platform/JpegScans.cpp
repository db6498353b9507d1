#include "JpegScans.h"

namespace {

constexpr unsigned char StartOfImage = 0xD8, EndOfImage = 0xD9, StartOfScan = 0xDA;

// Markers that stand alone, with no length and no segment behind them.
bool StandsAlone(unsigned char marker) {
    return marker == 0x01 || (marker >= 0xD0 && marker <= StartOfImage);
}

// Start-of-frame markers: 0xC0 to 0xCF but for the tables 0xC4 and 0xCC and
// the reserved 0xC8.
bool StartsFrame(unsigned char marker) {
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

bool IsProgressive(unsigned char marker) {
    return marker == 0xC2 || marker == 0xC6 || marker == 0xCA || marker == 0xCE;
}

qint64 RoundUp(qint64 value, qint64 unit) { return (value + unit - 1) / unit * unit; }

qint64 CeilDiv(qint64 value, qint64 by) { return (value + by - 1) / by; }

}  // namespace

JpegWalk WalkJpeg(JpegWalk walk, QByteArrayView bytes) {
    using Step = JpegWalk::Step;
    qsizetype at = 0;
    while (at < bytes.size() && !walk.ended) {
        const auto byte = static_cast<unsigned char>(bytes[at]);
        switch (walk.step) {
        case Step::Seek: {
            // Coded data or stray bytes: on to the next 0xFF.
            const qsizetype next = bytes.sliced(at).indexOf('\xFF');
            if (next < 0) return walk;
            at += next + 1;
            walk.step = Step::Marker;
            continue;
        }
        case Step::Marker:
            if (byte == 0xFF) break;  // fill
            if (byte == 0x00 || StandsAlone(byte)) {
                walk.step = Step::Seek;
            } else if (byte == EndOfImage) {
                walk.ended = true;
            } else {
                if (byte == StartOfScan) ++walk.scans;
                walk.marker = byte;
                walk.step = Step::LengthHigh;
            }
            break;
        case Step::LengthHigh:
            walk.lengthHigh = byte;
            walk.step = Step::LengthLow;
            break;
        case Step::LengthLow:
            // The length counts its own two bytes.
            walk.skip = ((walk.lengthHigh << 8) | byte) - 2;
            if (walk.skip > 0 && StartsFrame(walk.marker) && walk.frameMarker == 0) {
                walk.frameMarker = walk.marker;
                walk.step = Step::Frame;
            } else {
                walk.step = walk.skip > 0 ? Step::Skip : Step::Seek;
            }
            break;
        case Step::Frame:
            walk.frame[walk.frameBytes++] = byte;
            --walk.skip;
            if (walk.skip == 0)
                walk.step = Step::Seek;
            else if (walk.frameBytes == int(sizeof walk.frame))
                walk.step = Step::Skip;
            break;
        case Step::Skip: {
            const qsizetype passed = qMin(qsizetype(walk.skip), bytes.size() - at);
            walk.skip -= int(passed);
            at += passed;
            if (walk.skip == 0) walk.step = Step::Seek;
            continue;
        }
        }
        ++at;
    }
    return walk;
}

int JpegComponents(const JpegWalk& walk) {
    return walk.frameBytes >= 6 ? qMin(int(walk.frame[5]), (walk.frameBytes - 6) / 3) : 0;
}

qint64 JpegCoefficientBytes(const JpegWalk& walk) {
    if (!IsProgressive(walk.frameMarker)) return 0;
    const int components = JpegComponents(walk);
    const qint64 height = (walk.frame[1] << 8) | walk.frame[2], width = (walk.frame[3] << 8) | walk.frame[4];
    int hMax = 1, vMax = 1;
    for (int c = 0; c < components; ++c) {
        hMax = qMax(hMax, walk.frame[7 + 3 * c] >> 4);
        vMax = qMax(vMax, walk.frame[7 + 3 * c] & 15);
    }
    qint64 bytes = 0;
    for (int c = 0; c < components; ++c) {
        const int h = walk.frame[7 + 3 * c] >> 4, v = walk.frame[7 + 3 * c] & 15;
        if (h == 0 || v == 0) continue;  // no decoder takes such a frame
        const qint64 across = RoundUp(CeilDiv(CeilDiv(width * h, hMax), 8), h);
        const qint64 down = RoundUp(CeilDiv(CeilDiv(height * v, vMax), 8), v);
        bytes += across * down * 64 * 2;
    }
    return bytes;
}
