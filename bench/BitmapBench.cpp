// A background bitmap loaded: the whole file read once and decoded into the
// picture, from the page cache, for the forms a large picture comes in.
#include <benchmark/benchmark.h>

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include "PictureFiles.h"
#include "PictureLoader.h"

namespace {

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

void Load(benchmark::State& state, const QByteArray& file) {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("picture.bmp"));
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(file) != file.size()) state.SkipWithError("not written");
    out.close();
    qint64 pixels = 0;
    for (auto _ : state) {
        const QImage picture = LoadPicture(path);
        if (picture.isNull()) state.SkipWithError("not loaded");
        pixels += qint64(picture.width()) * picture.height();
    }
    state.counters["pixels/s"] = benchmark::Counter(double(pixels), benchmark::Counter::kIsRate);
}

void Bitmap24Bits4096(benchmark::State& state) { Load(state, Gradient(4096, QImage::Format_RGB32)); }
BENCHMARK(Bitmap24Bits4096)->Unit(benchmark::kMillisecond);

void Bitmap8Bits4096(benchmark::State& state) { Load(state, Gradient(4096, QImage::Format_Indexed8)); }
BENCHMARK(Bitmap8Bits4096)->Unit(benchmark::kMillisecond);

// The largest square we hold, in runs of one colour: a file of 1 MB.
void BitmapRuns8192(benchmark::State& state) { Load(state, picture_files::OneColourBmp(8192, 8192)); }
BENCHMARK(BitmapRuns8192)->Unit(benchmark::kMillisecond);

}  // namespace
