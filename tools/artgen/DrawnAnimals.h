// Animals the colour font has no picture for, drawn from shapes in the
// font's flat, outlined manner: a cat lying, a cat sitting and a dachshund.
#pragma once

#include <QImage>

// A cat lying with its paws in front and its tail along its side, eyes shut.
QImage LyingCat(QRgb coat, QRgb stripes);

// A cat sitting upright, its tail round its feet, looking out.
QImage SittingCat(QRgb coat, QRgb stripes);

// A long, low dog on short legs, with a long muzzle and a hanging ear.
QImage Dachshund(QRgb coat, QRgb tan);
