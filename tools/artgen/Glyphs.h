// Symbols taken from the fonts of Debian's font packages, loaded from their
// files so the generator never depends on what else is installed.
#pragma once

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QString>

enum class Font { Sans, SansBold, Symbols, Symbols2, Cjk, CjkSans, Emoji };

// Loads every font the generator uses; throws naming the missing file and
// its Debian package.
void LoadFonts();

// The outline of `text` at `pixelSize`, its ink centred on (0, 0).
QPainterPath CentredText(Font font, const QString& text, double pixelSize);

// Scales a path, keeping its shape, so that its ink fits `box`, centred.
QPainterPath FitPath(const QPainterPath& path, const QRectF& box);

// A colour glyph rendered large and cropped to its ink.
QImage EmojiImage(const QString& text);

// The smallest part of `image` that holds all its ink (a null image when
// it has none).
QImage CroppedToInk(const QImage& image);

// Draws `image` scaled smoothly to fit `box`, centred, keeping its shape.
void DrawFitted(QPainter& p, const QImage& image, const QRectF& box);

// A tiny pixel font (digits and capitals, 5 rows high) for the corner marks,
// which must stay sharp at the faces' size. Returns the text's width.
int PixelTextWidth(const QString& text);
void DrawPixelText(QImage& image, int x, int y, const QString& text, QRgb colour);
