#include "JpegScans.h"

namespace {

constexpr unsigned char StartOfImage = 0xD8, EndOfImage = 0xD9, StartOfScan = 0xDA;

// Markers that stand alone, with no length and no segment behind them.
bool StandsAlone(unsigned char marker) {
    return marker == 0x01 || (marker >= 0xD0 && marker <= StartOfImage);
}

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
            walk.step = walk.skip > 0 ? Step::Skip : Step::Seek;
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
