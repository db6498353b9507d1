// The embedded pictures and sounds: exact sizes and formats, the tile body
// and mask to the pixel, faces that a player can tell apart, and sound files
// whose every chunk is where the sound player expects it.
#include <QFile>
#include <QImage>
#include <QtTest>

namespace {

QByteArray Resource(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

quint32 U32(const QByteArray& b, int at) {
    return quint32(uchar(b[at])) | quint32(uchar(b[at + 1])) << 8 | quint32(uchar(b[at + 2])) << 16 |
           quint32(uchar(b[at + 3])) << 24;
}
quint16 U16(const QByteArray& b, int at) { return quint16(uchar(b[at]) | uchar(b[at + 1]) << 8); }

QImage Picture(const QString& path) { return QImage(path).convertToFormat(QImage::Format_RGB32); }

const char* const kSheets[] = {":/sheets/mahjongg.bmp", ":/sheets/scanned.bmp", ":/sheets/cards.bmp",
                               ":/sheets/animals.bmp", ":/sheets/icons.bmp"};

// The two corner triangles that lie outside a tile's outline.
bool OutsideOutline(int x, int y) {
    if (y <= 3) return x < 4 - y;           // rows 0-3: the first 4, 3, 2, 1 pixels
    if (y >= 43) return x >= 40 - (y - 43); // rows 43-46: the last 1, 2, 3, 4 pixels
    return false;
}

QImage Face(const QImage& sheet, int f) { return sheet.copy((f % 9) * 37, (f / 9) * 43, 37, 43); }

int PixelsThatDiffer(const QImage& a, const QImage& b) {
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) n += a.pixel(x, y) != b.pixel(x, y);
    return n;
}

// Faces 0-34 and 36-42 are dealt; 43 is the blank.
QList<int> FacesOnSheet() {
    QList<int> faces;
    for (int f = 0; f <= 43; ++f)
        if (f != 35) faces.append(f);
    return faces;
}

int GroupOf(int f) { return f >= 27 && f <= 30 ? 1 : f >= 36 && f <= 39 ? 2 : 0; }

}  // namespace

