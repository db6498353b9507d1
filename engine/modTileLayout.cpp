// Choosing the layout by name and centring it on the board picture.
#include <cmath>
#include <string>

#include "modPatterns.h"
#include "modPatterns2.h"
#include "modTile.h"

void modTile::LoadPattern() {
    const std::string name = host_.PatternText();
    using Builder = void (*)(TileArray&);
    struct Entry {
        const char* name;
        Builder build;
    };
    // Compared in this order; "Random" stands before "Pyramid".
    static const Entry fixedBefore[] = {
        {"Default", PatternDefault},   {"Castle", PatternCastle},
        {"Classic", PatternClassic},   {"Mountain", PatternMountain},
        {"Great Wall", PatternGreatWall}, {"Block", PatternBlock},
        {"Hole", PatternHole},         {"Theater", PatternTheater},
        {"Checkers", PatternCheckers}, {"Shuriken", PatternShuriken},
        {"Dam", PatternDam},           {"Tree", PatternTree},
        {"Key", PatternKey},           {"Tavelorn", PatternTavelorn},
    };
    bool built = false;
    for (const Entry& e : fixedBefore) {
        if (name == e.name) {
            e.build(Tiles);
            built = true;
            break;
        }
    }
    if (!built && name == "Random") {
        PatternRandom(Tiles, random_);
        built = true;
    }
    if (!built && name == "Pyramid") {
        PatternPyramid(Tiles);
        built = true;
    }
    // Before any layout has been built the records all share one cell, from
    // which no game can be played: the first game of a run whose text names
    // no layout is laid out as "Classic" instead (the text stays as it is).
    if (!built && !LayoutBuilt) {
        PatternClassic(Tiles);
        built = true;
    }
    if (built) LayoutBuilt = true;
    CenterBoard();
}

void modTile::CenterBoard() {
    MaxCol = 0;
    MaxRow = 0;
    for (int16_t i = 1; i <= 144; ++i) {
        if (Tiles[i].Col > MaxCol) MaxCol = Tiles[i].Col;
        if (Tiles[i].Row > MaxRow) MaxRow = Tiles[i].Row;
    }
    const int16_t gridWidth = static_cast<int16_t>((MaxCol + 1) * CellWidth);
    const double w = picBoard->ScaleWidth();
    OffsetX = static_cast<int16_t>(std::floor((w - gridWidth) / 2.0));
    const int16_t gridHeight = static_cast<int16_t>((MaxRow + 1) * CellHeight);
    const double h = picBoard->ScaleHeight();
    OffsetY = static_cast<int16_t>(std::floor((h - gridHeight) / 2.0));
}
