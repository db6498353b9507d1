// An engine with fake seams and a board picture of its own, and the steps a
// new game takes to lay out a board, for the board and layout tests.
#pragma once

#include <initializer_list>
#include <string>

#include "Surface.h"
#include "TestHost.h"
#include "modTile.h"

struct Cell {
    int col, row, layer;
};

struct Engine {
    FakeHost host;
    ScriptedRandom random;
    FakeClock clock;
    Surface board{640, 480};
    modTile tile{host, random, clock};

    Engine() { tile.picBoard = &board; }

    // Chooses the layout by name and fills the cell grid, as a new game does
    // before its deal.
    void Lay(const std::string& name) {
        host.patternText = name;
        tile.LoadPattern();
        tile.TilesLeft = 144;
        tile.BuildBoard();
    }

    // Empties every cell of the grid but the given ones, as if all other
    // tiles had been taken off in play.
    void KeepOnly(std::initializer_list<Cell> cells) {
        for (int c = 0; c <= tile.MaxCol; ++c)
            for (int r = 0; r <= tile.MaxRow; ++r)
                for (int l = 0; l < BoardLayers; ++l) tile.Board[c][r][l] = -1;
        tile.TilesLeft = 0;
        for (const Cell& cell : cells) {
            tile.Board[cell.col][cell.row][cell.layer] =
                tile.TileAt(static_cast<int16_t>(cell.col), static_cast<int16_t>(cell.row),
                            static_cast<int16_t>(cell.layer));
            ++tile.TilesLeft;
        }
    }

    int16_t At(const Cell& cell) const {
        return tile.TileAt(static_cast<int16_t>(cell.col), static_cast<int16_t>(cell.row),
                           static_cast<int16_t>(cell.layer));
    }

    bool IsOpen(int16_t i) const {
        for (int k = 1; k <= tile.OpenCount; ++k)
            if (tile.OpenTiles[k] == i) return true;
        return false;
    }
};
