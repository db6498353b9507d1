// Compares a file the generator wrote with the committed one of the same
// name, allowing the small rounding differences that drawing leaves between
// machines but nothing a player could see or hear.
#pragma once

#include <QByteArray>
#include <QString>

// How far a generated picture or sound may stray from the committed one:
// every channel or sample within `levels`, and at most one value in
// `perMille` thousand plus one differing at all.
struct Tolerance {
    int levels = 2;
    int perMille = 1;
};

// What differs beyond the tolerance, or an empty string when the files
// agree. The length and the headers must be equal; the pixels of BMP, ICO
// and PNG files and the samples of WAVE files are compared value by value;
// any other file byte for byte. `name` gives the format by its ending.
QString CompareArt(const QString& name, const QByteArray& committed, const QByteArray& generated,
                   Tolerance tolerance = {});

// Only the length and the header: for pictures whose glyphs came from other
// releases of the fonts.
QString CompareLayout(const QString& name, const QByteArray& committed, const QByteArray& generated);
