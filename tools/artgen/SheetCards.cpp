// "Cards": a playing card's rank over its suit, red or black on yellow.
#include <QPainter>

#include "Colours.h"
#include "Glyphs.h"
#include "Sheets.h"
#include "TileParts.h"

namespace {

constexpr QRgb kCardRed = 0xFFD00000;
constexpr QRgb kGreyGreen = 0xFF8CA08C;

struct Card {
    int rank;     // 1 = ace
    int suit;     // 0 hearts, 1 diamonds, 2 clubs, 3 spades
};

Card CardOf(int f) {
    if (f <= 26) return {f % 9 + 1, f / 9};
    if (f <= 30) return {1, 3};
    if (f <= 34) return {f - 25, 3};
    if (f <= 39) return {2, 3};
    return {f - 37, 3};
}

QImage CardFace(int f) {
    if (f == 43) {
        QImage blank(kFaceW, kFaceH, QImage::Format_RGB32);
        blank.fill(kGreyGreen);
        return blank;
    }
    QImage face = BlankFace(FaceLook::Yellow);
    const Card card = CardOf(f);
    const QRgb ink = card.suit < 2 ? kCardRed : colour::Black;
    const QString suits[] = {QStringLiteral("♥"), QStringLiteral("♦"), QStringLiteral("♣"), QStringLiteral("♠")};
    const QString rank = card.rank == 1 ? QStringLiteral("A") : QString::number(card.rank);
    QPainter p(&face);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(ink));
    p.drawPath(CentredText(Font::SansBold, rank, 20).translated(18, 11.5));
    p.drawPath(FitPath(CentredText(Font::Sans, suits[card.suit], 20), QRectF(7, 22, 22, 18)));
    return face;
}

}  // namespace

QImage CardsSheet() { return AssembleSheet({339, 232}, CardFace); }
