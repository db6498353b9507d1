// JPEG pictures of the largest size, loaded on the window's thread at
// start-up: a plain one-scan file against the costliest the work bound lets
// through, and those it stops partway.
#include <benchmark/benchmark.h>

#include <QFile>
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

void Load(benchmark::State& state, const QByteArray& bytes) {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("picture.jpg"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) state.SkipWithError("not written");
    file.close();
    for (auto _ : state) benchmark::DoNotOptimize(LoadPicture(path));
}

void PlainColour(benchmark::State& state) { Load(state, OneLevelJpeg(Side, 3, false)); }
void PlainColourSampled(benchmark::State& state) { Load(state, OneLevelJpeg(Side, 3, false, 0, {.lumaSampling = 0x22})); }
void ProgressiveGrey(benchmark::State& state) { Load(state, OneLevelJpeg(Side, 1, true)); }
void ArithmeticRefinementsAccepted(benchmark::State& state) { Load(state, Refined(0xCA, 6, {})); }
void ArithmeticRefinementsStopped(benchmark::State& state) { Load(state, Refined(0xCA, 63, {})); }
void HuffmanRefinementsStopped(benchmark::State& state) {
    Load(state, Refined(0xC2, 63, QByteArray(Side / 8 * (Side / 8) / 8, '\0')));
}

}  // namespace

BENCHMARK(PlainColour)->Unit(benchmark::kMillisecond);
BENCHMARK(PlainColourSampled)->Unit(benchmark::kMillisecond);
BENCHMARK(ProgressiveGrey)->Unit(benchmark::kMillisecond);
BENCHMARK(ArithmeticRefinementsAccepted)->Unit(benchmark::kMillisecond);
BENCHMARK(ArithmeticRefinementsStopped)->Unit(benchmark::kMillisecond);
BENCHMARK(HuffmanRefinementsStopped)->Unit(benchmark::kMillisecond);
