// A JPEG picture decoded in one pass over its file, on libjpeg-turbo, with
// the loader's bounds kept by the decoder itself as it reads: the memory its
// coefficients take, counted where it asks for them, and the work its scans
// cost, counted as each scan begins.
#pragma once

#include <QImage>

class BoundedFile;

// The picture of the JPEG in `file`, read from its start: RGBX8888 with
// unpadded rows, or a null image for a file that is damaged beyond use,
// too large (see PictureLoader.h), of more scans than the scan bound, or
// whose decoding would hold more coefficients than the working bound. The
// file's head bound holds until the first scan's header is read; the
// picture's read bound from then on. A file cut short, or one whose end
// lies past its read bound, gives what its bytes hold and a missing rest of
// one colour, the same on every load.
QImage DecodeJpeg(BoundedFile& file);
