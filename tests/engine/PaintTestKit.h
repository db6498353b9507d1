// A little synthetic tile sheet, mask and body with known colours, an engine
// wired to them, and a small BMP writer and reader for golden pictures.
#pragma once

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "Surface.h"
#include "TestHost.h"
#include "modTile.h"

namespace paintkit {

// The body's colours: the face area, the left strip, the bottom strip.
constexpr uint32_t BodyFace = 0xE0F0F8;
constexpr uint32_t BodyLeft = 0x6A8CA0;
constexpr uint32_t BodyBottom = 0x4A6C80;
constexpr uint32_t Green = 0x8000;

// The two cut corners of a 41 x 47 tile: three pixels on the diagonal.
inline bool CutCorner(int x, int y) { return x + y < 3 || (TileWidth - 1 - x) + (TileHeight - 1 - y) < 3; }

// Face f: a light ground with a dark block whose place and colour tell the
// face apart, and one marker pixel in its top-left corner.
inline uint32_t FaceGround(int f) { return 0xD0D0D0 + static_cast<uint32_t>(f); }
inline uint32_t FaceInk(int f) { return static_cast<uint32_t>((f * 37) % 200) | (static_cast<uint32_t>((f * 71) % 160) << 8) | (0x40u << 16); }

inline Surface MakeSheet() {
    Surface sheet(9 * CellWidth, 5 * CellHeight, 0);
    for (int f = 0; f < 45; ++f) {
        const int left = (f % 9) * CellWidth, top = (f / 9) * CellHeight;
        sheet.Line(static_cast<float>(left), static_cast<float>(top), static_cast<float>(left + CellWidth - 1),
                   static_cast<float>(top + CellHeight - 1), FaceGround(f), LineFlagFilledBox);
        sheet.Line(static_cast<float>(left), static_cast<float>(top), static_cast<float>(left + CellWidth - 1),
                   static_cast<float>(top), 0x909090, LineFlagLine);
        sheet.Line(static_cast<float>(left + CellWidth - 1), static_cast<float>(top), static_cast<float>(left + CellWidth - 1),
                   static_cast<float>(top + CellHeight - 1), 0x909090, LineFlagLine);
        const int bx = left + 6 + (f % 5) * 4, by = top + 6 + (f / 5) * 3;
        sheet.Line(static_cast<float>(bx), static_cast<float>(by), static_cast<float>(bx + 9),
                   static_cast<float>(by + 9), FaceInk(f), LineFlagFilledBox);
        sheet.SetPixel(left, top, 0x0000C0);
    }
    return sheet;
}

inline Surface MakeMask() {
    Surface mask(TileWidth, TileHeight, 0);
    for (int y = 0; y < TileHeight; ++y)
        for (int x = 0; x < TileWidth; ++x)
            if (CutCorner(x, y)) mask.SetPixel(x, y, 0xFFFFFF);
    return mask;
}

inline uint32_t BodyAt(int x, int y) {
    if (CutCorner(x, y)) return 0;
    if (y >= CellHeight) return BodyBottom;
    if (x < LayerShift) return BodyLeft;
    return BodyFace;
}

inline Surface MakeBody() {
    Surface body(TileWidth, TileHeight, 0);
    for (int y = 0; y < TileHeight; ++y)
        for (int x = 0; x < TileWidth; ++x) body.SetPixel(x, y, BodyAt(x, y));
    return body;
}

struct Cell {
    int col, row, layer;
};

// An engine with a board picture, the synthetic sheet, mask and body, and a
// hand-made layout of a few tiles.
struct PaintEngine {
    FakeHost host;
    ScriptedRandom random;
    FakeClock clock;
    Surface board;
    Surface sheet = MakeSheet();
    Surface mask = MakeMask();
    Surface body = MakeBody();
    modTile tile{host, random, clock};

    explicit PaintEngine(int width = 240, int height = 200) : board(width, height, 0xFFFFFF) {
        tile.picBoard = &board;
        tile.picMask = &mask;
        tile.picPaint = &body;
        tile.TileSetDC = &sheet;
    }

