#include "BmpRuns.h"

#include "ForwardReader.h"

namespace {

// The place runs write next, and what lies within the picture. Rows are
// counted in the file's order; positions past the picture are kept, not
// wrapped, so nothing written there is seen.
class RunCursor {
public:
    RunCursor(QImage& picture, const BmpLayout& layout) : picture_(picture), layout_(layout) {}

    bool Done() const { return y_ >= layout_.size.height(); }

    // `count` pixels, the i-th of them colour `index(i)`.
    template <class Index>
    void Put(int count, Index index) {
        const qint64 inRow = qBound<qint64>(0, layout_.size.width() - x_, qint64(count));
        if (inRow > 0 && !Done()) {
            quint32* out = BmpRow(picture_, layout_, int(y_)) + x_;
            for (qint64 i = 0; i < inRow; ++i) out[i] = layout_.colours[index(int(i))];
        }
        x_ += count;
    }
    void NextRow() { x_ = 0, ++y_; }
    void Move(int dx, int dy) { x_ += dx, y_ += dy; }

private:
    QImage& picture_;
    const BmpLayout& layout_;
    qint64 x_ = 0, y_ = 0;
};

constexpr int EndOfRow = 0, EndOfPicture = 1, Delta = 2;

}  // namespace

void ExpandBmpRuns(ForwardReader& in, const BmpLayout& layout, QImage& picture) {
    const bool nibbles = layout.coding == BmpLayout::Coding::Runs4;
    RunCursor cursor(picture, layout);
    unsigned char bytes[256];
    while (!cursor.Done()) {
        const int count = in.Byte(), second = in.Byte();
        if (count < 0 || second < 0) return;
        if (count > 0) {
            // One byte repeated; of 4 bits, its two pixels taken in turn.
            const int first = nibbles ? second >> 4 : second, next = nibbles ? second & 15 : second;
            cursor.Put(count, [=](int i) { return (i & 1) ? next : first; });
        } else if (second == EndOfRow) {
            cursor.NextRow();
        } else if (second == EndOfPicture) {
            return;
        } else if (second == Delta) {
            const int dx = in.Byte(), dy = in.Byte();
            if (dx < 0 || dy < 0) return;
            cursor.Move(dx, dy);
        } else {
            // `second` pixels as they are, their bytes padded to an even count.
            const qint64 used = nibbles ? (second + 1) / 2 : second;
            const qint64 got = in.Read(bytes, used + (used & 1));
            const int whole = int(qMin<qint64>(second, (nibbles ? 2 : 1) * qMin(got, used)));
            cursor.Put(whole, [&](int i) { return nibbles ? (bytes[i >> 1] >> ((i & 1) ? 0 : 4)) & 15 : bytes[i]; });
            if (got < used + (used & 1)) return;
        }
    }
}
