// Pictures in every form a player may choose, written by ImageMagick or put
// together from what it wrote, each loaded as ImageMagick itself reads it (a
// bitmap read once); files cut short, each loaded over memory filled two
// ways, giving the same pixels both times or refused both times; and what a
// bitmap shows where its runs skip, or when it is too large to hold.
#include <QCoreApplication>
#include <QCryptographicHash>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <cstdio>
#include <cstring>
#include <functional>
#include <sys/resource.h>

#include "PictureFiles.h"
#include "PictureLoader.h"

namespace {

constexpr int Width = 37, Height = 23;  // odd, so every row of a bitmap is padded

// A gradient in each colour and a pattern across them, as 8-bit RGB.
QByteArray SourcePixels() {
    QByteArray rgb;
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x) {
            rgb += char((x * 7 + y * 3) % 256);
            rgb += char((y * 11 + (x % 5 == 0 ? 90 : 0)) % 256);
            rgb += char((x * y * 5 + 40) % 256);
        }
    return rgb;
}

// What `program` writes to its output, waited for at most 30 s.
QByteArray Run(const QString& program, const QStringList& arguments, const QProcessEnvironment& environment = {}) {
    QProcess process;
    if (!environment.isEmpty()) process.setProcessEnvironment(environment);
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        qFatal("%s %s did not finish well within 30 s: %s", qPrintable(program), qPrintable(arguments.join(' ')),
               process.readAllStandardError().constData());
    return process.readAllStandardOutput();
}

quint32 Little32(const QByteArray& bytes, int at) {
    quint32 value = 0;
    for (int i = 3; i >= 0; --i) value = value << 8 | uchar(bytes[at + i]);
    return value;
}
void SetLittle(QByteArray& bytes, int at, quint32 value, int size = 4) {
    for (int i = 0; i < size; ++i) bytes[at + i] = char(value >> (8 * i));
}

// A bitmap file as its three parts: the info header, what lies between it
// and the pixels (masks, colour table), and the pixels.
struct Bitmap {
    QByteArray info, table, pixels;

    explicit Bitmap(const QByteArray& file)
        : info(file.mid(14, Little32(file, 14))),
          table(file.mid(14 + info.size(), Little32(file, 10) - 14 - info.size())),
          pixels(file.mid(Little32(file, 10))) {}

    QByteArray File() const {
        QByteArray file("BM\0\0\0\0\0\0\0\0\0\0\0\0", 14);
        SetLittle(file, 2, quint32(14 + info.size() + table.size() + pixels.size()));
        SetLittle(file, 10, quint32(14 + info.size() + table.size()));
        return file + info + table + pixels;
    }
    int Bits() const { return uchar(info[14]); }
    int RowBytes() const { return (Width * Bits() + 31) / 32 * 4; }

    // The info header cut to, or padded to, `size` bytes, which it claims.
    Bitmap& Header(int size, quint32 compression) {
        info = info.leftJustified(size, '\0', true);
        SetLittle(info, 0, quint32(size));
        SetLittle(info, 16, compression);
        return *this;
    }
    // The rows top-down, the height negative.
    Bitmap& TopDown() {
        QByteArray rows;
        for (int y = Height - 1; y >= 0; --y) rows += pixels.mid(y * RowBytes(), RowBytes());
        pixels = rows;
        SetLittle(info, 8, quint32(-Height));
        return *this;
    }
    // The pixels of 4 or 8 bits in runs: a run of one colour, or of two in
    // turn for 4 bits, where three pixels or more repeat; the rest as they
    // are, in groups of three or more, or runs of one or two pixels.
    Bitmap& Runs() {
        const bool nibbles = Bits() == 4;
        QByteArray runs;
        for (int y = 0; y < Height; ++y) {
            QList<int> row;
            for (int x = 0; x < Width; ++x)
                row += nibbles ? (uchar(pixels[y * RowBytes() + x / 2]) >> (x % 2 ? 0 : 4)) & 15
                               : uchar(pixels[y * RowBytes() + x]);
            const auto repeats = [&](int x) {
                int n = 1;
                while (x + n < Width && n < 255 && row[x + n] == row[x + (nibbles ? n % 2 : 0)]) ++n;
                return n;
            };
            for (int x = 0; x < Width;) {
                int n = repeats(x);
                if (n < 3) {
                    n = 0;
                    while (x + n < Width && n < 254 && repeats(x + n) < 3) ++n;
                }
                if (n >= 3 && repeats(x) < 3) {
                    runs += '\0';
                    runs += char(n);
                    QByteArray literal;
                    for (int i = 0; i < n; ++i)
                        if (!nibbles) literal += char(row[x + i]);
                        else if (i % 2 == 0) literal += char(row[x + i] << 4);
                        else literal.back() = char(literal.back() | row[x + i]);
                    runs += literal + QByteArray(literal.size() % 2, '\0');
                } else {
                    n = qMax(1, qMin(n, repeats(x)));
                    runs += char(n);
                    runs += char(nibbles ? row[x] << 4 | (n > 1 ? row[x + 1] : 0) : row[x]);
                }
                x += n;
            }
            runs += QByteArray("\0\0", 2);
        }
        pixels = runs + QByteArray("\0\1", 2);
        SetLittle(info, 16, nibbles ? 2 : 1);
        SetLittle(info, 20, quint32(pixels.size()));
        return *this;
    }
};

