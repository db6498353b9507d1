// The run-length codings of bitmaps, of 8 and of 4 bits a pixel, expanded
// straight into the picture.
#pragma once

#include <QImage>

#include "BmpDecoder.h"

class ForwardReader;

// Where the file's row `row` (the first one read is 0) lies in `picture`.
quint32* BmpRow(QImage& picture, const BmpLayout& layout, int row);

// The runs `in` holds from here on, into `picture`, which holds black
// already: pixels the runs skip over, or that lie past where they end or
// the file does, stay black. A run past a row's end is cut at the end.
void ExpandBmpRuns(ForwardReader& in, const BmpLayout& layout, QImage& picture);
