// New game and deal: the plain shuffle and the deal that can always be
// cleared by taking its pairs in the order they were dealt.
#include <algorithm>
#include <array>

#include "modTile.h"

namespace {
// The 144 faces of a deal in the pool's starting order: each face four times
// on consecutive positions, except the Flowers and the Seasons, once each.
// Face 35 is never dealt.
constexpr std::array<uint8_t, 144> StartingPool() {
    std::array<uint8_t, 144> pool{};
    int p = 0;
    const auto add = [&](int first, int last, int copies) {
        for (int f = first; f <= last; ++f)
            for (int k = 0; k < copies; ++k) pool[p++] = static_cast<uint8_t>(f);
    };
    add(0, 26, 4);
    add(FirstFlower, LastFlower, 1);
    add(31, 34, 4);
    add(FirstSeason, LastSeason, 1);
    add(40, 42, 4);
    return pool;
}
constexpr std::array<uint8_t, 144> PoolOrder = StartingPool();

// Positions a and b, 1 to n, of two different entries of a list of n >= 2:
// one draw for a, then draws for b until it differs. A shorter list has no
// two entries to give; its first serves for both rather than draw for ever.
void DrawTwo(RandomSource& random, int n, int& a, int& b) {
    if (n < 2) {
        a = b = 1;
        return;
    }
    a = DrawBelow(random, n) + 1;
    do {
        b = DrawBelow(random, n) + 1;
    } while (b == a);
}
}  // namespace

void modTile::NewGame() {
    host_.SetFormEnabled(false);
    random_.Randomize();
    LoadPattern();
    TilesLeft = 144;
    BuildBoard();
    if (host_.EasyValue() == 1) {
        while (!DealSolvable()) {
        }
    } else {
        ShuffleFacePool();
        for (int16_t i = 1; i <= 144; ++i) Tiles[i].Face = FacePool[i - 1];
    }
    DrawBoard();
    UndoTop = 0;
    StartTime = clock_.Now();
    host_.SetTimerEnabled(true);
    host_.SetFormEnabled(true);
}

void modTile::ShuffleFacePool() {
    random_.Randomize();
    std::copy(PoolOrder.begin(), PoolOrder.end(), FacePool.begin());
    // 5000 swaps of two positions drawn independently, p first.
    for (int k = 0; k < 5000; ++k) {
        const int p = DrawBelow(random_, 144);
        const uint8_t kept = FacePool[p];
        const int q = DrawBelow(random_, 144);
        FacePool[p] = FacePool[q];
        FacePool[q] = kept;
    }
    FacePoolCount = 144;
}

bool modTile::DealSolvable() {
    ShuffleFacePool();

    // Board is the attempt's working board; it is put back before returning.
    int16_t SavedBoard[BoardCols][BoardRows][BoardLayers];
    const auto copyBoard = [this](int16_t(&to)[BoardCols][BoardRows][BoardLayers],
                                  const int16_t(&from)[BoardCols][BoardRows][BoardLayers]) {
        for (int c = 0; c <= MaxCol; ++c)
            for (int r = 0; r <= MaxRow; ++r)
                for (int l = 0; l <= MaxLayer; ++l) to[c][r][l] = from[c][r][l];
    };
    copyBoard(SavedBoard, Board);

    std::array<int16_t, 101> Cand{};  // from entry 1
    for (int16_t turn = 1; turn <= 72; ++turn) {
        int n = 0;
        for (int16_t i = 1; i <= 144; ++i) {
            // No layout opens more than 96 tiles; a board that would is cut
            // short rather than overrun the list.
            if (IsOpen(i) && n < static_cast<int>(Cand.size()) - 1) Cand[++n] = i;
        }
        // Fewer than two open tiles: what is left lies in one stack.
        if (n < 2) {
            copyBoard(Board, SavedBoard);
            return false;
        }
        int a = 0, b = 0;
        DrawTwo(random_, n, a, b);
        int16_t first = 0, second = 0;
        PickMatchingFaces(first, second);
        TileRec& ta = Tiles[Cand[a]];
        TileRec& tb = Tiles[Cand[b]];
        ta.Face = static_cast<uint8_t>(first);
        tb.Face = static_cast<uint8_t>(second);
        RemoveFromPool(first);
        RemoveFromPool(second);
        Board[ta.Col][ta.Row][ta.Layer] = -1;
        Board[tb.Col][tb.Row][tb.Layer] = -1;
        if (PairDealt) PairDealt(turn, Cand[a], Cand[b]);
    }
    copyBoard(Board, SavedBoard);
    return true;
}

void modTile::PickMatchingFaces(int16_t& first, int16_t& second) {
    const int r = DrawBelow(random_, FacePoolCount);
    // Each group enters the pool four strong and leaves it two at a time, so
    // two or four positions match; the list has room for ten whatever the
    // pool holds.
    std::array<int16_t, 11> Idx{};  // from entry 1
    int m = 0;
    for (int16_t j = 0; j < FacePoolCount && m < static_cast<int>(Idx.size()) - 1; ++j)
        if (FacesMatch(FacePool[j], FacePool[r])) Idx[++m] = j;
    int a = 0, b = 0;
    DrawTwo(random_, m, a, b);
    first = FacePool[Idx[a]];
    second = FacePool[Idx[b]];
}

void modTile::RemoveFromPool(int16_t face) {
    // By value: the lowest live position holding the face.
    int i = 0;
    while (i < FacePoolCount && FacePool[i] != face) ++i;
    if (i == FacePoolCount) return;
    for (int j = i; j <= FacePoolCount - 2; ++j) FacePool[j] = FacePool[j + 1];
    --FacePoolCount;
}