// The pixels of `image` as 8-bit RGB.
QByteArray RgbOf(const QImage& image) {
    QByteArray rgb;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            rgb += char(qRed(pixel));
            rgb += char(qGreen(pixel));
            rgb += char(qBlue(pixel));
        }
    return rgb;
}

// The child's side of the rows that load in a process of their own: a line
// for each picture named, its size and a hash of its pixels, or "refused";
// then the most memory the process held, in KiB.
int PrintPictureHashes(int count, char** paths) {
    for (int i = 0; i < count; ++i) {
        const QImage picture = LoadPicture(QString::fromLocal8Bit(paths[i]));
        if (picture.isNull()) {
            std::printf("refused\n");
            continue;
        }
        const QByteArray hash = QCryptographicHash::hash(
            QByteArrayView(picture.constBits(), picture.sizeInBytes()), QCryptographicHash::Sha256);
        std::printf("%dx%d %s\n", picture.width(), picture.height(), hash.toHex().constData());
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("peak %ld\n", usage.ru_maxrss);
    return 0;
}

}  // namespace

class PictureCorpusTest : public QObject {
    Q_OBJECT

    // A picture file and how near ImageMagick's reading ours must come.
    struct Form {
        QString name, path;
        int largest;  // difference in any level
        double mean;  // difference over every level
        QString reference = path;  // the file whose reading ours is compared with
    };
    QList<Form> forms;
    QTemporaryDir dir;
    QString convert = QStandardPaths::findExecutable(QStringLiteral("convert"), {QStringLiteral("/usr/bin")});
    QString source;

    QString Path(const QString& name) const { return dir.filePath(name); }

    QString Write(const QString& name, const QByteArray& bytes) {
        QFile file(Path(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(name));
        return file.fileName();
    }

    // The source picture written by ImageMagick as `target` (its format
    // before a colon), with `options` before it.
    QString Convert(const QString& target, const QStringList& options) {
        Run(convert, QStringList{"-size", QStringLiteral("%1x%2").arg(Width).arg(Height), "-depth", "8", "rgb:" + source} +
                         options + QStringList{target.section(':', 0, 0) + ':' + Path(target.section(':', 1))});
        return Path(target.section(':', 1));
    }
    // The lines of a child that loads `paths` with its fresh memory filled
    // with `fill`: one for each picture, then its peak memory.
    QStringList Load(const QStringList& paths, int fill) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("MALLOC_PERTURB_"), QString::number(fill));
        const QStringList lines = QString::fromLatin1(Run(QCoreApplication::applicationFilePath(),
                                                          QStringList{"--hash-pictures"} + paths, environment))
                                      .split('\n', Qt::SkipEmptyParts);
        if (lines.size() != paths.size() + 1)
            qFatal("the child gave %d lines for %d pictures", int(lines.size()), int(paths.size()));
        return lines;
    }
    QByteArray Read(const QString& path) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) qFatal("cannot read %s", qPrintable(path));
        return file.readAll();
    }
    // A bitmap put together from one ImageMagick wrote.
    QString Craft(const QString& name, const QString& from, const std::function<void(Bitmap&)>& change) {
        Bitmap bitmap(Read(from));
        change(bitmap);
        return Write(name, bitmap.File());
    }

