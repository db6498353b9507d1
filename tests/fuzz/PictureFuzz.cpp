// Any bytes at all as the background picture file: through the picture
// loader into picSkin, then the background painted in every mode on boards
// of a few sizes, the empty board included. Besides the sanitizers' own
// checks, each painted board is compared with what its mode must show.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "PictureLoader.h"
#include "SurfaceImage.h"
#include "TestHost.h"
#include "modTile.h"

namespace {

struct BoardSize {
    int width, height;
};
// Empty, a single pixel, one cell, empty in one direction only, and a board
// large enough to tile small pictures many times over.
constexpr BoardSize Sizes[] = {{0, 0}, {1, 1}, {37, 43}, {0, 381}, {300, 200}};

void Require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "picture fuzz: %s\n", what);
        std::abort();
    }
}

// Every pixel of the board, or a sparse grid of them on a large board.
template <class Check>
void ForSomePixels(const Surface& board, Check check) {
    const int stepX = board.ScaleWidth() > 64 ? 7 : 1;
    const int stepY = board.ScaleHeight() > 64 ? 5 : 1;
    for (int y = 0; y < board.ScaleHeight(); y += stepY)
        for (int x = 0; x < board.ScaleWidth(); x += stepX) check(x, y);
}

void CheckSolid(const Surface& board, uint32_t colour) {
    ForSomePixels(board, [&](int x, int y) { Require(board.Pixel(x, y) == colour, "solid pixel"); });
}

void CheckPicture(const Surface& board, const Surface& skin, bool stretch) {
    const int W = board.ScaleWidth(), H = board.ScaleHeight();
    const int w = skin.ScaleWidth(), h = skin.ScaleHeight();
    // No picture to show, or a smoothed one: only the sanitizers look.
    if (w == 0 || h == 0 || stretch) return;
    if (W < w && H < h) {
        const int sx = (w - W) / 2, sy = (h - H) / 2;
        ForSomePixels(board, [&](int x, int y) {
            Require(board.Pixel(x, y) == skin.Pixel(sx + x, sy + y), "centred pixel");
        });
        return;
    }
    ForSomePixels(board, [&](int x, int y) {
        Require(board.Pixel(x, y) == skin.Pixel(x % w, y % h), "tiled pixel");
    });
}

struct Rig {
    FakeHost host;
    ScriptedRandom random;
    FakeClock clock;
    modTile engine{host, random, clock};
    Surface board, skin;
    QString path;

    Rig() {
        engine.picBoard = &board;
        engine.picSkin = &skin;
    }
};

Rig* rig = nullptr;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    static QCoreApplication app(*argc, *argv);
    static QTemporaryDir dir;
    rig = new Rig;
    rig->path = dir.filePath(QStringLiteral("picture"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QFile file(rig->path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) std::abort();
    file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    file.close();

    modTile& engine = rig->engine;
    ShowImage(LoadPicture(rig->path), rig->skin);
    // The first bytes, read as they come, also pick the solid colour.
    uint32_t colour = 0x8000;
    for (size_t i = 0; i < size && i < 3; ++i) colour = (colour << 8) | data[i];
    engine.BackgroundColour = static_cast<int32_t>(colour & 0xFFFFFF);

    for (const BoardSize s : Sizes) {
        rig->board.Resize(s.width, s.height);
        engine.BackgroundIsImage = false;
        engine.DrawBackground();
        Require(rig->board.ScaleWidth() == s.width && rig->board.ScaleHeight() == s.height, "board size");
        CheckSolid(rig->board, colour & 0xFFFFFF);
        for (const bool stretch : {false, true}) {
            engine.BackgroundIsImage = true;
            engine.ImageStretch = stretch;
            rig->board.DrawMode = vbMaskPen;
            rig->board.FillStyle = 1;
            engine.DrawBackground();
            Require(rig->board.DrawMode == vbMaskPen && rig->board.FillStyle == 1, "draw settings kept");
            Require(rig->board.ScaleWidth() == s.width && rig->board.ScaleHeight() == s.height, "board size");
            CheckPicture(rig->board, rig->skin, stretch);
        }
    }
    return 0;
}
