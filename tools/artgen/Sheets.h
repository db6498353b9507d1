// The five tile sheets, each drawn in full colour; the writer reduces each
// to its file's depth.
#pragma once

#include <QImage>

QImage MahJonggSheet();   // 339 x 246
QImage ScannedSheet();    // 340 x 231
QImage CardsSheet();      // 339 x 232
QImage AnimalsSheet();    // 339 x 233
QImage IconsSheet();      // 339 x 231
