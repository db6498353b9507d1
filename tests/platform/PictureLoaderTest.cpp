// The background picture loader: the three formats by content, and every
// way a file can fail to be a picture we agree to hold.
#include <QBuffer>
#include <QDataStream>
#include <QFile>
#include <QImageWriter>
#include <QTemporaryDir>
#include <QtTest>
#include <atomic>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "JpegScans.h"
#include "PictureFiles.h"
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

// A bitmap header of 24 bits a pixel claiming the given size, its pixels at
// `offset`, with no pixel data behind it.
QByteArray BmpHeader(qint32 width, qint32 height, quint32 offset = 54) {
    QByteArray bmp;
    QDataStream out(&bmp, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData("BM", 2);
    out << quint32(54 + 16) << quint32(0) << offset;
    out << quint32(40) << width << height << quint16(1) << quint16(24) << quint32(0) << quint32(0)
        << qint32(2835) << qint32(2835) << quint32(0) << quint32(0);
    out.writeRawData("\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0", 16);
    return bmp;
}

// The state of thread `tid` of this process: what it waits in ("0" if the
// kernel will not say).
QByteArray WaitChannel(pid_t tid) {
    QFile wchan(QStringLiteral("/proc/self/task/%1/wchan").arg(tid));
    return wchan.open(QIODevice::ReadOnly) ? wchan.readAll() : QByteArray();
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

    // A FIFO is refused unopened: a writer waiting for its reader still
    // waits after the load.
    void fifoIsNeverOpened() {
        const QString path = dir.filePath("fifo.jpg");
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        std::atomic<pid_t> tid = 0;
        std::atomic<bool> opened = false;
        std::thread writer([&] {
            tid = ::gettid();
            const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CLOEXEC);
            opened = true;
            if (fd >= 0) ::close(fd);
        });
        const auto release = qScopeGuard([&] {
            ::close(::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
            writer.join();
        });
        QVERIFY2(QTest::qWaitFor([&] { return tid != 0 && WaitChannel(tid) == "wait_for_partner"; }, 10000),
                 "the writer did not come to wait on the FIFO within 10 s");
        QVERIFY(LoadPicture(path).isNull());
        QVERIFY2(!opened && WaitChannel(tid) == "wait_for_partner", "the loader opened the FIFO");
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
        // A negative height is a picture whose rows run top-down.
        QTest::newRow("bitmap 32768 high, top-down") << Write("down.bmp", BmpHeader(1, -32768));
        QTest::newRow("bitmap of the least height, top-down") << Write("least.bmp", BmpHeader(1, INT_MIN));
        QTest::newRow("gif 65535 wide") << Write("wide.gif", RedGif(65535, 1));
        QTest::newRow("gif 40000 high") << Write("high.gif", RedGif(1, 40000));
    }
    void oversizedHeadersRefused() {
        QFETCH(QString, path);
        QVERIFY(LoadPicture(path).isNull());
    }

    // Every picture comes back in the surfaces' pixel form with unpadded
    // rows, its pixels those of Qt's own decoding, whatever form the
    // decoder gives them in: one bit, one byte or four a pixel.
    void picturesMatchQtsOwnDecoding_data() {
        QTest::addColumn<QString>("path");
        using namespace picture_files;
        const auto save = [this](const QString& name, const QImage& image, const char* format) {
            QByteArray bytes;
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::WriteOnly);
            if (!image.save(&buffer, format, 100)) qFatal("cannot write %s", qPrintable(name));
            return Write(name, bytes);
        };
        // Odd sizes, so rows of one bit or one byte a pixel are padded.
        QImage colours(13, 7, QImage::Format_RGB32);
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 13; ++x) colours.setPixel(x, y, qRgb(x * 19, y * 36, (x * y * 7) % 256));
        QTest::newRow("bitmap of 1 bit") << save("mono.bmp", colours.convertToFormat(QImage::Format_Mono), "bmp");
        QImage indexed = colours.convertToFormat(QImage::Format_Indexed8);
        QTest::newRow("bitmap of 8 bits") << save("indexed.bmp", indexed, "bmp");
        indexed.setColorCount(3);  // indices past the end of the table
        QTest::newRow("bitmap of 8 bits, short table") << save("short.bmp", indexed, "bmp");
        const QString rgb = save("rgb.bmp", colours, "bmp");
        QTest::newRow("bitmap of 24 bits") << rgb;
        QTest::newRow("bitmap of 1 x 1") << save("one.bmp", colours.copy(0, 0, 1, 1).convertToFormat(QImage::Format_Indexed8), "bmp");
        QTest::newRow("grey JPEG") << save("grey.jpg", colours.convertToFormat(QImage::Format_Grayscale8), "jpeg");
        QTest::newRow("colour JPEG") << save("colour.jpg", colours, "jpeg");
        QTest::newRow("progressive grey JPEG") << Write("progressive.jpg", OneLevelJpeg(21, 1, true, 3));
        QTest::newRow("GIF") << Write("one.gif", OneColourGif(301, 199));
        QTest::newRow("bitmap of the widest side, 32767 x 1") << save("wide.bmp", colours.scaled(32767, 1), "bmp");
        // A link to a picture is as good as the picture.
        if (!QFile::link(rgb, dir.filePath("link.bmp"))) qFatal("cannot link to %s", qPrintable(rgb));
        QTest::newRow("a link to a bitmap") << dir.filePath("link.bmp");
    }
    void picturesMatchQtsOwnDecoding() {
        QFETCH(QString, path);
        const QImage picture = LoadPicture(path);
        QCOMPARE(picture.format(), QImage::Format_RGBX8888);
        QCOMPARE(picture.bytesPerLine(), qsizetype(picture.width()) * 4);
        QCOMPARE(picture, QImage(path).convertToFormat(QImage::Format_RGBX8888));
    }

    // No more of a picture file is read than its bound: its headers within
    // the first 16 MiB, and all of it within eight bytes more a pixel. A
    // picture cut short with a tail of 8 GB (a hole, no disk) loads as it
    // would without, and reading it (its walk and its decoding) takes what
    // the bound allows, not 8 GB.
    void hugeTailsAreNotRead_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QRgb>("every");  // each pixel's colour, if one
        using namespace picture_files;
        const auto spread = [this](const QString& name, const QByteArray& head, qint64 size, const QByteArray& end) {
            const QString path = Write(name, head);
            QFile file(path);
            if (!file.resize(size) || !file.open(QIODevice::Append) || file.write(end) != end.size())
                qFatal("cannot write %s", qPrintable(path));
            return path;
        };
        const qint64 tail = qint64(8) << 30;
        const QByteArray jpeg = OneLevelJpeg(64, 3, false), gif = OneColourGif(301, 199);
        QTest::newRow("JPEG cut short, 8 GB tail") << spread("cut.jpg", jpeg.left(jpeg.size() - 20), tail, {}) << QSize(64, 64) << QRgb(0);
        QTest::newRow("GIF cut short, 8 GB tail") << spread("cut.gif", gif.left(gif.size() / 2), tail, {}) << QSize(301, 199) << QRgb(0);
        QTest::newRow("bitmap cut short, 8 GB tail") << spread("cut.bmp", BmpHeader(16, 16), tail, {}) << QSize(16, 16) << qRgb(0, 0, 0);
        // A 16 x 16 bitmap whose 768 bytes of pixels end at its bound.
        const QByteArray pixels(16 * 16 * 3, '\x5A');
        const qint64 at = PictureReadLimit(QSize(16, 16)) - pixels.size();
        QTest::newRow("bitmap ending at its bound")
            << spread("at.bmp", BmpHeader(16, 16, quint32(at)), at, pixels) << QSize(16, 16) << qRgb(0x5A, 0x5A, 0x5A);
        // A JPEG's headers run to the end of its first scan's: comments
        // before them bring that end to the head's bound, or that scan's
        // header (10 bytes) just past it.
        const QByteArray small = OneLevelJpeg(16, 1, false);
        const qsizetype scan = small.indexOf("\xFF\xDA") + 10;
        for (const int past : {0, 10}) {
            QByteArray padded = small.left(2);
            for (qint64 left = MaxPictureHeadBytes + past - scan; left > 0;) {
                // Each comment 4 to 65537 bytes, the last no shorter than 4.
                const int length = int(left <= 65537 ? left : left - 65537 < 4 ? left - 4 : 65537) - 2;
                padded += QByteArray("\xFF\xFE", 2) + char(length >> 8) + char(length & 0xFF) + QByteArray(length - 2, ' ');
                left -= length + 2;
            }
            QTest::addRow("JPEG whose headers end %d past the head's bound", past)
                << Write(QStringLiteral("head%1.jpg").arg(past), padded + small.mid(2)) << (past ? QSize() : QSize(16, 16)) << QRgb(0);
        }
    }
    void hugeTailsAreNotRead() {
        QFETCH(QString, path);
        QFETCH(QSize, size);
        QFETCH(QRgb, every);
        const qint64 before = picture_files::BytesRead();
        const QImage picture = LoadPicture(path);
        const qint64 read = picture_files::BytesRead() - before;
        QCOMPARE(picture.size(), size.isValid() ? size : QSize(0, 0));
        QImage expected(size, QImage::Format_RGBX8888);
        expected.fill(every);
        if (every != 0) QCOMPARE(picture, expected);
        QVERIFY2(read <= 2 * PictureReadLimit(QSize(301, 199)) + (1 << 20), qPrintable(QStringLiteral("read %1 bytes").arg(read)));
    }

    // Each scan of a JPEG is a pass over the whole picture: a few hundred
    // pass on a small picture, fewer on a large one (64 on the largest),
    // and a JPEG of more is refused before any decoding.
    void jpegScansBounded_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QSize>("size");
        using picture_files::OneLevelJpeg;
        QTest::newRow("256 scans, 16 x 16") << Write("256.jpg", OneLevelJpeg(16, 1, true, 255)) << QSize(16, 16);
        QTest::newRow("257 scans, 16 x 16") << Write("257.jpg", OneLevelJpeg(16, 1, true, 256)) << QSize();
        QTest::newRow("257 colour scans, 16 x 16") << Write("257c.jpg", OneLevelJpeg(16, 3, true, 256)) << QSize();
        // 4160 x 4160 is the smallest square where fewer than 256 may pass.
        QTest::newRow("248 scans, 4160 x 4160") << Write("248.jpg", OneLevelJpeg(4160, 1, true, 247)) << QSize(4160, 4160);
        QTest::newRow("249 scans, 4160 x 4160") << Write("249.jpg", OneLevelJpeg(4160, 1, true, 248)) << QSize();
        QTest::newRow("65 scans, 8192 x 8192") << Write("65.jpg", OneLevelJpeg(8192, 1, true, 64)) << QSize();
        QTest::newRow("2001 scans, 8192 x 8192") << Write("2001.jpg", OneLevelJpeg(8192, 1, true, 2000)) << QSize();
        // A progressive file's coefficients are held beside its pixels: up
        // to 64 MiB of them (3344 x 3344 in colour), but grey at any size,
        // whose decoded pixels take a quarter of the picture's own buffer.
        QTest::newRow("progressive colour, 3344 x 3344") << Write("p3344.jpg", OneLevelJpeg(3344, 3, true)) << QSize(3344, 3344);
        QTest::newRow("progressive colour, 3352 x 3352") << Write("p3352.jpg", OneLevelJpeg(3352, 3, true)) << QSize();
        QTest::newRow("progressive colour, 3352 x 3352, tables before the frame")
            << Write("p3352t.jpg", OneLevelJpeg(3352, 3, true, 0, {.tablesFirst = true})) << QSize();
        // Each component counts in whole blocks, and its blocks in whole
        // sampling units: counted without either rounding, this one passes.
        QTest::newRow("progressive colour, 4481 x 4961, luma sampled 2 x 2")
            << Write("p4481.jpg", OneLevelJpeg(4481, 3, true, 0, {.height = 4961, .lumaSampling = 0x22})) << QSize();
        QTest::newRow("progressive colour, a sampling factor of 0")
            << Write("p0.jpg", OneLevelJpeg(16, 3, true, 0, {.lumaSampling = 0x10})) << QSize();
        QTest::newRow("progressive colour, 8192 x 8192") << Write("p8192c.jpg", OneLevelJpeg(8192, 3, true)) << QSize();
        QTest::newRow("progressive grey, 8192 x 8192") << Write("p8192g.jpg", OneLevelJpeg(8192, 1, true)) << QSize(8192, 8192);
    }
    void jpegScansBounded() {
        QFETCH(QString, path);
        QFETCH(QSize, size);
        QCOMPARE(LoadPicture(path).size(), size.isValid() ? size : QSize(0, 0));
    }

    // The walk over a JPEG's markers counts the scans the decoder would
    // make, and counts the same however the file is cut into pieces.
    void jpegScansCountedFromTheMarkers_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("scans");
        QTest::addColumn<bool>("ended");
        QTest::addColumn<int>("components");
        QTest::addColumn<qint64>("coefficients");  // bytes held until the last scan
        const auto hex = [](const char* text) { return QByteArray::fromHex(text); };
        QTest::newRow("nothing") << QByteArray() << 0 << false << 0 << qint64(0);
        QTest::newRow("no JPEG") << QByteArray("this is no picture at all\n") << 0 << false << 0 << qint64(0);
        QTest::newRow("start and end") << hex("ffd8ffd9") << 0 << true << 0 << qint64(0);
        QTest::newRow("a scan, its data and the end")
            << hex("ffd8 ffda0008 0101003f00 12ff0034ffd056ffd778 ffd9") << 1 << true << 0 << qint64(0);
        QTest::newRow("scan markers inside a segment")
            << hex("ffd8 ffe00006 ffdaffda ffda0002 ffd9") << 1 << true << 0 << qint64(0);
        QTest::newRow("fill bytes before markers") << hex("ffffffda0002 00ffffffda0002") << 2 << false << 0 << qint64(0);
        QTest::newRow("a stuffed byte is data, not a marker") << hex("ffda0002 ff00da ff00ffda0002") << 2 << false << 0 << qint64(0);
        QTest::newRow("markers of no length") << hex("ffd8ffd0ff01ffda0002") << 1 << false << 0 << qint64(0);
        QTest::newRow("a length below two skips nothing") << hex("ffe00000ffda0001ffda0002") << 2 << false << 0 << qint64(0);
        QTest::newRow("nothing counts after the end") << hex("ffda0002ffd9ffda0002") << 1 << true << 0 << qint64(0);
        QTest::newRow("cut in a length") << hex("ffd8ffda00") << 1 << false << 0 << qint64(0);
        QTest::newRow("cut in a segment") << hex("ffd8ffe0ffff0102ffda") << 0 << false << 0 << qint64(0);
        QTest::newRow("cut after a 0xFF") << hex("ffda0002ff") << 1 << false << 0 << qint64(0);
        QTest::newRow("the longest segment") << hex("ffe0ffff") + QByteArray(65533, '\xFF') + hex("da0002") << 0 << false << 0 << qint64(0);
        using picture_files::OneLevelJpeg;
        QTest::newRow("written grey, 6 scans") << OneLevelJpeg(24, 1, true, 5) << 6 << true << 1 << qint64(1152);
        QTest::newRow("written colour, progressive") << OneLevelJpeg(24, 3, true) << 1 << true << 3 << qint64(3456);
        QTest::newRow("written colour, 1 scan") << OneLevelJpeg(24, 3, false) << 1 << true << 3 << qint64(0);
        // The walk keeps ten components of a frame, and passes over the rest.
        QTest::newRow("written, 12 components") << OneLevelJpeg(24, 12, true) << 1 << true << 10 << qint64(11520);
        // No decoder takes such a frame, but its size is still worked out.
        QTest::newRow("written colour, a sampling factor of 0")
            << OneLevelJpeg(24, 3, true, 0, {.lumaSampling = 0x10}) << 1 << true << 3 << qint64(2304);
        // Progressive whatever the coding, differential or arithmetic.
        for (const unsigned char frame : {0xC6, 0xCA, 0xCE})
            QTest::addRow("written colour, progressive, frame marker %02X", frame)
                << OneLevelJpeg(24, 3, true, 0, {.frame = frame}) << 1 << true << 3 << qint64(3456);
        QTest::newRow("written colour, arithmetic, 1 scan")
            << OneLevelJpeg(24, 3, false, 0, {.frame = 0xC9}) << 1 << true << 3 << qint64(0);
    }
    void jpegScansCountedFromTheMarkers() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, scans);
        QFETCH(bool, ended);
        QFETCH(int, components);
        QFETCH(qint64, coefficients);
        // Cut at every place into two pieces, and into single bytes (each
        // piece a copy of its own, so no walk reads past its piece).
        const qsizetype step = bytes.size() > 4096 ? 97 : 1;
        for (qsizetype cut = 0; cut <= bytes.size(); cut += step) {
            const QByteArray head = bytes.left(cut), tail = bytes.mid(cut);
            const JpegWalk walk = WalkJpeg(WalkJpeg(JpegWalk{}, head), tail);
            QCOMPARE(walk.scans, scans);
            QCOMPARE(walk.ended, ended);
            QCOMPARE(JpegCoefficientBytes(walk), coefficients);
            QCOMPARE(JpegComponents(walk), components);
        }
        JpegWalk walk;
        for (const char byte : bytes) walk = WalkJpeg(walk, QByteArray(1, byte));
        QCOMPARE(walk.scans, scans);
        QCOMPARE(walk.ended, ended);
    }

    void boundsAreTheAgreedOnes() {
        QCOMPARE(MaxPictureSide, 32767);
        QVERIFY(qint64(MaxPictureSide) * MaxPictureSide > MaxPicturePixels);
        QVERIFY(MaxPicturePixels * 4 <= qint64(256) * 1024 * 1024);
    }
};

QTEST_MAIN(PictureLoaderTest)
#include "PictureLoaderTest.moc"