private slots:
    void initTestCase() {
        if (convert.isEmpty()) QSKIP("ImageMagick's convert is not installed: no picture to compare with");
        QVERIFY(dir.isValid());
        source = Write("source.rgb", SourcePixels());
        // ImageMagick writes 8-bit pictures in runs unless told not to.
        const QStringList palette{"+dither", "-colors", "200", "-compress", "None"}, sixteen{"+dither", "-colors", "12"};
        const QString b24 = Convert("BMP3:b24.bmp", {}), b8 = Convert("BMP3:b8.bmp", palette);
        const QString b4 = Convert("BMP3:b4.bmp", sixteen), b565 = Convert("BMP:b565.bmp", {"-define", "bmp:subtype=RGB565"});
        const QString b555 = Convert("BMP:b555.bmp", {"-define", "bmp:subtype=RGB555"});
        const QString b32 = Convert("BMP:b32.bmp", {"-alpha", "set", "-channel", "A", "-fx", "(i+j)%3/2"});
        const auto exact = [this](const char* name, const QString& path) { forms += {name, path, 0, 0.0}; };
        exact("24 bits", b24);
        exact("24 bits, V5 header", Convert("BMP:b24v5.bmp", {}));
        exact("24 bits, OS/2 1.x header", Convert("BMP2:os2.bmp", {}));
        exact("8 bits, OS/2 1.x header, colours of 3 bytes", Convert("BMP2:os2p.bmp", palette));
        // ImageMagick takes this header's colours for three bytes each, where
        // they are four: it shows the colours of the file it was made from.
        forms += {"8 bits, OS/2 2.x header", Craft("os2x.bmp", b8, [](Bitmap& b) { b.Header(64, 0); }), 0, 0.0, b8};
        exact("8 bits", b8);
        exact("4 bits", b4);
        exact("1 bit", Convert("BMP3:b1.bmp", {"-monochrome"}));
        exact("24 bits, top-down", Craft("down24.bmp", b24, [](Bitmap& b) { b.TopDown(); }));
        exact("8 bits, top-down", Craft("down8.bmp", b8, [](Bitmap& b) { b.TopDown(); }));
        exact("8-bit runs", Convert("BMP3:rle8.bmp", QStringList{"+dither", "-colors", "200", "-compress", "RLE"}));
        exact("8-bit runs, some as they are", Craft("runs8.bmp", b8, [](Bitmap& b) { b.Runs(); }));
        exact("4-bit runs", Craft("runs4.bmp", b4, [](Bitmap& b) { b.Runs(); }));
        exact("32 bits and alpha, bit fields, V5 header", b32);
        exact("32 bits and alpha, bit fields, V4 header", Craft("v4.bmp", b32, [](Bitmap& b) { b.Header(108, 3); }));
        exact("32 bits and alpha, bit fields, 56-byte header", Craft("h56.bmp", b32, [](Bitmap& b) { b.Header(56, 3); }));
        exact("32 bits, plain", Craft("plain32.bmp", b32, [](Bitmap& b) { b.Header(40, 0); }));
        exact("16 bits, 5-6-5", b565);
        exact("16 bits, 5-5-5 bit fields", b555);
        exact("16 bits, plain 5-5-5", Craft("plain16.bmp", b555, [](Bitmap& b) { b.Header(40, 0); }));
        exact("16 bits, 5-6-5, masks after a 40-byte header", Craft("h40.bmp", b565, [](Bitmap& b) {
            b.table.prepend(b.info.mid(40, 12));
            b.Header(40, 3);
        }));
        exact("16 bits, bit fields of no blue", Craft("noblue.bmp", b565, [](Bitmap& b) { SetLittle(b.info, 48, 0); }));
        exact("16 bits, 5-6-5, 52-byte header", Craft("h52.bmp", b565, [](Bitmap& b) { b.Header(52, 3); }));
        exact("GIF", Convert("GIF:plain.gif", palette));
        exact("GIF, interlaced", Convert("GIF:interlaced.gif", palette + QStringList{"-interlace", "GIF"}));
        const auto jpeg = [this](const char* name, const QString& path) { forms += {name, path, 255, 2.0}; };
        const QString baseline = Convert("JPEG:baseline.jpg", {"-quality", "90"});
        jpeg("JPEG, baseline", baseline);
        jpeg("JPEG, progressive", Convert("JPEG:progressive.jpg", {"-interlace", "JPEG"}));
        jpeg("JPEG, grey", Convert("JPEG:grey.jpg", {"-colorspace", "Gray"}));
        jpeg("JPEG, 4:4:4", Convert("JPEG:444.jpg", {"-sampling-factor", "1x1"}));
        jpeg("JPEG, 4:2:2", Convert("JPEG:422.jpg", {"-sampling-factor", "2x1"}));
        const QString jpegtran = QStandardPaths::findExecutable(QStringLiteral("jpegtran"));
        QVERIFY2(!jpegtran.isEmpty(), "jpegtran (libjpeg-turbo-progs) is not installed: no JPEG with restart markers");
        jpeg("JPEG, restart markers", Write("restart.jpg", Run(jpegtran, {"-restart", "2B", baseline})));
    }

    // Every form of picture loads as ImageMagick reads it: bitmaps and GIFs
    // exactly (a level of 5 or 6 bits widened to 8 by repeating its bits, as
    // both do), JPEGs within a small mean difference.
    void picturesLoadAsImageMagickReadsThem_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("largest");  // difference in any level
        QTest::addColumn<double>("mean");  // difference over every level
        QTest::addColumn<QString>("reference");
        for (const Form& form : forms)
            QTest::newRow(qPrintable(form.name)) << form.path << form.largest << form.mean << form.reference;
    }
    void picturesLoadAsImageMagickReadsThem() {
        QFETCH(QString, path);
        QFETCH(int, largest);
        QFETCH(double, mean);
        QFETCH(QString, reference);
        const QByteArray expected = Run(convert, {reference, "-depth", "8", "rgb:-"});
        QCOMPARE(expected.size(), Width * Height * 3);
        // What the count of bytes read costs itself (a few more if one of
        // its figures grows a digit), then what the load reads.
        using picture_files::BytesRead;
        qint64 before = BytesRead();
        const qint64 count = BytesRead() - before + 16;
        before = BytesRead();
        const QImage picture = LoadPicture(path);
        const qint64 read = BytesRead() - before - count, size = QFileInfo(path).size();
        QCOMPARE(picture.size(), QSize(Width, Height));
        // A bitmap is read once, and so is a JPEG, but for its first two
        // bytes, read first to tell the format.
        if (path.endsWith(".bmp") || path.endsWith(".jpg"))
            QVERIFY2(read <= size + (path.endsWith(".jpg") ? 2 : 0),
                     qPrintable(QStringLiteral("%1 bytes read of %2").arg(read).arg(size)));
        const QByteArray got = RgbOf(picture);
        qint64 total = 0;
        for (int i = 0; i < got.size(); ++i) {
            const int difference = qAbs(uchar(got[i]) - uchar(expected[i]));
            total += difference;
            if (difference > largest)
                QFAIL(qPrintable(QStringLiteral("pixel (%1, %2), level %3: %4, ImageMagick reads %5")
                                     .arg(i / 3 % Width).arg(i / 3 / Width).arg(i % 3)
                                     .arg(uchar(got[i])).arg(uchar(expected[i]))));
        }
        const double meanDifference = double(total) / got.size();
        QVERIFY2(meanDifference <= mean, qPrintable(QStringLiteral("mean difference %1").arg(meanDifference)));
    }

    // A file cut short gives the same pixels whatever memory held before:
    // loaded in two processes whose fresh memory is filled differently, each
    // cut of each form gives the same picture in both, or none in both. A
    // bitmap cut in its headers is refused; one cut halfway through its
    // pixels shows the rows it holds and black for the rest.
    void cutFilesLoadTheSameOverAnyMemory_data() {
        QTest::addColumn<QString>("path");
        for (const Form& form : forms) QTest::newRow(qPrintable(form.name)) << form.path;
    }
    void cutFilesLoadTheSameOverAnyMemory() {
        QFETCH(QString, path);
        const QByteArray whole = Read(path);
        const bool bitmap = path.endsWith(".bmp");
        const qsizetype offset = bitmap ? Little32(whole, 10) : whole.size() / 4;
        const qsizetype half = offset + (whole.size() - offset) / 2;
        // In the headers, at the pixels' start and halfway through them, and
        // a third and all but the last bytes of the way through the file.
        QStringList cuts;
        for (const qsizetype keep : {qMin<qsizetype>(30, offset - 1), offset + 1, half, whole.size() / 3, whole.size() - 3})
            cuts += Write(QStringLiteral("cut-%1-").arg(keep) + path.section('/', -1), whole.left(keep));
        const QStringList lines[2] = {Load(cuts, 85), Load(cuts, 170)};
        for (int i = 0; i < cuts.size(); ++i)
            QVERIFY2(lines[0][i] == lines[1][i], qPrintable(QStringLiteral("%1: %2, then %3")
                                                                .arg(cuts[i].section('/', -1), lines[0][i], lines[1][i])));
        if (!bitmap) return;
        QCOMPARE(lines[0][0], QStringLiteral("refused"));
        const QImage all = LoadPicture(path), cut = LoadPicture(cuts[2]);
        QCOMPARE(cut.size(), all.size());
        const QRgb black = qRgb(0, 0, 0);
        const int first = qint32(Little32(whole, 22)) < 0 ? 0 : Height - 1, last = Height - 1 - first;
        for (int y = 0; y < Height; ++y)
            for (int x = 0; x < Width; ++x) {
                const QRgb pixel = cut.pixel(x, y);
                if ((y == first && pixel != all.pixel(x, y)) || (y == last && pixel != black) ||
                    (pixel != all.pixel(x, y) && pixel != black))
                    QFAIL(qPrintable(
                        QStringLiteral("pixel (%1, %2) of the cut picture is %3").arg(x).arg(y).arg(pixel, 8, 16)));
            }
    }

    // Runs that skip pixels, or end a row or the picture early, leave black
    // where they do; a run past a row's end is cut there. Four pixels by
    // three, colours red, green, blue: the bottom row skips two pixels and
    // has two green, the middle a run of six blue, the top one red pixel.
    void runsLeaveBlackWhereTheySkip() {
        QByteArray file = QByteArray("BM") + QByteArray(12, '\0') + QByteArray(40, '\0') +
                          QByteArray::fromHex("0000ff00 00ff0000 ff000000");
        SetLittle(file, 10, quint32(file.size()));
        SetLittle(file, 14, 40);
        SetLittle(file, 18, 4);
        SetLittle(file, 22, 3);
        SetLittle(file, 26, 1, 2);
        SetLittle(file, 28, 8, 2);
        SetLittle(file, 30, 1);  // runs of 8 bits
        SetLittle(file, 46, 3);
        file += QByteArray::fromHex("00020200 0201 0000 0602 0000 0100 0001");
        const QImage picture = LoadPicture(Write("skips.bmp", file));
        const QRgb k = qRgb(0, 0, 0), r = qRgb(255, 0, 0), g = qRgb(0, 255, 0), b = qRgb(0, 0, 255);
        const QRgb expected[3][4] = {{r, k, k, k}, {b, b, b, b}, {k, k, g, g}};
        QCOMPARE(picture.size(), QSize(4, 3));
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 4; ++x) QCOMPARE(picture.pixel(x, y), expected[y][x]);
    }

    // A bitmap too large to hold is refused from its header, before its
    // memory is taken: 8192 x 8193 pixels, a row more than the bound, would
    // take 256 MiB.
    void oversizedBitmapsRefusedBeforeTheirMemoryIsTaken() {
        QCOMPARE(qint64(8192) * 8193 > MaxPicturePixels, true);
        QStringList paths;
        for (const qint32 height : {8193, -8193})
            paths += Craft(QStringLiteral("large%1.bmp").arg(height), Path("b24.bmp"), [height](Bitmap& b) {
                SetLittle(b.info, 4, 8192);
                SetLittle(b.info, 8, quint32(height));
            });
        const QStringList lines = Load(paths, 85);
        QCOMPARE(lines.mid(0, 2), QStringList({"refused", "refused"}));
        QVERIFY2(lines[2].mid(5).toLongLong() < 64 * 1024, qPrintable(lines[2]));
    }
};

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--hash-pictures") == 0) {
        QCoreApplication app(argc, argv);
        return PrintPictureHashes(argc - 2, argv + 2);
    }
    QCoreApplication app(argc, argv);
    PictureCorpusTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "PictureCorpusTest.moc"