    // Lays tiles 1, 2, ... on the given cells with faces 0, 1, ... (or the
    // faces given), parks the unused entries off the layout, builds the
    // grid and sets the extents and offsets.
    void Lay(const std::vector<Cell>& cells, int16_t offsetX, int16_t offsetY, std::vector<uint8_t> faces = {}) {
        for (auto& column : tile.Board)
            for (auto& row : column)
                for (auto& cell : row) cell = -1;
        int16_t i = 0;
        int maxCol = 0, maxRow = 0;
        for (const Cell& c : cells) {
            ++i;
            TileRec& t = tile.Tiles[i];
            t.Col = static_cast<uint8_t>(c.col);
            t.Row = static_cast<uint8_t>(c.row);
            t.Layer = static_cast<uint8_t>(c.layer);
            t.Face = static_cast<uint8_t>(static_cast<size_t>(i - 1) < faces.size() ? faces[i - 1] : (i - 1) % 43);
            maxCol = std::max(maxCol, c.col);
            maxRow = std::max(maxRow, c.row);
        }
        for (int16_t k = static_cast<int16_t>(i + 1); k <= 144; ++k) {
            tile.Tiles[k] = TileRec{};
            tile.Tiles[k].Col = BoardCols - 1;
            tile.Tiles[k].Row = BoardRows - 1;
            tile.Tiles[k].Layer = BoardLayers - 1;
        }
        tile.MaxCol = static_cast<int16_t>(maxCol);
        tile.MaxRow = static_cast<int16_t>(maxRow);
        tile.OffsetX = offsetX;
        tile.OffsetY = offsetY;
        tile.TilesLeft = i;
        tile.BuildBoard();
    }

    int16_t At(const Cell& c) const {
        return tile.TileAt(static_cast<int16_t>(c.col), static_cast<int16_t>(c.row), static_cast<int16_t>(c.layer));
    }
};

inline bool SamePicture(const Surface& a, const Surface& b) {
    if (a.ScaleWidth() != b.ScaleWidth() || a.ScaleHeight() != b.ScaleHeight()) return false;
    for (int y = 0; y < a.ScaleHeight(); ++y)
        for (int x = 0; x < a.ScaleWidth(); ++x)
            if (a.Pixel(x, y) != b.Pixel(x, y)) return false;
    return true;
}

// ---- 24-bit BMP, bottom-up, rows padded to four bytes -------------------

inline void Put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}
inline void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}
inline uint32_t Get32(const std::vector<uint8_t>& in, size_t at) {
    return in[at] | (in[at + 1] << 8) | (in[at + 2] << 16) | (static_cast<uint32_t>(in[at + 3]) << 24);
}

inline bool WriteBmp(const std::string& path, const Surface& s) {
    const uint32_t w = static_cast<uint32_t>(s.ScaleWidth()), h = static_cast<uint32_t>(s.ScaleHeight());
    const uint32_t stride = (w * 3 + 3) & ~3u;
    std::vector<uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    Put32(out, 54 + stride * h);
    Put32(out, 0);
    Put32(out, 54);
    Put32(out, 40);
    Put32(out, w);
    Put32(out, h);
    Put16(out, 1);
    Put16(out, 24);
    Put32(out, 0);
    Put32(out, stride * h);
    Put32(out, 2835);
    Put32(out, 2835);
    Put32(out, 0);
    Put32(out, 0);
    for (uint32_t y = h; y-- > 0;) {
        for (uint32_t x = 0; x < w; ++x) {
            const uint32_t c = s.Pixel(static_cast<int>(x), static_cast<int>(y));  // &HBBGGRR
            out.push_back(static_cast<uint8_t>(c >> 16));
            out.push_back(static_cast<uint8_t>(c >> 8));
            out.push_back(static_cast<uint8_t>(c));
        }
        out.resize(out.size() + (stride - w * 3), 0);
    }
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size()));
    return static_cast<bool>(file);
}

// Reads what WriteBmp writes, and the game's 8-bit sheets (bottom-up, no
// compression); false for anything else.
inline bool ReadBmp(const std::string& path, Surface& s) {
    std::ifstream file(path, std::ios::binary);
    std::vector<uint8_t> in((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (in.size() < 54 || in[0] != 'B' || in[1] != 'M' || Get32(in, 30) != 0) return false;
    const int bits = in[28] | (in[29] << 8);
    if (bits != 24 && bits != 8) return false;
    const uint32_t offset = Get32(in, 10), w = Get32(in, 18), h = Get32(in, 22), palette = 14 + Get32(in, 14);
    const uint32_t stride = (w * static_cast<uint32_t>(bits) / 8 + 3) & ~3u;
    if (w > 4096 || h > 4096 || in.size() < offset + static_cast<size_t>(stride) * h ||
        (bits == 8 && palette + 1024 > offset))
        return false;
    s.Resize(static_cast<int>(w), static_cast<int>(h));
    for (uint32_t y = 0; y < h; ++y) {
        const uint8_t* row = in.data() + offset + static_cast<size_t>(h - 1 - y) * stride;
        for (uint32_t x = 0; x < w; ++x) {
            const uint8_t* bgr = bits == 24 ? row + x * 3 : in.data() + palette + row[x] * 4;
            s.SetPixel(static_cast<int>(x), static_cast<int>(y),
                       bgr[2] | (bgr[1] << 8) | (static_cast<uint32_t>(bgr[0]) << 16));
        }
    }
    return true;
}

}  // namespace paintkit
