// The committed tile sheets as a player sees them at a glance: every face
// shrunk to 12 x 14 pixels. Faces that must not match stay apart; the faces
// of a group drawn alike stay identical.
//
// The distance of two faces is the root mean square of the colour distance
// of their shrunk pixels (0 to 441). The thresholds come from the sheets
// that read well: "Icons" for the sheets told apart by their pictures
// alone (closest pair 50.8), "Cards" for the sheets whose faces carry a
// number to read (closest pair 19.3, a 6 and an 8 of one suit).
#include <QImage>
#include <QtTest>
#include <cmath>

namespace {

constexpr double kPictures = 48.0;
constexpr double kNumbered = 18.0;

QImage Glance(const QImage& sheet, int f) {
    return sheet.copy((f % 9) * 37, (f / 9) * 43, 37, 43)
        .scaled(12, 14, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

double Distance(const QImage& a, const QImage& b) {
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            const double r = qRed(p) - qRed(q), g = qGreen(p) - qGreen(q), bl = qBlue(p) - qBlue(q);
            sum += r * r + g * g + bl * bl;
        }
    return std::sqrt(sum / (a.width() * a.height()));
}

// 1 for the Flowers, 2 for the Seasons, 0 for a face that matches only itself.
int GroupOf(int f) { return f >= 27 && f <= 30 ? 1 : f >= 36 && f <= 39 ? 2 : 0; }

}  // namespace

class GlanceTest : public QObject {
    Q_OBJECT

private slots:
    void facesThatMustNotMatchDifferAtAGlance_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<double>("threshold");
        QTest::addColumn<bool>("groupsAlike");
        QTest::newRow("MahJongg") << "mahjongg.bmp" << kNumbered << false;
        QTest::newRow("Scanned Tiles") << "scanned.bmp" << kNumbered << false;
        QTest::newRow("Cards") << "cards.bmp" << kNumbered << true;
        QTest::newRow("Animals") << "animals.bmp" << kPictures << true;
        QTest::newRow("Icons") << "icons.bmp" << kPictures << true;
    }
    void facesThatMustNotMatchDifferAtAGlance() {
        QFETCH(QString, file);
        QFETCH(double, threshold);
        QFETCH(bool, groupsAlike);
        const QImage sheet = QImage(QStringLiteral(TT_SHEETS "/") + file).convertToFormat(QImage::Format_RGB32);
        QVERIFY(!sheet.isNull());
        QStringList tooClose;
        double closest = 1e9;
        for (int a = 0; a <= 42; ++a)
            for (int b = a + 1; b <= 42; ++b) {
                if (a == 35 || b == 35) continue;
                const double d = Distance(Glance(sheet, a), Glance(sheet, b));
                const bool oneGroup = GroupOf(a) != 0 && GroupOf(a) == GroupOf(b);
                if (oneGroup) {
                    if (groupsAlike) QVERIFY2(d == 0, qPrintable(QStringLiteral("faces %1 and %2 differ").arg(a).arg(b)));
                    continue;
                }
                closest = std::min(closest, d);
                if (d < threshold) tooClose << QStringLiteral("%1-%2 (%3)").arg(a).arg(b).arg(d, 0, 'f', 1);
            }
        qInfo("closest pair that must not match: %.1f (threshold %.1f)", closest, threshold);
        QVERIFY2(tooClose.isEmpty(), qPrintable(QStringLiteral("too alike at a glance: ") + tooClose.join(", ")));
    }
};

QTEST_GUILESS_MAIN(GlanceTest)
#include "GlanceTest.moc"
