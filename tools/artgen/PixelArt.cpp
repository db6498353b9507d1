#include "PixelArt.h"

#include <QHash>
#include <stdexcept>

#include "Colours.h"

namespace {

// One letter per pixel; '.' is the button face, ' ' is transparent.
QRgb Ink(char c) {
    static const QHash<char, QRgb> inks = {
        {'.', colour::ButtonFace}, {' ', 0x00000000},      {'k', colour::Black},   {'w', colour::White},
        {'g', 0xFF20B030},         {'G', 0xFF106018},      {'l', 0xFF90E890},      {'y', 0xFFFFE020},
        {'Y', 0xFFC09000},         {'b', 0xFF2060E0},      {'B', 0xFF102A80},      {'r', 0xFFE01010},
        {'s', 0xFFA0A0A0},         {'S', 0xFF606060},      {'p', 0xFF8030B0},      {'P', 0xFF4A1070},
        {'L', 0xFF90C8F0},         {'n', 0xFF805020},      {'o', colour::Olive},   {'c', colour::Cream},
    };
    if (!inks.contains(c)) throw std::runtime_error(std::string("no ink for '") + c + "'");
    return inks.value(c);
}

QImage FromRows(const std::vector<const char*>& rows) {
    const int w = int(std::strlen(rows[0]));
    QImage image(w, int(rows.size()), QImage::Format_ARGB32);
    for (int y = 0; y < int(rows.size()); ++y) {
        if (int(std::strlen(rows[size_t(y)])) != w) throw std::runtime_error("ragged pixel rows");
        for (int x = 0; x < w; ++x) image.setPixel(x, y, Ink(rows[size_t(y)][x]));
    }
    return image;
}

const std::vector<const char*> kNew = {
    "................",
    "............y...",
    "..........y.y.y.",
    "....kkkkkkk.yyy.",
    "...kllllllkyyyyy",
    "...klgggggk.yyy.",
    "..kklgggggk.y.y.",
    "..kGlgggggk..y..",
    "..kGlgggggk.....",
    "..kGlgggggk.....",
    "..kGlgggggk.....",
    "..kGlgggggk.....",
    "..kGkkkkkkk.....",
    "..kGGGGGGk......",
    "..kkkkkkk.......",
    "................",
};

const std::vector<const char*> kHint = {
    "...y...y....y...",
    "....y..y...y....",
    "......kkkk......",
    "y...kkyyyykk...y",
    "...kyywwyyyyk...",
    "...kywwyyyyyk...",
    "...kyyyyyyyyk...",
    "yy.kyyyyyyyyk.yy",
    "....kyyyyyyk....",
    ".....kyYYyk.....",
    "......kYYk......",
    "......kssk......",
    "......kSSk......",
    "......kssk......",
    ".......kk.......",
    "................",
};

const std::vector<const char*> kBack = {
    "................",
    "................",
    "......BBBBB.....",
    "....BBbbbbbBB...",
    "...BbbBBBBBbbB..",
    "..BbbB.....BbbB.",
    "bbbbbbb.....BbB.",
    ".bbbbb......BbB.",
    "..bbb.......BbB.",
    "...b........BbB.",
    "...........BbbB.",
    "..........BbbB..",
    "........BBbbB...",
    "......BBbbBB....",
    "......BBBB......",
    "................",
};

const std::vector<const char*> kSound = {
    "................",
    "................",
    "......k.........",
    ".....kk.....k...",
    "....ksk..k...k..",
    "kkkkssk...k...k.",
    "ksssssk.k..k..k.",
    "ksssssk..k.k..k.",
    "ksssssk..k.k..k.",
    "ksssssk.k..k..k.",
    "kkkkssk...k...k.",
    "....ksk..k...k..",
    ".....kk.....k...",
    "......k.........",
    "................",
    "................",
};

const std::vector<const char*> kNoSound = {
    "................",
    "................",
    "......k.........",
    ".....kk.........",
    "....ksk.rr....rr",
    "kkkkssk..rr..rr.",
    "ksssssk...rrrr..",
    "ksssssk....rr...",
    "ksssssk...rrrr..",
    "ksssssk..rr..rr.",
    "kkkkssk.rr....rr",
    "....ksk.........",
    ".....kk.........",
    "......k.........",
    "................",
    "................",
};

const std::vector<const char*> kBackground = {
    "nnnnnnnnnnnnnnn",
    "nLLLLLLLLLLyyLn",
    "nLLLLLLLLLyyyyn",
    "nLLwwLLLLLyyyyn",
    "nLwwwwLLLLLyyLn",
    "nLLLLLLLLLLLLLn",
    "nLLLLLLLLLLLLLn",
    "nLLLLlllLLLLLLn",
    "nLLLlllllLLLggn",
    "nLlllllllllgggn",
    "nllllllggggggGn",
    "nggggggggGGGGGn",
    "nGGGGGGGGGGGGGn",
    "nnnnnnnnnnnnnnn",
};

const std::vector<const char*> kHelp = {
    "................",
    "...PPPPPPPPPPP..",
    "..Pppppppppppk..",
    "..Ppppwwwwpppk..",
    "..Pppwwppwwppk..",
    "..Pppppppwwppk..",
    "..Ppppppwwpppk..",
    "..Pppppwwppppk..",
    "..Pppppwwppppk..",
    "..Pppppppppppk..",
    "..Pppppwwppppk..",
    "..Pppppwwppppk..",
    "..PPwwwwwwwwwk..",
    "..PPkkkkkkkkkk..",
    "...kk...........",
    "................",
};

}  // namespace

