// Counting the scans of a JPEG file from its markers, without decoding it:
// each scan costs the decoder a pass over every block of the picture, so a
// small file of many empty scans can cost minutes.
#pragma once

#include <QByteArrayView>

// How far a walk over a JPEG file's markers has come. The file may be given
// in pieces: walking them one after another counts what walking the whole
// file at once counts.
struct JpegWalk {
    int scans = 0;       // start-of-scan markers met so far
    bool ended = false;  // the end-of-image marker was met: nothing after it counts

    // The first frame header: its marker, and its first bytes (precision,
    // height, width, components, then three bytes a component), as many as
    // the decoder would take components.
    static constexpr int MaxComponents = 10;
    unsigned char frameMarker = 0;
    unsigned char frame[6 + 3 * MaxComponents] = {};
    int frameBytes = 0;

    enum class Step : unsigned char { Seek, Marker, LengthHigh, LengthLow, Frame, Skip };
    Step step = Step::Seek;
    unsigned char marker = 0;  // of the segment being walked
    unsigned char lengthHigh = 0;
    int skip = 0;  // bytes of the current segment still to pass over
};

// The walk `walk` carried on over the next bytes of the file. Markers are
// found as the decoder finds them: a 0xFF, any number of 0xFF fill bytes, then
// a byte other than 0 (0xFF 0x00 is a data byte); a segment's length is
// skipped over whole, and the coded data of a scan, which has no length, is
// walked over marker by marker, restart markers included.
JpegWalk WalkJpeg(JpegWalk walk, QByteArrayView bytes);

// The bytes a decoder keeps of a progressive JPEG's coefficients until its
// last scan is in: two a coefficient, 64 a block, every block of every
// component, rounded up to whole units as the decoder lays them out. 0 for a
// baseline file, or before the frame header has been walked.
qint64 JpegCoefficientBytes(const JpegWalk& walk);

// The components of the JPEG's frame, 0 before its header has been walked.
int JpegComponents(const JpegWalk& walk);
