// The art check's comparison, on committed files with small edits: rounding
// of a level or two in a few places passes, a repainted or reshaded drawing,
// a changed header, length or sound does not.
#include <QFile>
#include <QtTest>

#include "ArtCompare.h"

namespace {

QByteArray Committed(const QString& name) {
    QFile file(QStringLiteral(TT_RESOURCES "/") + name);
    if (!file.open(QIODevice::ReadOnly)) qFatal("cannot read %s", qPrintable(file.fileName()));
    return file.readAll();
}

// Byte of channel `c` (0 blue, 1 green, 2 red) of pixel (x, y) in a 24-bit
// BMP, whose rows run bottom-up, each padded to 4 bytes.
qsizetype At(const QByteArray& bmp, int x, int y, int c) {
    const auto u32 = [&](int at) { return qFromLittleEndian<qint32>(bmp.constData() + at); };
    const int stride = (u32(18) * 3 + 3) & ~3;
    return u32(10) + qsizetype(u32(22) - 1 - y) * stride + x * 3 + c;
}

QByteArray Shifted(QByteArray b, std::initializer_list<qsizetype> at, int by) {
    for (qsizetype i : at) b[i] = char(std::clamp(uchar(b[i]) + by, 0, 255));
    return b;
}

// Every channel of the pixels in `rect` shifted, or painted `paint` when set.
QByteArray Block(QByteArray bmp, QRect rect, int by, std::optional<QRgb> paint = {}) {
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            for (int c = 0; c < 3; ++c) {
                const qsizetype i = At(bmp, x, y, c);
                bmp[i] = char(paint ? (*paint >> (8 * c)) & 255 : std::clamp(uchar(bmp[i]) + by, 0, 255));
            }
    return bmp;
}

}  // namespace

class ArtCompareTest : public QObject {
    Q_OBJECT

private slots:
    void onlyRoundingPasses_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("generated");
        QTest::addColumn<bool>("passes");
        const QString sheet = "sheets/animals.bmp", gong = "sounds/GONG.wav";
        const QByteArray s = Committed(sheet), g = Committed(gong);
        const QRect poodle(5 * 37, 4 * 43, 37, 43);  // the black poodle's face
        const qsizetype sample = g.indexOf("data") + 8 + 5000;
        QTest::newRow("sheet as committed") << sheet << s << true;
        QTest::newRow("sheet, three channels of two pixels one level off")
            << sheet << Shifted(Shifted(s, {At(s, 200, 190, 1), At(s, 200, 190, 2)}, 1), {At(s, 20, 60, 0)}, -1) << true;
        QTest::newRow("sheet, a channel two levels off") << sheet << Shifted(s, {At(s, 200, 190, 2)}, 2) << true;
        QTest::newRow("sheet, a channel three levels off") << sheet << Shifted(s, {At(s, 200, 190, 2)}, 3) << false;
        QTest::newRow("sheet, a 10x10 block of the poodle repainted")
            << sheet << Block(s, QRect(poodle.topLeft() + QPoint(12, 14), QSize(10, 10)), 0, 0xFFE0A040) << false;
        QTest::newRow("sheet, the poodle's face a level lighter") << sheet << Block(s, poodle, 1) << false;
        QTest::newRow("sheet, its header's resolution changed") << sheet << Shifted(s, {38}, 1) << false;
        QTest::newRow("sheet, a byte longer") << sheet << s + '\0' << false;
        QTest::newRow("gong, a sample one level off") << gong << Shifted(g, {sample}, 1) << true;
        QTest::newRow("gong, a sample forty levels off") << gong << Shifted(g, {sample}, 40) << false;
        QTest::newRow("gong, its name changed") << gong << Shifted(g, {g.indexOf("Gong")}, 1) << false;
    }
    void onlyRoundingPasses() {
        QFETCH(QString, name);
        QFETCH(QByteArray, generated);
        QFETCH(bool, passes);
        const QString why = CompareArt(name, Committed(name), generated);
        QVERIFY2(why.isEmpty() == passes, qPrintable(why.isEmpty() ? QString("passed") : why));
    }
};

QTEST_MAIN(ArtCompareTest)
#include "ArtCompareTest.moc"
