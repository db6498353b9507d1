// The generator's own writers: odd widths, row padding, nibble order,
// exact reserved colours and the WAVE chunk layout, checked by decoding.
#include <QBuffer>
#include <QImage>
#include <QtTest>

#include "Encoders.h"
#include "Quantize.h"

namespace {

quint32 U32(const QByteArray& b, int at) {
    return quint32(uchar(b[at])) | quint32(uchar(b[at + 1])) << 8 | quint32(uchar(b[at + 2])) << 16 |
           quint32(uchar(b[at + 3])) << 24;
}

// A picture whose every pixel differs from its neighbours, in `colours`
// colours, `width` wide (odd widths leave half a byte and row padding).
QImage Stripes(int width, int height, int colours) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int k = (x * 3 + y * 5) % colours;
            image.setPixel(x, y, qRgb(k * 37 % 256, 255 - k * 13, k * 91 % 256));
        }
    return image;
}

}  // namespace

class EncodersTest : public QObject {
    Q_OBJECT

private slots:
    void indexedBitmapDecodesToTheSamePixels_data() {
        QTest::addColumn<int>("bits");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("colours");
        QTest::newRow("4 bits, odd width") << 4 << 15 << 16;
        QTest::newRow("4 bits, width 3") << 4 << 3 << 7;
        QTest::newRow("8 bits, odd width") << 8 << 339 << 200;
        QTest::newRow("8 bits, width 1") << 8 << 1 << 2;
    }
    void indexedBitmapDecodesToTheSamePixels() {
        QFETCH(int, bits);
        QFETCH(int, width);
        QFETCH(int, colours);
        const QImage source = Stripes(width, 5, colours);
        const IndexedImage indexed = Quantize(source, 1 << bits, {});
        QCOMPARE(int(indexed.palette.size()), colours);  // few colours: kept exactly
        const QByteArray bmp = EncodeBmpIndexed(indexed, bits);
        QCOMPARE(int(U32(bmp, 2)), bmp.size());
        QCOMPARE(QImage::fromData(bmp, "BMP").convertToFormat(QImage::Format_RGB32), source);
    }

    void trueColourBitmapDecodesToTheSamePixels() {
        const QImage source = Stripes(15, 14, 40);
        QCOMPARE(QImage::fromData(EncodeBmp24(source), "BMP").convertToFormat(QImage::Format_RGB32), source);
    }

    void reservedColoursComeThroughExactlyWhenColoursMustBeMerged() {
        QImage source = Stripes(64, 64, 250);
        source.setPixel(0, 0, qRgb(0, 0, 0));
        source.setPixel(1, 0, qRgb(0x80, 0x80, 0));
        source.setPixel(2, 0, qRgb(0x01, 0x81, 0x01));  // near olive: must not become it by accident
        const IndexedImage out = Quantize(source, 16, {qRgb(0, 0, 0), qRgb(0x80, 0x80, 0)});
        QCOMPARE(int(out.palette.size()), 16);
        QCOMPARE(out.palette[out.pixels[0]], qRgb(0, 0, 0));
        QCOMPARE(out.palette[out.pixels[1]], qRgb(0x80, 0x80, 0));
        // Deterministic: the same picture gives the same palette and indexes.
        const IndexedImage again = Quantize(source, 16, {qRgb(0, 0, 0), qRgb(0x80, 0x80, 0)});
        QCOMPARE(again.palette, out.palette);
        QCOMPARE(again.pixels, out.pixels);
    }

    void iconMaskShowsTheScreenThroughTransparentPixels() {
        QImage source(16, 16, QImage::Format_RGB32);
        source.fill(qRgb(0, 0, 0));
        for (int y = 4; y < 12; ++y)
            for (int x = 3; x < 13; ++x) source.setPixel(x, y, qRgb(255, 240, 96));
        std::vector<bool> transparent(256);
        for (int i = 0; i < 256; ++i) transparent[size_t(i)] = source.pixel(i % 16, i / 16) == qRgb(0, 0, 0);
        const QImage icon = QImage::fromData(EncodeIco16(Quantize(source, 16, {qRgb(0, 0, 0)}), transparent), "ICO")
                                .convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(icon.size(), QSize(16, 16));
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                const bool inside = x >= 3 && x < 13 && y >= 4 && y < 12;
                QCOMPARE(icon.pixel(x, y), inside ? qRgb(255, 240, 96) : qRgba(0, 0, 0, 0));
            }
    }

    void waveOfOddLengthIsPaddedAndListFillsItsSize() {
        WaveFormat wave{11025, 8, {128, 200, 56}, "click", 74, 2};
        const QByteArray wav = EncodeWave(wave);
        QCOMPARE(int(U32(wav, 40)), 3);              // the data chunk counts only the samples
        QCOMPARE(wav.mid(44, 3), QByteArray("\x80\xC8\x38", 3));
        QCOMPARE(wav[47], '\0');                     // the pad byte
        QCOMPARE(wav.mid(48, 4), QByteArray("LIST"));
        QCOMPARE(int(U32(wav, 52)), 74);
        QCOMPARE(wav.mid(56, 8), QByteArray("INFOINAM"));
        QCOMPARE(wav.mid(68, 6), QByteArray("click\0", 6));
        QCOMPARE(int(U32(wav, 4)), 48 + 8 + 74 - 8);
        QCOMPARE(wav.size(), 48 + 8 + 74 + 2);

        WaveFormat loud{44100, 16, {-32768, 32767}, "slide", 74, 0};
        const QByteArray wide = EncodeWave(loud);
        QCOMPARE(wide.mid(44, 4), QByteArray("\x00\x80\xFF\x7F", 4));
        QCOMPARE(int(U32(wide, 28)), 88200);
    }

    void tooLongADescriptionIsRefused() {
        WaveFormat wave{8000, 8, {128}, QByteArray(40, 'x'), 74, 0};
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, EncodeWave(wave));
    }
};

QTEST_MAIN(EncodersTest)
#include "EncodersTest.moc"
