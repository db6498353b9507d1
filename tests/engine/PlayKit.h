// What the play and deal tests share: a game with its fakes, a source that
// gives scripted draws before a seeded sequence, a board laid from a list of
// cells, and a snapshot of everything a removal and an undo touch.
#pragma once

#include <array>
#include <cstring>
#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "TestHost.h"
#include "modTile.h"

// The scripted draws first, then a reproducible sequence for ever (a
// constant tail would never let the deal draw two different positions).
class ScriptThenSeeded : public RandomSource {
public:
    explicit ScriptThenSeeded(uint64_t seed = 1) : rest_(seed) {}
    std::deque<double> draws;
    int reseeds = 0;
    long drawsTaken = 0;
    std::vector<long> reseedAt;  // draws taken before each reseed

    double Rnd() override {
        CountDraw(drawsTaken);
        if (draws.empty()) return rest_.Rnd();
        const double d = draws.front();
        draws.pop_front();
        return d;
    }
    void Randomize() override {
        ++reseeds;
        reseedAt.push_back(drawsTaken);
        rest_.Randomize();
    }

private:
    SeededRandom rest_;
};

struct Game {
    explicit Game(uint64_t seed = 1) : random(seed) {}
    FakeHost host;
    ScriptThenSeeded random;
    FakeClock clock;
    modTile tile{host, random, clock};
    // The pairs of the solvable deal's last attempt, turn 1 first.
    std::vector<std::pair<int16_t, int16_t>> dealt;

    void RecordDeal() {
        tile.PairDealt = [this](int16_t turn, int16_t a, int16_t b) {
            if (turn == 1) dealt.clear();
            dealt.emplace_back(a, b);
        };
    }
    void Start(const std::string& layout, int16_t easy) {
        host.patternText = layout;
        host.easyValue = easy;
        tile.NewGame();
    }
};

struct Cell {
    int col, row, layer;
};

// Lays tiles 1 to cells.size() on the given cells and builds the board the
// way a new game does; faces are left to the caller.
inline void LayCells(modTile& t, const std::vector<Cell>& cells) {
    for (size_t i = 0; i < cells.size() && i < 144; ++i) {
        t.Tiles[i + 1].Col = static_cast<uint8_t>(cells[i].col);
        t.Tiles[i + 1].Row = static_cast<uint8_t>(cells[i].row);
        t.Tiles[i + 1].Layer = static_cast<uint8_t>(cells[i].layer);
    }
    t.CenterBoard();
    t.TilesLeft = 144;
    t.BuildBoard();
}

// Appends layer-0 tiles row by row from the given row, twelve to a row,
// until there are 144 cells.
inline void FillRows(std::vector<Cell>& cells, int firstRow) {
    for (int n = 0; cells.size() < 144; ++n) cells.push_back({n % 12, firstRow + n / 12, 0});
}

// Where the cell geometry puts tile i under the current offsets.
inline std::pair<int16_t, int16_t> CellPixel(const modTile& t, int16_t i) {
    const TileRec& r = t.Tiles[i];
    return {static_cast<int16_t>(r.Col * 37 + t.OffsetX + 4 * r.Layer),
            static_cast<int16_t>(r.Row * 43 + t.OffsetY - 4 * r.Layer)};
}

// Everything a removal or an undo may change, and the reading of it.
struct Snapshot {
    std::vector<int16_t> board;
    std::vector<int16_t> open;  // up to and with the end mark
    int16_t openCount = 0, matchesLeft = 0, tilesLeft = 0, undoTop = 0;
    std::string tilesCaption, matchCaption;

    static Snapshot Of(const Game& g) {
        Snapshot s;
        const auto* cells = &g.tile.Board[0][0][0];
        s.board.assign(cells, cells + sizeof g.tile.Board / sizeof *cells);
        for (size_t n = 1; n < g.tile.OpenTiles.size(); ++n) {
            s.open.push_back(g.tile.OpenTiles[n]);
            if (g.tile.OpenTiles[n] < 0) break;
        }
        s.openCount = g.tile.OpenCount;
        s.matchesLeft = g.tile.MatchesLeft;
        s.tilesLeft = g.tile.TilesLeft;
        s.undoTop = g.tile.UndoTop;
        s.tilesCaption = g.host.tilesCaption;
        s.matchCaption = g.host.matchCaption;
        return s;
    }
    bool operator==(const Snapshot&) const = default;
};

// Face counts of tiles 1 to 144, by face number.
inline std::array<int, 43> FaceCounts(const modTile& t) {
    std::array<int, 43> counts{};
    for (int i = 1; i <= 144; ++i)
        if (t.Tiles[i].Face < counts.size()) ++counts[t.Tiles[i].Face];
    return counts;
}

// What a deal holds: four of each face but one of each Flower and Season,
// and no face 35.
inline std::array<int, 43> DealtFaceCounts() {
    std::array<int, 43> counts{};
    for (int f = 0; f <= 42; ++f) counts[f] = 4;
    for (int f = 27; f <= 30; ++f) counts[f] = 1;
    for (int f = 36; f <= 39; ++f) counts[f] = 1;
    counts[35] = 0;
    return counts;
}

inline bool Listed(const modTile& t, int16_t i) {
    for (int n = 1; n <= t.OpenCount; ++n)
        if (t.OpenTiles[n] == i) return true;
    return false;
}
