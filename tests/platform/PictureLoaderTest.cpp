// The background picture loader: the three formats by content, and every
// way a file can fail to be a picture we agree to hold.
#include <QBuffer>
#include <QDataStream>
#include <QElapsedTimer>
#include <QFile>
#include <QImageWriter>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <atomic>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

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

// `jpeg` with comments put in at `at` (a marker's place) that end at
// `end`: each comment 4 to 65537 bytes, the last no shorter than 4.
QByteArray Commented(const QByteArray& jpeg, qsizetype at, qint64 end) {
    QByteArray padded = jpeg.left(at);
    for (qint64 left = end - at; left > 0;) {
        const int length = int(left <= 65537 ? left : left - 65537 < 4 ? left - 4 : 65537) - 2;
        padded += QByteArray("\xFF\xFE", 2) + char(length >> 8) + char(length & 0xFF) + QByteArray(length - 2, ' ');
        left -= length + 2;
    }
    return padded + jpeg.mid(at);
}

// Whether this build runs under the sanitizers, whose own memory and work
// no bound of ours counts.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool Sanitized() { return true; }
#elif defined(__has_feature)
constexpr bool Sanitized() { return __has_feature(address_sanitizer); }
#else
constexpr bool Sanitized() { return false; }
#endif

// The processor time this thread has taken so far, in nanoseconds.
qint64 ThreadTime() {
    timespec now{};
    if (::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now) != 0) qFatal("no thread clock");
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
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

    // A grey picture side x side by libjpeg's own encoder, with `options`:
    // noise, or like a photo, shades with a little noise over them.
    QString GreyJpeg(const QString& name, int side, bool photo, const QStringList& options) {
        QByteArray pgm = QStringLiteral("P5 %1 %1 255\n").arg(side).toLatin1();
        const qsizetype head = pgm.size();
        pgm.resize(head + qsizetype(side) * side);
        quint32 state = 12345;
        for (qint64 i = 0; i < qint64(side) * side; ++i) {
            state = state * 1664525u + 1013904223u;
            const qint64 shade = (i % side + i / side) * 247 / (2 * side);
            pgm[head + i] = char(photo ? shade + (state >> 29) : state >> 24);
        }
        QProcess cjpeg;
        cjpeg.setStandardOutputFile(dir.filePath(name));
        cjpeg.start(QStringLiteral("cjpeg"), QStringList{QStringLiteral("-grayscale")} + options);
        cjpeg.write(pgm);
        cjpeg.closeWriteChannel();
        if (!cjpeg.waitForFinished(30000) || cjpeg.exitCode() != 0) qFatal("cjpeg did not write %s", qPrintable(name));
        return dir.filePath(name);
    }
    QString NoiseJpeg(int side, bool arithmetic) {
        QStringList options{QStringLiteral("-quality"), QStringLiteral("100")};
        if (arithmetic) options << QStringLiteral("-arithmetic");
        return GreyJpeg(QStringLiteral("noise%1%2.jpg").arg(side).arg(arithmetic ? "a" : "h"), side, false, options);
    }

    // `picture` encoded by `tool` (libjpeg's own cjpeg, or ImageMagick's
    // convert), given it as a PPM on its input.
    QString Encoded(const QString& name, const QImage& picture, const char* tool, const QStringList& options) {
        QByteArray ppm;
        QBuffer buffer(&ppm);
        buffer.open(QIODevice::WriteOnly);
        if (!picture.save(&buffer, "ppm")) qFatal("cannot write %s", qPrintable(name));
        QProcess encoder;
        encoder.setStandardOutputFile(dir.filePath(name));
        encoder.start(QString::fromLatin1(tool), options);
        encoder.write(ppm);
        encoder.closeWriteChannel();
        if (!encoder.waitForFinished(30000) || encoder.exitCode() != 0) qFatal("%s did not write %s", tool, qPrintable(name));
        return dir.filePath(name);
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
        // The forms libjpeg's own encoder writes, on a picture of several
        // blocks across and down, and CMYK as ImageMagick writes it.
        QImage large(61, 45, QImage::Format_RGB32);
        for (int y = 0; y < 45; ++y)
            for (int x = 0; x < 61; ++x) large.setPixel(x, y, qRgb(x * 4, y * 5, (x * y * 3) % 256));
        const QList<QPair<const char*, QStringList>> forms = {
            {"sampled 2 x 1", {"-sample", "2x1"}},
            {"sampled 1 x 2", {"-sample", "1x2"}},
            {"sampled 4 x 1", {"-sample", "4x1"}},
            {"sampled 2 x 2, a restart every row", {"-restart", "1"}},
            {"sampled 1 x 1, a restart every block", {"-sample", "1x1", "-restart", "1B"}},
            {"progressive", {"-progressive"}},
            {"arithmetic", {"-arithmetic"}},
            {"arithmetic, progressive", {"-arithmetic", "-progressive", "-sample", "2x1"}},
        };
        for (const auto& [form, options] : forms)
            QTest::addRow("colour JPEG, %s", form) << Encoded(QStringLiteral("encoded %1.jpg").arg(form), large, "cjpeg", options);
        QTest::newRow("CMYK JPEG") << Encoded("cmyk.jpg", large, "convert", {"ppm:-", "-colorspace", "CMYK", "jpg:-"});
        // Past the head's bound the picture's own bound holds: comments
        // after the first scan bring the others just past the first 16 MiB.
        QFile progressive(dir.filePath("encoded progressive.jpg"));
        if (!progressive.open(QIODevice::ReadOnly)) qFatal("no progressive JPEG");
        const QByteArray scans = progressive.readAll();
        const qsizetype second = scans.indexOf("\xFF\xDA", scans.indexOf("\xFF\xDA") + 2);
        QTest::newRow("colour JPEG, progressive, its later scans past the first 16 MiB")
            << Write("later.jpg", Commented(scans, second, MaxPictureHeadBytes + 100));
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
        // A JPEG's missing part is one grey, as all its blocks are.
        QTest::newRow("JPEG cut short, 8 GB tail")
            << spread("cut.jpg", jpeg.left(jpeg.size() - 20), tail, {}) << QSize(64, 64) << qRgb(128, 128, 128);
        QTest::newRow("GIF cut short, 8 GB tail") << spread("cut.gif", gif.left(gif.size() / 2), tail, {}) << QSize(301, 199) << QRgb(0);
        QTest::newRow("bitmap cut short, 8 GB tail") << spread("cut.bmp", BmpHeader(16, 16), tail, {}) << QSize(16, 16) << qRgb(0, 0, 0);
        // A 16 x 16 bitmap whose 768 bytes of pixels end at its bound.
        const QByteArray pixels(16 * 16 * 3, '\x5A');
        const qint64 at = PictureReadLimit(QSize(16, 16)) - pixels.size();
        QTest::newRow("bitmap ending at its bound")
            << spread("at.bmp", BmpHeader(16, 16, quint32(at)), at, pixels) << QSize(16, 16) << qRgb(0x5A, 0x5A, 0x5A);
        // A JPEG's headers run to the end of its first scan's: comments
        // before them bring that end to the head's bound, or that scan's
        // header (10 bytes) a byte or more past it; or the comments themselves end a
        // byte before the bound, so the read after them may take one byte.
        const QByteArray small = OneLevelJpeg(16, 1, false);
        const qsizetype scan = small.indexOf("\xFF\xDA") + 10;
        for (const int past : {0, 1, 10}) {
            QTest::addRow("JPEG whose headers end %d past the head's bound", past)
                << Write(QStringLiteral("head%1.jpg").arg(past), Commented(small, 2, MaxPictureHeadBytes + past - scan + 2))
                << (past ? QSize() : QSize(16, 16)) << QRgb(0);
        }
        QTest::newRow("JPEG whose comments end a byte before the head's bound")
            << Write("head-1.jpg", Commented(small, 2, MaxPictureHeadBytes - 1)) << QSize() << QRgb(0);
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

    // Each scan of a JPEG is a pass over every block of its components, and
    // each byte of its coded data costs its decoder too (arithmetic-coded
    // ones most): a few hundred scans pass on a small picture, fewer on a
    // large one (7 on the largest), and the decoder stops a file of more
    // as it comes to the scan or byte past the bound. Scans are counted as
    // the decoder meets them, whatever the bytes around them.
    void jpegWorkBounded_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QSize>("size");
        using namespace picture_files;
        const QByteArray scans256 = OneLevelJpeg(16, 1, true, 255), scans257 = OneLevelJpeg(16, 1, true, 256);
        QTest::newRow("256 scans, 16 x 16") << Write("256.jpg", scans256) << QSize(16, 16);
        QTest::newRow("257 scans, 16 x 16") << Write("257.jpg", scans257) << QSize();
        QTest::newRow("257 colour scans, 16 x 16") << Write("257c.jpg", OneLevelJpeg(16, 3, true, 256)) << QSize();
        // Fill bytes before a marker hide no scan; scan markers inside a
        // segment, or after the end marker, are none.
        QByteArray filled = scans257;
        QTest::newRow("257 scans behind fill bytes") << Write("257f.jpg", filled.replace("\xFF\xDA", "\xFF\xFF\xFF\xDA")) << QSize();
        const QByteArray markers = QByteArray("\xFF\xFE\x04\x02", 4) + QByteArray("\xFF\xDA\x00\x02", 4).repeated(256);
        QTest::newRow("256 scans and a comment of scan markers")
            << Write("256m.jpg", scans256.left(2) + markers + scans256.mid(2)) << QSize(16, 16);
        QTest::newRow("256 scans, then more after the end")
            << Write("256e.jpg", scans256 + scans257.mid(scans257.indexOf("\xFF\xDA"))) << QSize(16, 16);
        // 4096 x 4096 grey: 262144 blocks a scan, 32 of which are the bound.
        QTest::newRow("31 scans, 4096 x 4096") << Write("31.jpg", OneLevelJpeg(4096, 1, true, 30)) << QSize(4096, 4096);
        QTest::newRow("32 scans, 4096 x 4096") << Write("32.jpg", OneLevelJpeg(4096, 1, true, 31)) << QSize();
        QTest::newRow("8 scans, 8192 x 8192") << Write("8.jpg", OneLevelJpeg(8192, 1, true, 7)) << QSize();
        QTest::newRow("2001 scans, 8192 x 8192") << Write("2001.jpg", OneLevelJpeg(8192, 1, true, 2000)) << QSize();
        // Pictures of noise at the finest quality: 1.1 MB and 7.2 MB of
        // arithmetic-coded data, three units a byte; 10 MB of Huffman-coded,
        // an eighth.
        const QString noise = NoiseJpeg(1024, true);
        QTest::newRow("arithmetic, 1024 x 1024 of noise") << noise << QSize(1024, 1024);
        // Bytes before the first scan are no work of the scans: 3 MB of
        // small comments there.
        QFile noiseFile(noise);
        if (!noiseFile.open(QIODevice::ReadOnly)) qFatal("cannot read %s", qPrintable(noise));
        const QByteArray noiseBytes = noiseFile.readAll();
        const QByteArray comments = (QByteArray("\xFF\xFE\x04\x02", 4) + QByteArray(1024, 'c')).repeated(3000);
        QTest::newRow("arithmetic, 1024 x 1024 of noise, 3 MB of comments first")
            << Write("noisec.jpg", noiseBytes.left(2) + comments + noiseBytes.mid(2)) << QSize(1024, 1024);
        QTest::newRow("arithmetic, 2560 x 2560 of noise") << NoiseJpeg(2560, true) << QSize();
        QTest::newRow("Huffman, 2560 x 2560 of noise") << NoiseJpeg(2560, false) << QSize(2560, 2560);
        // A file of more than one scan keeps its coefficients beside its
        // pixels: up to 64 MiB of them (3344 x 3344 in colour), but grey at
        // any size, whose decoded pixels take a quarter of the picture's own
        // buffer. A baseline file of a scan a component keeps them as well.
        QTest::newRow("progressive colour, 3344 x 3344") << Write("p3344.jpg", OneLevelJpeg(3344, 3, true)) << QSize(3344, 3344);
        QTest::newRow("progressive colour, 3352 x 3352") << Write("p3352.jpg", OneLevelJpeg(3352, 3, true)) << QSize();
        QTest::newRow("progressive colour, 3352 x 3352, tables before the frame")
            << Write("p3352t.jpg", OneLevelJpeg(3352, 3, true, 0, {.tablesFirst = true})) << QSize();
        const QByteArray blocks3344(3344 * 3344 / 64 * 2 / 8 + 1, '\0');
        std::vector<JpegScan> separate;
        for (const char c : {'\1', '\2', '\3'}) separate.push_back({QByteArray(1, c), 0, 63, 0, 0, blocks3344});
        QTest::newRow("baseline colour, a scan a component, 3344 x 3344")
            << Write("b3344.jpg", ScansJpeg(3344, 3344, 3, 0xC0, separate)) << QSize(3344, 3344);
        QTest::newRow("baseline colour, a scan a component, 3352 x 3352")
            << Write("b3352.jpg", ScansJpeg(3352, 3352, 3, 0xC0, separate)) << QSize();
        // Each component counts in whole blocks, and its blocks in whole
        // sampling units: counted without either rounding, this one passes.
        QTest::newRow("progressive colour, 4481 x 4961, luma sampled 2 x 2")
            << Write("p4481.jpg", OneLevelJpeg(4481, 3, true, 0, {.height = 4961, .lumaSampling = 0x22})) << QSize();
        QTest::newRow("progressive colour, a sampling factor of 0")
            << Write("p0.jpg", OneLevelJpeg(16, 3, true, 0, {.lumaSampling = 0x10})) << QSize();
        QTest::newRow("progressive colour, 8192 x 8192") << Write("p8192c.jpg", OneLevelJpeg(8192, 3, true)) << QSize();
        QTest::newRow("progressive grey, 8192 x 8192") << Write("p8192g.jpg", OneLevelJpeg(8192, 1, true)) << QSize(8192, 8192);
    }
    void jpegWorkBounded() {
        QFETCH(QString, path);
        QFETCH(QSize, size);
        QCOMPARE(LoadPicture(path).size(), size.isValid() ? size : QSize(0, 0));
    }

    // The costliest JPEGs of the largest size, those the work bound lets
    // through and those it stops partway, against a plain one-scan colour
    // file of that size in the same run: none takes five times its
    // processor time. Their scans are refinements, the costliest there are;
    // a real file of that size, a photo in libjpeg's own progression, loads.
    void costliestJpegsTakeUnderFiveTimesAPlainOne() {
        if (Sanitized()) QSKIP("the sanitizers' own work is no part of the bound");
        using namespace picture_files;
        constexpr int Side = 8192;
        const QByteArray bits(Side / 8 * (Side / 8) / 8, '\0');  // a zero bit a block
        const auto refined = [&](unsigned char frame, int scans, const QByteArray& data) {
            std::vector<JpegScan> all{{"\x01", 0, 0, 0, 1, bits}};
            for (int s = 0; s < scans; ++s) all.push_back({"\x01", 1, 63, 1, 0, data});
            return ScansJpeg(Side, Side, 1, frame, all);
        };
        struct Row {
            const char* name;
            QString path;
            bool loads;
        };
        const Row rows[] = {
            {"arithmetic, 6 refinements", Write("a6.jpg", refined(0xCA, 6, {})), true},
            {"arithmetic, 63 refinements", Write("a63.jpg", refined(0xCA, 63, {})), false},
            {"Huffman, 63 refinements of a bit a block", Write("h63.jpg", refined(0xC2, 63, bits)), false},
            {"libjpeg's own progression of a photo", GreyJpeg("photo.jpg", Side, true, {"-progressive", "-quality", "90"}), true},
        };
        const QString plain = Write("plain.jpg", OneLevelJpeg(Side, 3, false));
        const auto timed = [](const QString& path, QSize* size) {
            const qint64 start = ThreadTime();
            *size = LoadPicture(path).size();
            return ThreadTime() - start;
        };
        QSize size;
        qint64 plainTime = timed(plain, &size);
        QCOMPARE(size, QSize(Side, Side));
        qint64 worst = 0;
        QString report, loads;
        for (const Row& row : rows) {
            const qint64 time = timed(row.path, &size);
            if (size != (row.loads ? QSize(Side, Side) : QSize(0, 0))) loads += QStringLiteral("%1: %2; ").arg(row.name, size.isEmpty() ? "refused" : "loaded");
            worst = qMax(worst, time);
            report += QStringLiteral("%1: %2 ms; ").arg(row.name).arg(time / 1000000);
        }
        // The plain file again, so a slow moment of the machine is not
        // taken for its time.
        plainTime = qMax(plainTime, timed(plain, &size));
        report += QStringLiteral("plain: %1 ms").arg(plainTime / 1000000);
        qInfo("%s", qPrintable(report));
        QVERIFY2(worst < 5 * plainTime, qPrintable(report));
        // The file at the bound loads, so the costliest accepted is timed.
        QVERIFY2(loads.isEmpty(), qPrintable(loads));
    }

    // What a load holds at its peak, in a process of its own: no more than
    // the picture's four bytes a pixel and the JPEG working bound, whatever
    // else the file holds and wherever it ends.
    void jpegPeakMemoryBounded_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QSize>("declared");  // the size the file's frame gives
        QTest::addColumn<QSize>("size");      // what loads
        using namespace picture_files;
        // Four components, a scan each, cut after the first scan's header:
        // 512 MiB of coefficients it would keep.
        QTest::newRow("CMYK 8192 x 8192, a scan a colour, cut after the first")
            << Write("cmyk.jpg", ScansJpeg(8192, 8192, 4, 0xC0, {{"\x01", 0, 63, 0, 0, {}}}, false)) << QSize(8192, 8192) << QSize();
        // 200 MiB of comments between its pixels and its end.
        const QByteArray plain = OneLevelJpeg(8192, 3, false);
        const QString commented = Write("comments.jpg", plain.left(plain.size() - 2));
        {
            QFile file(commented);
            const QByteArray comment = QByteArray("\xFF\xFE\xFF\xFF", 4) + QByteArray(65533, 'c');
            if (!file.open(QIODevice::Append)) qFatal("cannot write %s", qPrintable(commented));
            for (qint64 left = qint64(200) << 20; left > 0; left -= comment.size()) file.write(comment);
            file.write("\xFF\xD9", 2);
        }
        QTest::newRow("colour 8192 x 8192, 200 MiB of comments") << commented << QSize(8192, 8192) << QSize(8192, 8192);
        QTest::newRow("progressive grey, 8192 x 8192")
            << Write("p8192g.jpg", OneLevelJpeg(8192, 1, true)) << QSize(8192, 8192) << QSize(8192, 8192);
        QTest::newRow("progressive colour, 3344 x 3344")
            << Write("p3344.jpg", OneLevelJpeg(3344, 3, true)) << QSize(3344, 3344) << QSize(3344, 3344);
    }
    void jpegPeakMemoryBounded() {
        QFETCH(QString, path);
        QFETCH(QSize, declared);
        QFETCH(QSize, size);
        if (Sanitized()) QSKIP("the sanitizers' own memory is no part of the bound");
        QProcess probe;
        probe.start(QStringLiteral(TT_PICTURE_PROBE), {path});
        QVERIFY2(probe.waitForFinished(30000), "the probe did not finish within 30 s");
        QCOMPARE(probe.exitCode(), 0);
        const QList<QByteArray> figures = probe.readAllStandardOutput().trimmed().split(' ');
        QCOMPARE(figures.size(), 3);
        // A little beside the bound for the decoder's rows and the
        // process's own heap.
        const qint64 bound = 4 * qint64(declared.width()) * declared.height() + MaxJpegWorkingBytes + (8 << 20);
        QVERIFY2(figures[2].toLongLong() <= bound,
                 qPrintable(QStringLiteral("peak %1 MiB, bound %2 MiB").arg(figures[2].toLongLong() >> 20).arg(bound >> 20)));
        QCOMPARE(QSize(figures[0].toInt(), figures[1].toInt()), size.isValid() ? size : QSize(0, 0));
    }

    // A JPEG that grows while it is read: from the moment the loader opens
    // it, a writer appends a scan every millisecond. The load ends within
    // 2 s, with the picture of the bytes it read or none.
    void growingJpegEndsInTime() {
        using namespace picture_files;
        constexpr int Side = 8192;
        const QByteArray bits(Side / 8 * (Side / 8) / 8, '\0');
        const QString path = Write("growing.jpg", ScansJpeg(Side, Side, 1, 0xC2, {{"\x01", 0, 0, 0, 1, bits}}, false));
        const QByteArray scan("\xFF\xDA\x00\x08\x01\x01\x00\x00\x00\x10", 10);  // the first scan's refinement, empty
        const int file = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_APPEND | O_CLOEXEC);
        const int watch = ::inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
        QVERIFY(file >= 0 && watch >= 0);
        const auto close = qScopeGuard([&] {
            ::close(file);
            ::close(watch);
        });
        QVERIFY(::inotify_add_watch(watch, QFile::encodeName(path).constData(), IN_OPEN) >= 0);
        std::atomic<bool> done = false, opened = false;
        std::atomic<int> appended = 0;
        std::thread writer([&] {
            pollfd event{watch, POLLIN, 0};
            if (::poll(&event, 1, 10000) != 1) return;
            opened = true;
            for (; !done && appended < 2000; ++appended) {
                if (::write(file, scan.constData(), size_t(scan.size())) != scan.size()) return;
                ::usleep(1000);
            }
        });
        QElapsedTimer timer;
        timer.start();
        const QImage picture = LoadPicture(path);
        const qint64 took = timer.elapsed();
        done = true;
        writer.join();
        QVERIFY2(opened && appended > 0, "the writer saw no open of the file, or appended nothing");
        QVERIFY2(took < 2000, qPrintable(QStringLiteral("the load took %1 ms over %2 scans appended").arg(took).arg(appended)));
        QVERIFY(picture.isNull() || picture.size() == QSize(Side, Side));
    }

    void boundsAreTheAgreedOnes() {
        QCOMPARE(MaxPictureSide, 32767);
        QVERIFY(qint64(MaxPictureSide) * MaxPictureSide > MaxPicturePixels);
        QVERIFY(MaxPicturePixels * 4 <= qint64(256) * 1024 * 1024);
    }
};

QTEST_MAIN(PictureLoaderTest)
#include "PictureLoaderTest.moc"
