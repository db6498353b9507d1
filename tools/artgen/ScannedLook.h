// The photographic look of "Scanned Tiles": a pale grey face lit from the
// top left, with a faint grain and edges that catch the light, and symbols
// cut into it, their walls in light and shade.
#pragma once

#include <QImage>

// The symbols are drawn this many times larger than the face and carved at
// that size, so that the walls of a cut are finer than a pixel.
inline constexpr int kCarveScale = 3;

// A blank face of the look.
QImage ScannedBlankFace();

// Cuts the symbols of `layer` (kCarveScale times the face's size,
// transparent where there is none) into `face`.
void CarveInto(QImage& face, const QImage& layer);

// The photograph's grain: a fixed scatter of slight changes of brightness.
void Grain(QImage& face, int seed);
