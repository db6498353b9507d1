// tt_artgen: draws every picture and synthesises every sound the game
// embeds, and writes them under the given resources folder.
//
//   tt_artgen OUTDIR [--preview DIR]
//
// --preview also writes each picture enlarged three times as PNG, as the
// files decode, for looking at.
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <cstdio>
#include <stdexcept>

#include "Colours.h"
#include "Encoders.h"
#include "Glyphs.h"
#include "PixelArt.h"
#include "Preview.h"
#include "Quantize.h"
#include "Sheets.h"
#include "Sounds.h"

namespace {

struct Output {
    QString root;
    QString preview;  // empty: none

    void Write(const QString& path, const QByteArray& bytes) const {
        const QString full = root + "/" + path;
        QDir().mkpath(QFileInfo(full).path());
        QFile file(full);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            throw std::runtime_error("cannot write " + full.toStdString());
        if (preview.isEmpty() || !path.endsWith(".bmp")) return;
        const QImage decoded = QImage::fromData(bytes, "BMP");
        Preview(path, decoded);
        if (path.startsWith("sheets/")) Preview(QString(path).replace("sheets/", "board/"), BoardOfFaces(decoded));
    }

    void Preview(const QString& path, const QImage& image) const {
        QDir().mkpath(preview);
        QString name = path;
        name.replace('/', '-').replace(".bmp", ".png").replace(".ico", "-ico.png");
        image.scaled(image.size() * 3, Qt::IgnoreAspectRatio, Qt::FastTransformation).save(preview + "/" + name);
    }
};

// The colours that must come through a palette exactly: the tile body's
// and mask's.
std::vector<QRgb> BodyColours() {
    return {colour::Black, colour::White, colour::Cream, colour::CreamDot, colour::Olive, colour::DarkTeal};
}

std::vector<QRgb> With(std::vector<QRgb> colours, std::initializer_list<QRgb> more) {
    colours.insert(colours.end(), more);
    return colours;
}

void WriteSheets(const Output& out) {
    out.Write("sheets/mahjongg.bmp",
              EncodeBmpIndexed(Quantize(MahJonggSheet(), 256,
                                        With(BodyColours(), {colour::InkBlue, colour::InkGreen, colour::InkRed})),
                               8));
    out.Write("sheets/scanned.bmp", EncodeBmp24(ScannedSheet()));
    out.Write("sheets/cards.bmp",
              EncodeBmpIndexed(Quantize(CardsSheet(), 16, With(BodyColours(), {0xFFFFFF80, 0xFFD00000, 0xFF8CA08C})), 4));
    out.Write("sheets/animals.bmp", EncodeBmp24(AnimalsSheet()));
    out.Write("sheets/icons.bmp", EncodeBmpIndexed(Quantize(IconsSheet(), 256, BodyColours()), 8));
}

void WriteButtons(const Output& out) {
    for (const ButtonPicture& b : ButtonPictures()) {
        const QByteArray bytes = b.bits == 24 ? EncodeBmp24(b.image)
                                              : EncodeBmpIndexed(Quantize(b.image, 16, {colour::ButtonFace}), 4);
        out.Write("buttons/" + b.file, bytes);
    }
}

void WritePictures(const Output& out) {
    out.Write("pictures/about.bmp", EncodeBmpIndexed(Quantize(AboutTile(), 16, {colour::ButtonFace}), 4));

    const QImage icon = AppIcon();
    QImage opaque = icon.convertToFormat(QImage::Format_RGB32);
    std::vector<bool> transparent(256);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            if (qAlpha(icon.pixel(x, y)) < 128) {
                transparent[size_t(y * 16 + x)] = true;
                opaque.setPixel(x, y, colour::Black);
            }
    out.Write("pictures/app.ico", EncodeIco16(Quantize(opaque, 16, {colour::Black}), transparent));
    QByteArray png;
    {
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        icon.save(&buffer, "PNG");
    }
    out.Write("pictures/app.png", png);
    if (!out.preview.isEmpty()) out.Preview("pictures/app.ico", icon);
}

void WriteSounds(const Output& out) {
    for (const Sound& s : Sounds()) out.Write(QString("sounds/") + s.file, EncodeWave(s.wave));
}

// Qt warns about fonts whose bearings it cannot measure; the generator never
// lays out text by them, so only that one warning is dropped.
void QuietFontWarnings(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (message.contains(QStringLiteral("minimum bearings"))) return;
    std::fprintf(stderr, "%s%s\n", type == QtWarningMsg ? "warning: " : "", qPrintable(message));
}

}  // namespace

int main(int argc, char** argv) {
    qInstallMessageHandler(QuietFontWarnings);
    // The generator needs no screen; fonts and painting work offscreen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 2 && !(args.size() == 4 && args[2] == "--preview")) {
        std::fprintf(stderr, "usage: tt_artgen OUTDIR [--preview DIR]\n");
        return 2;
    }
    try {
        LoadFonts();
        const Output out{args[1], args.size() == 4 ? args[3] : QString()};
        WriteSheets(out);
        WriteButtons(out);
        WritePictures(out);
        WriteSounds(out);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tt_artgen: %s\n", e.what());
        return 1;
    }
    return 0;
}
