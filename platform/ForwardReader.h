// A file read once from its start to its end, in large pieces: a decoder
// takes its bytes one at a time or a row at a time, and may pass over bytes
// but never go back to them.
#pragma once

#include <QtGlobal>
#include <vector>

class QIODevice;

class ForwardReader {
public:
    // Over `device`, open for reading, from where it stands now.
    explicit ForwardReader(QIODevice& device);

    // Up to `count` bytes into `data`; fewer only where the device ends.
    qint64 Read(void* data, qint64 count);

    // The next byte, or -1 where the device ends.
    int Byte() {
        if (at_ == end_ && !Fill()) return -1;
        return buffer_[size_t(at_++)];
    }

    // Moves on to `offset` from the device's start, passing over what lies
    // before it unread; false (and nothing moved) for an offset behind.
    bool SkipTo(qint64 offset);

    qint64 Position() const { return start_ + at_; }

private:
    bool Fill();

    QIODevice& device_;
    std::vector<unsigned char> buffer_;
    qint64 start_;    // where buffer_ begins in the device
    qint64 at_ = 0;   // the next byte in buffer_
    qint64 end_ = 0;  // the end of what buffer_ holds
};
