#include "ForwardReader.h"

#include <QIODevice>
#include <cstring>

namespace {
constexpr size_t PieceBytes = 64 * 1024;
}

ForwardReader::ForwardReader(QIODevice& device) : device_(device), buffer_(PieceBytes), start_(device.pos()) {}

bool ForwardReader::Fill() {
    start_ += end_;
    at_ = end_ = 0;
    const qint64 got = device_.read(reinterpret_cast<char*>(buffer_.data()), qint64(buffer_.size()));
    if (got <= 0) return false;
    end_ = got;
    return true;
}

qint64 ForwardReader::Read(void* data, qint64 count) {
    auto* out = static_cast<unsigned char*>(data);
    qint64 done = 0;
    while (done < count) {
        if (at_ == end_ && !Fill()) break;
        const qint64 take = qMin(count - done, end_ - at_);
        std::memcpy(out + done, buffer_.data() + at_, size_t(take));
        at_ += take;
        done += take;
    }
    return done;
}

bool ForwardReader::SkipTo(qint64 offset) {
    if (offset < Position()) return false;
    if (offset <= start_ + end_) {
        at_ = offset - start_;
        return true;
    }
    // Past what is held: the bytes between are never read at all.
    if (!device_.seek(offset)) return false;
    start_ = offset;
    at_ = end_ = 0;
    return true;
}
