// Fixed layouts, first module: each is a height map, one string per row
// (row 0 first) and one character per column (column 0 first); a digit is the
// number of tiles stacked on the cell, a full stop an empty cell. The maps are
// laid out by LayHeightMap, so each builder is one call.
#include <cstring>
#include <iterator>

#include "modPatterns.h"

namespace {

constexpr const char* kDefaultMap[] = {
    "..112211..",
    ".12344321.",
    "1234554321",
    "1224554221",
    "1234554321",
    ".12344321.",
    "..112211..",
};

constexpr const char* kCastleMap[] = {
    "5454545",
    "4111114",
    "5122215",
    "4124214",
    "5122215",
    "4111114",
    "5454545",
};

constexpr const char* kClassicMap[] = {
    ".111111111111.",
    "...12222221...",
    "..1123333211..",
    "11112344321111",
    "11112344321111",
    "..1123333211..",
    "...12222221...",
    ".111111111111.",
};

constexpr const char* kMountainMap[] = {
    "..1111111..",
    ".112343211.",
    "11234643211",
    "12346664321",
    "11234643211",
    ".112343211.",
    "..1111111..",
};

constexpr const char* kGreatWallMap[] = {
    "43434..1234",
    "3...3.....3",
    "4...43434.4",
    "3.1.....3.3",
    "4.1123434.4",
    "3.........3",
    "43434343434",
};

constexpr const char* kBlockMap[] = {
    "33333333",
    "33333333",
    "33333333",
    "33333333",
    "33333333",
    "33333333",
};

constexpr const char* kHoleMap[] = {
    "24444442",
    "13422431",
    "134..431",
    "134..431",
    "134..431",
    "13422431",
    "24444442",
};

constexpr const char* kTheaterMap[] = {
    "5432112345",
    "4321..1234",
    "321.22.123",
    "21.1221.12",
    "321.22.123",
    "4321..1234",
    "5432112345",
};

constexpr const char* kCheckersMap[] = {
    "5.4.4.4.4.",
    ".4.4.4.4.5",
    "4.4.4.4.4.",
    ".4.4.4.4.4",
    "4.4.4.4.4.",
    ".4.4.4.4.5",
    "5.4.4.4.4.",
};

}  // namespace

// The numbering is part of the layout (the deal and the open list follow
// it): layer by layer from 0 up, then row by row, then by ascending column.
// Only Col, Row and Layer of entries 1 to 144 are written; a map never fills
// more than those 144 entries.
void LayHeightMap(TileArray& Tiles, const char* const* rows, int rowCount) {
    int next = 1;
    for (int layer = 0; layer <= 9 && next <= 144; ++layer) {
        for (int row = 0; row < rowCount && next <= 144; ++row) {
            const size_t width = std::strlen(rows[row]);
            for (size_t col = 0; col < width && next <= 144; ++col) {
                const char height = rows[row][col];
                if (height < '1' || height > '9' || height - '0' <= layer) continue;
                TileRec& t = Tiles[next++];
                t.Col = static_cast<uint8_t>(col);
                t.Row = static_cast<uint8_t>(row);
                t.Layer = static_cast<uint8_t>(layer);
            }
        }
    }
}

void PatternDefault(TileArray& Tiles) {
    LayHeightMap(Tiles, kDefaultMap, static_cast<int>(std::size(kDefaultMap)));
}

void PatternCastle(TileArray& Tiles) {
    LayHeightMap(Tiles, kCastleMap, static_cast<int>(std::size(kCastleMap)));
}

void PatternClassic(TileArray& Tiles) {
    LayHeightMap(Tiles, kClassicMap, static_cast<int>(std::size(kClassicMap)));
}

void PatternMountain(TileArray& Tiles) {
    LayHeightMap(Tiles, kMountainMap, static_cast<int>(std::size(kMountainMap)));
}

void PatternGreatWall(TileArray& Tiles) {
    LayHeightMap(Tiles, kGreatWallMap, static_cast<int>(std::size(kGreatWallMap)));
}

void PatternBlock(TileArray& Tiles) {
    LayHeightMap(Tiles, kBlockMap, static_cast<int>(std::size(kBlockMap)));
}

void PatternHole(TileArray& Tiles) {
    LayHeightMap(Tiles, kHoleMap, static_cast<int>(std::size(kHoleMap)));
}

void PatternTheater(TileArray& Tiles) {
    LayHeightMap(Tiles, kTheaterMap, static_cast<int>(std::size(kTheaterMap)));
}

void PatternCheckers(TileArray& Tiles) {
    LayHeightMap(Tiles, kCheckersMap, static_cast<int>(std::size(kCheckersMap)));
}
