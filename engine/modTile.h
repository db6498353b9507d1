// The tile engine: the board model and its rules, the choice and centring of
// the layout, the deal, play and undo, the hit test, and all painting of the
// board onto the surfaces it is given.
//
// The game keeps this state for the whole run; the program holds one
// instance, and every test builds a fresh one. Names are the game's own.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "EngineHost.h"
#include "Random.h"
#include "Surface.h"
#include "TileRec.h"

// Face groups.
constexpr uint8_t FirstFlower = 27, LastFlower = 30;
constexpr uint8_t FirstSeason = 36, LastSeason = 39;

// The matching rule on two face numbers: equal, or both Flowers, or both
// Seasons.
bool FacesMatch(uint8_t a, uint8_t b);

class modTile {
public:
    modTile(EngineHost& host, RandomSource& random, Clock& clock);
    modTile(const modTile&) = delete;
    modTile& operator=(const modTile&) = delete;

    // ---- Board model --------------------------------------------------
    TileArray Tiles{};
    using CellGrid = int16_t[BoardCols][BoardRows][BoardLayers];
    CellGrid Board = {};
    int16_t MaxCol = 0;
    int16_t MaxRow = 0;
    int16_t MaxLayer = 0;
    int16_t OffsetX = 0;
    int16_t OffsetY = 0;
    std::array<int16_t, 101> OpenTiles{};  // from entry 1, ended by -1
    int16_t OpenCount = 0;
    int16_t TilesLeft = 0;
    int16_t MatchesLeft = 0;

    bool TilesMatch(int16_t a, int16_t b) const;
    int16_t TileAt(int16_t col, int16_t row, int16_t layer) const;
    void BuildBoard();
    bool FreeLeft(int16_t i) const;
    bool FreeRight(int16_t i) const;
    bool FreeAbove(int16_t i) const;
    bool IsOpen(int16_t i) const;  // on the board, free on a side and above
    void UpdateOpenTiles();
    void CountMatches();

    // ---- Layout choice and centring -----------------------------------
    void LoadPattern();
    void CenterBoard();
    bool LayoutBuilt = false;  // set once a builder has run in this run

    // ---- New game and deal --------------------------------------------
    std::array<uint8_t, 145> FacePool{};
    int16_t FacePoolCount = 0;
    int64_t StartTime = 0;  // seconds on the Clock's scale

    void NewGame();
    void ShuffleFacePool();
    bool DealSolvable();
    void PickMatchingFaces(int16_t& first, int16_t& second);
    void RemoveFromPool(int16_t face);
    // Told of every pair the solvable deal gives faces to, with its turn
    // (1 to 72; turn 1 starts an attempt). Only checks and measurements
    // listen; the deal is the same with or without a listener.
    std::function<void(int16_t turn, int16_t a, int16_t b)> PairDealt;

    // ---- Pair removal, undo and hit test ------------------------------
    std::array<int16_t, 145> UndoStack{};
    int16_t UndoTop = 0;

    int16_t HitTest(int16_t x, int16_t y) const;
    void RemovePair(int16_t a, int16_t b);
    void PushUndo(int16_t a, int16_t b);
    void UndoPair();

    // ---- Painting -----------------------------------------------------
    // The surfaces the main window owns. Until it hands them over they
    // point at an empty surface of the engine's own.
    Surface* picBoard;
    Surface* picMask;
    Surface* picPaint;
    Surface* picSkin;
    Surface* TileSetDC;

    int32_t BackgroundColour = 0x8000;
    std::string BackgroundImage;
    bool BackgroundIsImage = false;
    bool ImageStretch = false;
    bool SoundOn = false;

    void DrawBackground();
    void DrawTileShadow(int16_t i);
    bool EmptyLowerRightUp(int16_t i) const;
    bool EmptyLowerRight(int16_t i) const;
    bool EmptyDown(int16_t i) const;
    bool EmptyLowerDown(int16_t i) const;
    bool EmptyRightDown(int16_t i) const;
    bool EmptyLowerRightDown(int16_t i) const;

    void DrawTile(int16_t i);
    void RedrawTile(int16_t i);
    void HighlightTile(int16_t i);
    void UnhighlightTile(int16_t i);
    void DrawBoard();
    void RefreshBoard();
    void RedrawBoard();

private:
    // Fills the layout's cells of `grid` with the tile each one holds by the
    // records alone (TileAt's answer), -1 where none.
    void LayCells(CellGrid& grid) const;

    // The picture stretched to the board's size, kept while neither the
    // picture nor the board's size changes: a large photograph is stretched
    // once, not at every pass.
    Surface stretched_;
    const Surface* stretchedFrom_ = nullptr;
    uint64_t stretchedVersion_ = 0;

    EngineHost& host_;
    RandomSource& random_;
    Clock& clock_;
    Surface blank_;
};
