// Background pictures loaded on the window's thread at start-up, from the
// page cache: JPEG of the largest size, a plain one-scan file against the
// costliest the work bound lets through and those it stops partway; and
// bitmaps in the forms a large picture comes in.
#include <benchmark/benchmark.h>

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include "PictureFiles.h"
#include "PictureLoader.h"

namespace {

using namespace picture_files;
constexpr int Side = 8192;

// Grey, a first scan of its DC terms, then `refinements` refinements of
// every other term, each with `data` as its coded data.
QByteArray Refined(unsigned char frame, int refinements, const QByteArray& data) {
    const QByteArray bits(Side / 8 * (Side / 8) / 8, '\0');
    std::vector<JpegScan> scans{{"\x01", 0, 0, 0, 1, bits}};
    for (int s = 0; s < refinements; ++s) scans.push_back({"\x01", 1, 63, 1, 0, data});
    return ScansJpeg(Side, Side, 1, frame, scans);
}

// A picture of `side` x `side` with a gradient, as a bitmap of its own
// form (24 bits, or 8 with a colour table).
QByteArray Gradient(int side, QImage::Format format) {
    QImage image(side, side, QImage::Format_RGB32);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) image.setPixel(x, y, qRgb(x & 255, y & 255, (x ^ y) & 255));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.convertToFormat(format).save(&buffer, "bmp");
    return bytes;
}

void Load(benchmark::State& state, const QByteArray& bytes) {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("picture"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) state.SkipWithError("not written");
    file.close();
    qint64 pixels = 0;
    for (auto _ : state) {
        const QImage picture = LoadPicture(path);
        pixels += qint64(picture.width()) * picture.height();
    }
    state.counters["pixels/s"] = benchmark::Counter(double(pixels), benchmark::Counter::kIsRate);
}

void PlainColour(benchmark::State& state) { Load(state, OneLevelJpeg(Side, 3, false)); }
void PlainColourSampled(benchmark::State& state) { Load(state, OneLevelJpeg(Side, 3, false, 0, {.lumaSampling = 0x22})); }
void ProgressiveGrey(benchmark::State& state) { Load(state, OneLevelJpeg(Side, 1, true)); }
void ArithmeticRefinementsAccepted(benchmark::State& state) { Load(state, Refined(0xCA, 6, {})); }
void ArithmeticRefinementsStopped(benchmark::State& state) { Load(state, Refined(0xCA, 63, {})); }
void HuffmanRefinementsStopped(benchmark::State& state) {
    Load(state, Refined(0xC2, 63, QByteArray(Side / 8 * (Side / 8) / 8, '\0')));
}

void Bitmap24Bits4096(benchmark::State& state) { Load(state, Gradient(4096, QImage::Format_RGB32)); }
void Bitmap8Bits4096(benchmark::State& state) { Load(state, Gradient(4096, QImage::Format_Indexed8)); }
// The largest square we hold, in runs of one colour: a file of 1 MB.
void BitmapRuns8192(benchmark::State& state) { Load(state, OneColourBmp(Side, Side)); }

}  // namespace

BENCHMARK(PlainColour)->Unit(benchmark::kMillisecond);
BENCHMARK(PlainColourSampled)->Unit(benchmark::kMillisecond);
BENCHMARK(ProgressiveGrey)->Unit(benchmark::kMillisecond);
BENCHMARK(ArithmeticRefinementsAccepted)->Unit(benchmark::kMillisecond);
BENCHMARK(ArithmeticRefinementsStopped)->Unit(benchmark::kMillisecond);
BENCHMARK(HuffmanRefinementsStopped)->Unit(benchmark::kMillisecond);
BENCHMARK(Bitmap24Bits4096)->Unit(benchmark::kMillisecond);
BENCHMARK(Bitmap8Bits4096)->Unit(benchmark::kMillisecond);
BENCHMARK(BitmapRuns8192)->Unit(benchmark::kMillisecond);
