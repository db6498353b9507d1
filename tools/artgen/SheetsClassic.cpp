// "MahJongg" and "Scanned Tiles": the same roles in two looks.
#include "ClassicFaces.h"
#include "Colours.h"
#include "Sheets.h"

QImage MahJonggSheet() {
    const ClassicStyle style{FaceLook::Cream, false, true, colour::InkBlue, colour::InkGreen, colour::InkRed,
                             QStringLiteral("🦜"),
                             {QStringLiteral("🌵"), QStringLiteral("🌴"), QStringLiteral("🍀"), QStringLiteral("🌲")},
                             {"", "", "", ""},
                             {QStringLiteral("🌷"), QStringLiteral("🌻"), QStringLiteral("🌹"), QStringLiteral("🌸")},
                             {QStringLiteral("SPR"), QStringLiteral("SUM"), QStringLiteral("AUT"), QStringLiteral("WIN")}};
    return AssembleSheet({339, 246}, [&](int f) { return ClassicFace(f, style); });
}

QImage ScannedSheet() {
    const ClassicStyle style{FaceLook::PaleGrey, true, false, colour::InkBlue, colour::InkGreen, colour::InkRed,
                             QStringLiteral("🐦"),
                             {QStringLiteral("🌼"), QStringLiteral("🌺"), QStringLiteral("💮"), QStringLiteral("🪻")},
                             {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4")},
                             {QStringLiteral("🎋"), QStringLiteral("🌾"), QStringLiteral("🪴"), QStringLiteral("🌱")},
                             {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4")}};
    return AssembleSheet({340, 231}, [&](int f) { return ClassicFace(f, style); });
}
