// "Animals": a different animal on each suit face, on white. Animals of one
// kind differ in pose and coat: a ginger cat lying down, a black cat
// walking, a white cat's face and a grey tabby sitting; a dalmatian, a dachshund,
// a golden guide dog and a black poodle.
#include <QPainter>
#include <functional>

#include "DrawnAnimals.h"
#include "Glyphs.h"
#include "Recolour.h"
#include "Sheets.h"
#include "TileParts.h"

namespace {

QImage Emoji(const char* text) { return EmojiImage(QString::fromUtf8(text)); }

QImage Animal(int f) {
    switch (f) {
    case 0: return Emoji("🐻");
    case 1: return HueTurned(Emoji("🦋"), 180);                              // a blue butterfly
    case 2: return LyingCat(0xFFE8862E, 0xFFB0501A);                         // a ginger cat
    case 3: return Spotted(Recoated(Emoji("🐕"), 0xFF303030, 0xFFC8C8C8, 0xFFFFFFFF, 60), 0xFF1C1C1C);  // a dalmatian
    case 4: return Emoji("🐟");
    case 5: return Emoji("🦜");
    case 6: return Emoji("🦄");
    case 7: return Emoji("🐨");
    case 8: return Emoji("🐍");
    case 9: return Recoated(Emoji("🫏"), 0xFF201810, 0xFF786858, 0xFFD8CCC0, 40);  // a grey-brown donkey
    case 10: return Emoji("🐪");
    case 11: return HueTurned(Emoji("🦖"), 160);                             // a purple dinosaur
    case 12: return Emoji("🦉");
    case 13: return Emoji("🦆");
    case 14: return Emoji("🐈‍⬛");                                           // a black cat
    case 15: return Dachshund(0xFF8A3A14, 0xFFC88A50);
    case 16: return Emoji("🐠");
    case 17: return Recoated(Emoji("🐫"), 0xFF1E0E04, 0xFF6A3A1A, 0xFFC09060, 40).mirrored(true, false);  // a dark camel
    case 18: return Emoji("🦩");
    case 19: return Emoji("🎠");
    case 20: return Emoji("🐞");
    case 21: return Emoji("🐢");
    case 22: return Emoji("🐙");
    case 23: return Emoji("🦒");
    case 24: return Emoji("🦚");
    case 25: return Emoji("🦔");
    case 26: return Emoji("🦀");
    case 31: return Emoji("🐖");
    case 32: return Emoji("🦃");
    case 33: return Recoated(Emoji("🐇"), 0xFF2A1A0E, 0xFF8A6040, 0xFFE0C8A8, 40);  // a brown rabbit
    case 34: return Recoated(Emoji("🐱"), 0xFF404040, 0xFFD4D4D4, 0xFFFFFFFF, 70);  // a white cat's face
    case 40: return Emoji("🦮");
    case 41: return Recoated(Emoji("🐩"), 0xFF060608, 0xFF18181C, 0xFF505058);  // a black poodle
    case 42: return SittingCat(0xFFA8A8B0, 0xFF5E5E68);                      // a grey tabby
    }
    if (f <= 30) return Emoji("🐎");              // the four flowers: one horse
    return Paled(Emoji("🦕"), 50);                // the four seasons: one pale dinosaur
}

QImage AnimalFace(int f) {
    if (f == 43) return BlankFace(FaceLook::Cream);
    QImage face = BlankFace(FaceLook::White);
    QPainter p(&face);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    DrawFitted(p, Animal(f), QRectF(2, 3, 32, 37));
    return face;
}

}  // namespace

QImage AnimalsSheet() { return AssembleSheet({339, 233}, AnimalFace); }
