// The cost of painting: a whole refresh of a full "Classic" board at the
// smallest window and at a full-screen one, over each kind of background,
// and the stretch of a photograph on its own.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

#include "modTile.h"

namespace {

class QuietHost : public EngineHost {
public:
    void SetFormEnabled(bool) override {}
    std::string PatternText() const override { return "Classic"; }
    int16_t EasyValue() const override { return 0; }
    void SetTimerEnabled(bool) override {}
    void SetTilesCaption(const std::string&) override {}
    void SetMatchCaption(const std::string&) override {}
};

class FixedRandom : public RandomSource {
public:
    double Rnd() override { return 0.5; }
    void Randomize() override {}
};

class FixedClock : public Clock {
public:
    int64_t Now() override { return 0; }
};

// A picture with smooth gradients and fine grain, like a photograph.
Surface Photo(int w, int h) {
    Surface s(w, h);
    uint32_t grain = 12345;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            grain = grain * 1103515245u + 12345u;
            const uint32_t r = static_cast<uint32_t>(x * 255 / w) ^ ((grain >> 16) & 15);
            const uint32_t g = static_cast<uint32_t>(y * 255 / h) ^ ((grain >> 20) & 15);
            const uint32_t b = static_cast<uint32_t>((x + y) * 255 / (w + h));
            s.SetPixel(x, y, r | (g << 8) | (b << 16));
        }
    return s;
}

enum class Ground { Solid, Tiled, Stretched };

struct Game {
    QuietHost host;
    FixedRandom random;
    FixedClock clock;
    Surface board;
    Surface sheet = Photo(9 * CellWidth, 5 * CellHeight);
    Surface mask{TileWidth, TileHeight, 0};
    Surface body{TileWidth, TileHeight, 0xE0F0F8};
    Surface skin;
    modTile tile{host, random, clock};

    Game(int width, int height, Ground ground) : board(width, height) {
        tile.picBoard = &board;
        tile.picMask = &mask;
        tile.picPaint = &body;
        tile.TileSetDC = &sheet;
        tile.picSkin = &skin;
        tile.BackgroundIsImage = ground != Ground::Solid;
        tile.ImageStretch = ground == Ground::Stretched;
        if (ground == Ground::Tiled) skin = Photo(128, 128);
        if (ground == Ground::Stretched) skin = Photo(1600, 1200);
        tile.LoadPattern();
        tile.TilesLeft = 144;
        tile.BuildBoard();
        for (int16_t i = 1; i <= 144; ++i) tile.Tiles[i].Face = static_cast<uint8_t>(i % 43);
        tile.DrawBoard();
    }
};

void RefreshBoard(benchmark::State& state) {
    Game game(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)), static_cast<Ground>(state.range(2)));
    for (auto _ : state) {
        game.tile.RefreshBoard();
        benchmark::DoNotOptimize(game.board.Bits());
    }
}

void ArgsForRefresh(benchmark::internal::Benchmark* b) {
    b->ArgNames({"W", "H", "ground"});
    for (const auto& [w, h] : {std::pair{581, 373}, std::pair{1916, 1001}})
        for (const Ground g : {Ground::Solid, Ground::Tiled, Ground::Stretched})
            b->Args({w, h, static_cast<int64_t>(g)});
}
BENCHMARK(RefreshBoard)->Apply(ArgsForRefresh)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true);

void StretchPhoto(benchmark::State& state) {
    const Surface photo = Photo(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    Surface board(1916, 1001);
    for (auto _ : state) {
        StretchBlt(board, 0, 0, 1916, 1001, photo, 0, 0, photo.ScaleWidth(), photo.ScaleHeight(), SRCCOPY);
        benchmark::DoNotOptimize(board.Bits());
    }
}
BENCHMARK(StretchPhoto)
    ->ArgNames({"w", "h"})
    ->Args({1024, 768})
    ->Args({1600, 1200})
    ->Args({4000, 3000})
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);

}  // namespace