std::vector<ButtonPicture> ButtonPictures() {
    return {
        {QStringLiteral("new.bmp"), 4, FromRows(kNew)},
        {QStringLiteral("hint.bmp"), 4, FromRows(kHint)},
        {QStringLiteral("back.bmp"), 4, FromRows(kBack)},
        {QStringLiteral("background.bmp"), 24, FromRows(kBackground)},
        {QStringLiteral("sound.bmp"), 4, FromRows(kSound)},
        {QStringLiteral("nosound.bmp"), 4, FromRows(kNoSound)},
        {QStringLiteral("help.bmp"), 24, FromRows(kHelp)},
    };
}

namespace {

// A tile seen from the front: a face with a border, and a side strip of
// `side` pixels along its left and bottom, cut diagonally at the two ends.
void DrawTile(QImage& image, QRect face, int side, int border, QRgb fill, QRgb edge, QRgb sideInk) {
    for (int y = face.top(); y <= face.bottom() + side; ++y)
        for (int x = face.left() - side; x <= face.right(); ++x) {
            const int dx = face.left() - x;      // how far into the left strip
            const int dy = y - face.bottom();    // how far into the bottom strip
            if (dx > 0 && y < face.top() + dx) continue;
            if (dy > 0 && x > face.right() - dy) continue;
            QRgb c = sideInk;
            if (dx <= 0 && dy <= 0) {
                const bool onBorder = x < face.left() + border || x > face.right() - border ||
                                      y < face.top() + border || y > face.bottom() - border;
                c = onBorder ? edge : fill;
            }
            image.setPixel(x, y, c);
        }
}

void Fill(QImage& image, int x0, int y0, int x1, int y1, QRgb c) {
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) image.setPixel(x, y, c);
}

// The red dragon's character: a box crossed by one upright stroke.
void Dragon(QImage& image, int left, int top, int width, int height, int stroke, QRgb ink) {
    const int boxTop = top + height / 4, boxBottom = top + height * 3 / 4 - 1;
    Fill(image, left, boxTop, left + width - 1, boxTop + stroke - 1, ink);
    Fill(image, left, boxBottom - stroke + 1, left + width - 1, boxBottom, ink);
    Fill(image, left, boxTop, left + stroke - 1, boxBottom + stroke, ink);
    Fill(image, left + width - stroke, boxTop, left + width - 1, boxBottom, ink);
    const int mid = left + width / 2 - stroke / 2;
    Fill(image, mid, top, mid + stroke - 1, top + height - 1, ink);
}

}  // namespace

QImage AboutTile() {
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(colour::ButtonFace);
    DrawTile(image, QRect(7, 1, 24, 26), 4, 2, 0xFFFFF060, 0xFF10A020, colour::Olive);
    Dragon(image, 12, 4, 14, 20, 2, 0xFFE01010);
    return image;
}

QImage AppIcon() {
    QImage image(16, 16, QImage::Format_ARGB32);
    image.fill(0x00000000);
    DrawTile(image, QRect(3, 0, 13, 13), 2, 1, 0xFFFFF060, colour::Olive, colour::Olive);
    Dragon(image, 5, 2, 9, 9, 1, 0xFFE01010);
    return image;
}
