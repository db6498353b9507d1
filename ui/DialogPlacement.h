// Centring a box over the main window, in twips as the game's boxes do it.
//
// A twip is 1/15 of a pixel here. Positions are carried in half twips, so
// the boxes that keep the half unit of an odd difference keep it exactly.
// A position is turned into pixels at the nearest pixel, an exact half pixel
// going right (or down): so where the difference of the outer sizes is an odd
// number of pixels, a box that keeps the half twip lands one pixel right of
// one that floors it (the exact centre lies between the two).
#pragma once

#include <QPoint>
#include <QSize>

class QWidget;

constexpr int TwipsPerPixel = 15;

enum class Halving {
    Floor,     // floor of the half difference
    KeepHalf,  // the half difference exactly, half twip included
};

// The box's outer edge, in half twips: main edge + (main size - box size) / 2,
// all arguments in twips.
int CentredEdgeHalfTwips(int mainEdge, int mainSize, int boxSize, Halving halving);

// Half twips to the nearest pixel, an exact half pixel rounded up.
int HalfTwipsToPixel(int halfTwips);

// Where the outer top-left corner of a box with the given inner size goes,
// centred over `mainWindow`'s outer rectangle. The box is taken to wear the
// same frame as the main window, since a box's own frame is unknown until
// the window system has shown it.
QPoint CentredOver(const QWidget& mainWindow, QSize boxInner, Halving halving);

// Moves `box` (a top-level window) to its centred place over `mainWindow`;
// nothing happens without a main window.
void CentreOver(QWidget& box, const QWidget* mainWindow, Halving halving);