class ResourcesTest : public QObject {
    Q_OBJECT

private slots:
    void sheetHasItsSizeAndDepth_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("bits");
        QTest::newRow("MahJongg") << ":/sheets/mahjongg.bmp" << 339 << 246 << 8;
        QTest::newRow("Scanned Tiles") << ":/sheets/scanned.bmp" << 340 << 231 << 24;
        QTest::newRow("Cards") << ":/sheets/cards.bmp" << 339 << 232 << 4;
        QTest::newRow("Animals") << ":/sheets/animals.bmp" << 339 << 233 << 24;
        QTest::newRow("Icons") << ":/sheets/icons.bmp" << 339 << 231 << 8;
        QTest::newRow("new") << ":/buttons/new.bmp" << 16 << 16 << 4;
        QTest::newRow("hint") << ":/buttons/hint.bmp" << 16 << 16 << 4;
        QTest::newRow("back") << ":/buttons/back.bmp" << 16 << 16 << 4;
        QTest::newRow("sound") << ":/buttons/sound.bmp" << 16 << 16 << 4;
        QTest::newRow("nosound") << ":/buttons/nosound.bmp" << 16 << 16 << 4;
        QTest::newRow("background") << ":/buttons/background.bmp" << 15 << 14 << 24;
        QTest::newRow("help") << ":/buttons/help.bmp" << 16 << 16 << 24;
        QTest::newRow("about") << ":/pictures/about.bmp" << 32 << 32 << 4;
    }
    void sheetHasItsSizeAndDepth() {
        QFETCH(QString, path);
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(int, bits);
        const QByteArray bmp = Resource(path);
        QVERIFY2(bmp.size() >= 54, qPrintable(path));
        QCOMPARE(bmp.left(2), QByteArray("BM"));
        QCOMPARE(int(U32(bmp, 2)), bmp.size());
        QCOMPARE(int(U32(bmp, 14)), 40);            // BITMAPINFOHEADER
        QCOMPARE(int(U32(bmp, 18)), width);
        QCOMPARE(int(U32(bmp, 22)), height);        // positive: rows bottom-up
        QCOMPARE(int(U16(bmp, 28)), bits);
        QCOMPARE(int(U32(bmp, 30)), 0);             // uncompressed
        const int rowBytes = (width * bits + 31) / 32 * 4;
        const int paletteBytes = bits <= 8 ? 4 << bits : 0;
        QCOMPARE(int(U32(bmp, 10)), 54 + paletteBytes);
        QCOMPARE(bmp.size(), 54 + paletteBytes + rowBytes * height);

        const QImage image(path);
        QCOMPARE(image.size(), QSize(width, height));
        QCOMPARE(image.format() == QImage::Format_Indexed8, bits <= 8);
    }

    void maskIsWhiteExactlyOutsideTheOutlineAndBodyBlackThere() {
        for (const char* path : kSheets) {
            const QImage sheet = Picture(path);
            for (int y = 0; y < 47; ++y)
                for (int x = 0; x < 41; ++x) {
                    const QRgb mask = sheet.pixel(297 + x, 182 + y);
                    const QRgb body = sheet.pixel(297 + x, 132 + y);
                    const bool outside = OutsideOutline(x, y);
                    QCOMPARE(mask, outside ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
                    QCOMPARE(body == qRgb(0, 0, 0), outside);
                }
        }
    }

    void bodyHasOliveSidesTealOutlineAndCreamFace() {
        const QImage body = Picture(":/sheets/mahjongg.bmp").copy(297, 132, 41, 47);
        const QRgb olive = qRgb(128, 128, 0), white = qRgb(255, 255, 255);
        const QRgb teal = body.pixel(0, 20);
        QVERIFY(qRed(teal) < 40 && qGreen(teal) > qRed(teal) + 30 && qBlue(teal) > qRed(teal) + 30);
        for (int y = 4; y <= 45; ++y) {
            QCOMPARE(body.pixel(0, y), teal);           // the outer line of the left strip
            for (int x = 1; x <= 3; ++x) QCOMPARE(body.pixel(x, y), olive);
        }
        for (int x = 1; x <= 35; ++x) {
            QCOMPARE(body.pixel(x, 46), teal);          // the outer line of the bottom strip
            for (int y = 43; y <= 45; ++y) QCOMPARE(body.pixel(x, y), olive);
        }
        for (int x = 4; x <= 40; ++x) QCOMPARE(body.pixel(x, 0), olive);   // top row
        for (int y = 0; y <= 42; ++y) QCOMPARE(body.pixel(40, y), olive);  // right column
        for (int y = 1; y <= 42; ++y) QCOMPARE(body.pixel(4, y), white);   // white line, left
        for (int x = 4; x <= 39; ++x) QCOMPARE(body.pixel(x, 42), white);  // and bottom
        int cream = 0, dots = 0;
        for (int y = 1; y <= 41; ++y)
            for (int x = 5; x <= 39; ++x) {
                const QRgb c = body.pixel(x, y);
                QVERIFY(qRed(c) >= 230 && qGreen(c) >= 220 && qBlue(c) >= 180 && qBlue(c) < qRed(c));
                (c == body.pixel(20, 20) ? cream : dots)++;
            }
        QVERIFY(dots > 10 && dots < cream / 10);         // faint dots, a sparse scatter
    }

    void everySheetCarriesTheSameBodyAndMask() {
        const QImage reference = Picture(":/sheets/mahjongg.bmp").copy(297, 132, 41, 97);
        for (const char* path : kSheets) QCOMPARE(Picture(path).copy(297, 132, 41, 97), reference);
    }

    void facesThatDoNotMatchLookDifferentAndGroupsLookAlike_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("groupsAlike");
        QTest::newRow("MahJongg") << ":/sheets/mahjongg.bmp" << false;
        QTest::newRow("Scanned Tiles") << ":/sheets/scanned.bmp" << false;
        QTest::newRow("Cards") << ":/sheets/cards.bmp" << true;
        QTest::newRow("Animals") << ":/sheets/animals.bmp" << true;
        QTest::newRow("Icons") << ":/sheets/icons.bmp" << true;
    }
    void facesThatDoNotMatchLookDifferentAndGroupsLookAlike() {
        QFETCH(QString, path);
        QFETCH(bool, groupsAlike);
        const QImage sheet = Picture(path);
        const QList<int> faces = FacesOnSheet();
        for (int i = 0; i < faces.size(); ++i)
            for (int j = i + 1; j < faces.size(); ++j) {
                const int a = faces[i], b = faces[j];
                const int differ = PixelsThatDiffer(Face(sheet, a), Face(sheet, b));
                const bool alike = groupsAlike && GroupOf(a) != 0 && GroupOf(a) == GroupOf(b);
                const QByteArray what = QStringLiteral("faces %1 and %2: %3 pixels differ").arg(a).arg(b).arg(differ).toUtf8();
                // Faces to be told apart differ in far more than a few
                // pixels; faces of a group that look alike in no more.
                if (alike) QVERIFY2(differ <= 8, what.constData());
                else QVERIFY2(differ >= 60, what.constData());
            }
    }

    void cardsAreRedForHeartsAndDiamondsAndBlackForClubsAndSpades() {
        const QImage sheet = Picture(":/sheets/cards.bmp");
        for (int f : FacesOnSheet()) {
            if (f == 43) continue;
            int red = 0, black = 0;
            const QImage face = Face(sheet, f);
            for (int y = 1; y < 42; ++y)
                for (int x = 1; x < 36; ++x) {
                    const QRgb c = face.pixel(x, y);
                    red += qRed(c) > 150 && qGreen(c) < 60 && qBlue(c) < 60;
                    black += qRed(c) < 60 && qGreen(c) < 60 && qBlue(c) < 60;
                }
            const bool shouldBeRed = f <= 17;
            QVERIFY2(shouldBeRed ? red > 80 && black == 0 : black > 80 && red == 0, qPrintable(QString::number(f)));
        }
    }

    void blankFaceHasNoInk_data() {
        QTest::addColumn<QString>("path");
        for (const char* path : kSheets) QTest::newRow(path) << path;
    }
    void blankFaceHasNoInk() {
        QFETCH(QString, path);
        // No edge inside the face: neighbours differ by no more than shading,
        // grain or the faint dots would make them.
        const QImage blank = Face(Picture(path), 43);
        int other = 0;
        for (int y = 1; y < 40; ++y)
            for (int x = 1; x < 34; ++x) {
                const QRgb a = blank.pixel(x, y), b = blank.pixel(x + 1, y), c = blank.pixel(x, y + 1);
                const auto step = [](QRgb p, QRgb q) {
                    return std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
                };
                other += step(a, b) > 48 || step(a, c) > 48;
            }
        QCOMPARE(other, 0);
    }

    // The characters carry their digit, the winds their letter and the
    // seasons their name in the top-right corner of the "MahJongg" faces:
    // red or blue ink there, different on every face of a group.
    void mahJonggFacesAreMarkedInTheirTopRightCorner() {
        const QImage sheet = Picture(":/sheets/mahjongg.bmp");
        const QList<QList<int>> groups = {{18, 19, 20, 21, 22, 23, 24, 25, 26}, {31, 32, 33, 34}, {36, 37, 38, 39}};
        for (const QList<int>& group : groups) {
            QList<QImage> corners;
            for (int f : group) {
                const QImage corner = Face(sheet, f).copy(22, 1, 14, 7);
                int ink = 0;
                for (int y = 0; y < corner.height(); ++y)
                    for (int x = 0; x < corner.width(); ++x) {
                        const QRgb c = corner.pixel(x, y);
                        ink += qRed(c) < 140 || (qGreen(c) < 100 && qBlue(c) < 100);
                    }
                QVERIFY2(ink >= 5, qPrintable(QString::number(f)));
                for (const QImage& other : corners) QVERIFY2(other != corner, qPrintable(QString::number(f)));
                corners.append(corner);
            }
        }
    }

    void buttonPicturesStandOnButtonFaceGrey() {
        const char* const paths[] = {":/buttons/new.bmp",   ":/buttons/hint.bmp",    ":/buttons/back.bmp",
                                     ":/buttons/sound.bmp", ":/buttons/nosound.bmp", ":/buttons/help.bmp"};
        const QRgb grey = Picture(paths[0]).pixel(0, 0);
        QVERIFY(qRed(grey) == qGreen(grey) && qGreen(grey) == qBlue(grey) && qRed(grey) >= 192);
        for (const char* path : paths) {
            const QImage image = Picture(path);
            QCOMPARE(image.pixel(0, image.height() - 1), grey);
            QCOMPARE(image.pixel(image.width() - 1, image.height() - 1), grey);
        }
        const QImage about = Picture(":/pictures/about.bmp");
        QCOMPARE(about.pixel(0, 0), grey);
        QCOMPARE(about.pixel(31, 31), grey);
    }

    void applicationIconIsSixteenColoursAndMatchesItsPng() {
        const QByteArray ico = Resource(":/pictures/app.ico");
        QVERIFY(ico.size() > 22);
        QCOMPARE(int(U16(ico, 2)), 1);     // an icon
        QCOMPARE(int(U16(ico, 4)), 1);     // one image
        QCOMPARE(int(uchar(ico[6])), 16);
        QCOMPARE(int(uchar(ico[7])), 16);
        QCOMPARE(int(uchar(ico[8])), 16);  // colours
        QCOMPARE(int(U16(ico, 12)), 4);    // bits per pixel
        const int offset = int(U32(ico, 18));
        QCOMPARE(int(U32(ico, 14)), ico.size() - offset);
        QCOMPARE(int(U16(ico, offset + 14)), 4);

        const QImage fromIco = QImage(":/pictures/app.ico").convertToFormat(QImage::Format_ARGB32);
        const QImage fromPng = QImage(":/pictures/app.png").convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(fromIco.size(), QSize(16, 16));
        QCOMPARE(fromIco, fromPng);
        QCOMPARE(qAlpha(fromIco.pixel(0, 0)), 0);      // the corner outside the tile shows through
        QCOMPARE(qAlpha(fromIco.pixel(8, 8)), 255);
    }

    void soundIsACompleteWaveOfItsFormat_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("rate");
        QTest::addColumn<int>("bits");
        QTest::addColumn<int>("samples");
        QTest::addColumn<int>("fileSize");
        QTest::addColumn<int>("trailing");
        QTest::newRow("DOWN") << ":/sounds/DOWN.wav" << 11025 << 8 << 543 << 672 << 2;
        QTest::newRow("DOWN2") << ":/sounds/DOWN2.wav" << 11025 << 8 << 339 << 468 << 2;
        QTest::newRow("SLIDE") << ":/sounds/SLIDE.wav" << 44100 << 16 << 17369 << 34864 << 0;
        QTest::newRow("GONG") << ":/sounds/GONG.wav" << 8000 << 8 << 24026 << 24152 << 0;
    }
    void soundIsACompleteWaveOfItsFormat() {
        QFETCH(QString, path);
        QFETCH(int, rate);
        QFETCH(int, bits);
        QFETCH(int, samples);
        QFETCH(int, fileSize);
        QFETCH(int, trailing);
        const QByteArray wav = Resource(path);
        QCOMPARE(wav.size(), fileSize);
        QCOMPARE(wav.left(4), QByteArray("RIFF"));
        QCOMPARE(int(U32(wav, 4)) + 8 + trailing, wav.size());
        QCOMPARE(wav.mid(8, 4), QByteArray("WAVE"));
        QCOMPARE(wav.mid(12, 4), QByteArray("fmt "));
        QCOMPARE(int(U32(wav, 16)), 16);
        QCOMPARE(int(U16(wav, 20)), 1);                  // PCM
        QCOMPARE(int(U16(wav, 22)), 1);                  // mono
        QCOMPARE(int(U32(wav, 24)), rate);
        QCOMPARE(int(U32(wav, 28)), rate * bits / 8);
        QCOMPARE(int(U16(wav, 32)), bits / 8);
        QCOMPARE(int(U16(wav, 34)), bits);
        QCOMPARE(wav.mid(36, 4), QByteArray("data"));
        const int dataBytes = samples * bits / 8;
        QCOMPARE(int(U32(wav, 40)), dataBytes);
        const int list = 44 + dataBytes + dataBytes % 2;
        QCOMPARE(wav.mid(list, 4), QByteArray("LIST"));
        QCOMPARE(int(U32(wav, list + 4)), 74);
        QCOMPARE(wav.mid(list + 8, 4), QByteArray("INFO"));
        QCOMPARE(list + 8 + 74, int(U32(wav, 4)) + 8);   // the list ends the RIFF
        QCOMPARE(wav.right(trailing), QByteArray(trailing, '\0'));
    }

    void soundsAreAudibleAndEndInSilence() {
        const QByteArray gong = Resource(":/sounds/GONG.wav");
        const QByteArray down = Resource(":/sounds/DOWN.wav");
        for (const QByteArray& wav : {gong, down}) {
            const int n = int(U32(wav, 40));
            int peak = 0;
            for (int i = 0; i < n; ++i) peak = std::max(peak, std::abs(int(uchar(wav[44 + i])) - 128));
            QVERIFY(peak > 90);
            QVERIFY(std::abs(int(uchar(wav[44 + n - 1])) - 128) <= 1);
        }
        // The gong still rings in its third second.
        int late = 0;
        for (int i = 16000; i < 20000; ++i) late = std::max(late, std::abs(int(uchar(gong[44 + i])) - 128));
        QVERIFY(late > 8);
    }
};

QTEST_MAIN(ResourcesTest)
#include "ResourcesTest.moc"
