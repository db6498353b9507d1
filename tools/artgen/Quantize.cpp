#include "Quantize.h"

#include <algorithm>
#include <map>
#include <stdexcept>

namespace {

struct Entry {
    QRgb colour;
    long count;
};

int Channel(QRgb c, int axis) { return axis == 0 ? qRed(c) : axis == 1 ? qGreen(c) : qBlue(c); }

struct Box {
    std::vector<Entry> entries;
    long population = 0;

    int Range(int axis) const {
        int lo = 255, hi = 0;
        for (const Entry& e : entries) {
            lo = std::min(lo, Channel(e.colour, axis));
            hi = std::max(hi, Channel(e.colour, axis));
        }
        return hi - lo;
    }
    int LongestAxis() const {
        int best = 0;
        for (int a = 1; a < 3; ++a)
            if (Range(a) > Range(best)) best = a;
        return best;
    }
    // How much splitting this box would help: wide boxes of many pixels first.
    double Priority() const { return entries.size() < 2 ? -1.0 : double(Range(LongestAxis()) + 1) * double(population); }

    QRgb Mean() const {
        double r = 0, g = 0, b = 0;
        for (const Entry& e : entries) {
            r += double(qRed(e.colour)) * double(e.count);
            g += double(qGreen(e.colour)) * double(e.count);
            b += double(qBlue(e.colour)) * double(e.count);
        }
        const double n = double(population);
        return qRgb(int(r / n + 0.5), int(g / n + 0.5), int(b / n + 0.5));
    }
};

std::pair<Box, Box> Split(Box box) {
    const int axis = box.LongestAxis();
    std::sort(box.entries.begin(), box.entries.end(), [axis](const Entry& a, const Entry& b) {
        const int ca = Channel(a.colour, axis), cb = Channel(b.colour, axis);
        return ca != cb ? ca < cb : (a.colour & 0xFFFFFF) < (b.colour & 0xFFFFFF);
    });
    long half = 0;
    size_t cut = 1;
    for (size_t i = 0; i + 1 < box.entries.size(); ++i) {
        half += box.entries[i].count;
        cut = i + 1;
        if (half * 2 >= box.population) break;
    }
    Box lo, hi;
    for (size_t i = 0; i < box.entries.size(); ++i) {
        Box& side = i < cut ? lo : hi;
        side.entries.push_back(box.entries[i]);
        side.population += box.entries[i].count;
    }
    return {lo, hi};
}

int Distance(QRgb a, QRgb b) {
    const int dr = qRed(a) - qRed(b), dg = qGreen(a) - qGreen(b), db = qBlue(a) - qBlue(b);
    return 3 * dr * dr + 4 * dg * dg + 2 * db * db;
}

}  // namespace

IndexedImage Quantize(const QImage& source, int colours, const std::vector<QRgb>& reserved) {
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    std::map<QRgb, long> histogram;
    for (int y = 0; y < image.height(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) ++histogram[row[x] | 0xFF000000u];
    }
    std::vector<QRgb> palette;
    for (QRgb c : reserved) palette.push_back(c | 0xFF000000u);
    if (int(palette.size()) > colours) throw std::runtime_error("too many reserved colours");

    Box all;
    for (const auto& [c, n] : histogram) {
        if (std::find(palette.begin(), palette.end(), c) != palette.end()) continue;
        all.entries.push_back({c, n});
        all.population += n;
    }
    const int room = colours - int(palette.size());
    std::vector<Box> boxes;
    if (!all.entries.empty() && room > 0) boxes.push_back(all);
    while (int(boxes.size()) < room) {
        size_t best = 0;
        for (size_t i = 1; i < boxes.size(); ++i)
            if (boxes[i].Priority() > boxes[best].Priority()) best = i;
        if (boxes.empty() || boxes[best].Priority() < 0) break;
        auto [lo, hi] = Split(boxes[best]);
        boxes[best] = lo;
        boxes.insert(boxes.begin() + long(best) + 1, hi);
    }
    for (const Box& b : boxes) palette.push_back(b.Mean());

    IndexedImage out;
    out.width = image.width();
    out.height = image.height();
    out.palette = palette;
    out.pixels.resize(size_t(out.width) * size_t(out.height));
    std::map<QRgb, uint8_t> nearest;
    for (const auto& [c, n] : histogram) {
        (void)n;
        int best = 0;
        for (int i = 1; i < int(palette.size()); ++i)
            if (Distance(c, palette[size_t(i)]) < Distance(c, palette[size_t(best)])) best = i;
        nearest[c] = uint8_t(best);
    }
    for (int y = 0; y < image.height(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            out.pixels[size_t(y) * size_t(out.width) + size_t(x)] = nearest[row[x] | 0xFF000000u];
    }
    return out;
}
