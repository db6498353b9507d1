// The background picture loader: the three formats by content, and every
// way a file can fail to be a picture we agree to hold.
#include <QBuffer>
#include <QDataStream>
#include <QFile>
#include <QImageWriter>
#include <QTemporaryDir>
#include <QtTest>

#include "PictureLoader.h"

namespace {

// A 3 x 2 picture with a distinct colour in each pixel.
QImage Sample() {
    QImage image(3, 2, QImage::Format_RGB32);
    const QRgb colours[6] = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255),
                             qRgb(255, 255, 0), qRgb(0, 255, 255), qRgb(255, 0, 255)};
    for (int i = 0; i < 6; ++i) image.setPixel(i % 3, i / 3, colours[i]);
    return image;
}

// A 1 x 1 GIF whose single pixel is palette entry 0, red. Qt writes no GIF,
// so it is put together by hand: header, screen, two-colour table, image,
// then the LZW codes clear (4), 0, end (5) packed three bits each.
QByteArray RedGif(quint16 width = 1, quint16 height = 1) {
    QByteArray gif("GIF89a");
    gif += char(width & 0xFF);
    gif += char(width >> 8);
    gif += char(height & 0xFF);
    gif += char(height >> 8);
    gif += QByteArray("\x80\x00\x00", 3);            // global table of 2 colours
    gif += QByteArray("\xFF\x00\x00\x00\x00\xFF", 6);  // red, blue
    gif += ',';
    gif += QByteArray("\x00\x00\x00\x00", 4);
    gif += char(width & 0xFF);
    gif += char(width >> 8);
    gif += char(height & 0xFF);
    gif += char(height >> 8);
    gif += QByteArray("\x00\x02\x02\x44\x01\x00;", 7);
    return gif;
}

// A bitmap header claiming the given size, with no pixel data behind it.
QByteArray BmpHeader(qint32 width, qint32 height) {
    QByteArray bmp;
    QDataStream out(&bmp, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData("BM", 2);
    out << quint32(54 + 16) << quint32(0) << quint32(54);
    out << quint32(40) << width << height << quint16(1) << quint16(24) << quint32(0) << quint32(0)
        << qint32(2835) << qint32(2835) << quint32(0) << quint32(0);
    out.writeRawData("\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0", 16);
    return bmp;
}

}  // namespace

class PictureLoaderTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;

    QString Write(const QString& name, const QByteArray& data) {
        const QString path = dir.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly)) qFatal("cannot write %s", qPrintable(path));
        file.write(data);
        return path;
    }

    QString WriteImage(const QString& name, const char* format, int quality = -1) {
        const QString path = dir.filePath(name);
        QImageWriter writer(path, format);
        if (quality >= 0) writer.setQuality(quality);
        if (!writer.write(Sample())) qFatal("cannot write %s", qPrintable(path));
        return path;
    }

private slots:
    void bitmapLoadsPixelForPixel() {
        const QImage picture = LoadPicture(WriteImage("sample.bmp", "bmp"));
        QCOMPARE(picture.size(), QSize(3, 2));
        const QImage expected = Sample();
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x) QCOMPARE(picture.pixel(x, y), expected.pixel(x, y));
    }

    void gifLoads() {
        const QImage picture = LoadPicture(Write("red.gif", RedGif()));
        QCOMPARE(picture.size(), QSize(1, 1));
        QCOMPARE(QColor(picture.pixel(0, 0)), QColor(255, 0, 0));
    }

    void jpegLoads() {
        const QImage picture = LoadPicture(WriteImage("sample.jpg", "jpeg", 100));
        QCOMPARE(picture.size(), QSize(3, 2));
        QVERIFY(!picture.isNull());
    }

    // The content decides, not the name: a JPEG named .bmp still loads.
    void formatFollowsContentNotName() {
        const QString jpeg = WriteImage("really-a-jpeg.bmp", "jpeg", 100);
        QCOMPARE(LoadPicture(jpeg).size(), QSize(3, 2));
        const QString gif = Write("really-a-gif.JPG", RedGif());
        QCOMPARE(LoadPicture(gif).size(), QSize(1, 1));
    }

    void emptyPathGivesEmptyPicture() {
        QVERIFY(LoadPicture(QString()).isNull());
    }

    void unusableFilesGiveEmptyPicture_data() {
        QTest::addColumn<QString>("path");
        QTest::newRow("missing") << dir.filePath("no-such-file.bmp");
        QTest::newRow("directory") << dir.path();
        QTest::newRow("garbage") << Write("garbage.jpg", QByteArray("this is no picture at all\n").repeated(40));
        QTest::newRow("empty file") << Write("empty.gif", QByteArray());
        // PNG is no format of ours, however good a picture it is.
        QByteArray png;
        QBuffer pngBuffer(&png);
        pngBuffer.open(QIODevice::WriteOnly);
        Sample().save(&pngBuffer, "png");
        QTest::newRow("png") << Write("sample.png", png);
    }
    void unusableFilesGiveEmptyPicture() {
        QFETCH(QString, path);
        QVERIFY(LoadPicture(path).isNull());
    }

    // A cut-off bitmap loses its tail, not the game: what comes back is
    // empty or has the size its header gives, never anything else.
    void truncatedBitmapLoadsSafely() {
        QByteArray data;
        QBuffer buffer(&data);
        buffer.open(QIODevice::WriteOnly);
        QImage big(200, 200, QImage::Format_RGB32);
        big.fill(Qt::red);
        big.save(&buffer, "bmp");
        for (const qsizetype keep : {qsizetype(30), qsizetype(54), qsizetype(100), data.size() / 2}) {
            const QImage picture = LoadPicture(Write(QStringLiteral("cut%1.bmp").arg(keep), data.left(keep)));
            QVERIFY(picture.isNull() || picture.size() == QSize(200, 200));
        }
    }

    // The size is read from the header and refused before any decoding: a
    // side above 32767 pixels, or more pixels than the memory bound.
    void oversizedHeadersRefused_data() {
        QTest::addColumn<QString>("path");
        QTest::newRow("bitmap 32768 wide") << Write("wide.bmp", BmpHeader(32768, 1));
        QTest::newRow("bitmap 32768 high") << Write("high.bmp", BmpHeader(1, 32768));
        QTest::newRow("bitmap 9000 x 9000") << Write("many.bmp", BmpHeader(9000, 9000));
        QTest::newRow("gif 65535 wide") << Write("wide.gif", RedGif(65535, 1));
        QTest::newRow("gif 40000 high") << Write("high.gif", RedGif(1, 40000));
    }
    void oversizedHeadersRefused() {
        QFETCH(QString, path);
        QVERIFY(LoadPicture(path).isNull());
    }

    void boundsAreTheAgreedOnes() {
        QCOMPARE(MaxPictureSide, 32767);
        QVERIFY(qint64(MaxPictureSide) * MaxPictureSide > MaxPicturePixels);
        QVERIFY(MaxPicturePixels * 4 <= qint64(256) * 1024 * 1024);
    }
};

QTEST_MAIN(PictureLoaderTest)
#include "PictureLoaderTest.moc"
