// The board picture box: its drawing area, its picture on screen at any
// device pixel ratio, and which mouse events it reports.
#include <QSignalSpy>
#include <QTest>

#include "BoardView.h"

class BoardViewTest : public QObject {
    Q_OBJECT
private slots:
    void theDrawingAreaIsFourPixelsSmallerAndKeepsItsPicture();
    void showsThePictureInsideTheBorderPixelForPixel_data();
    void showsThePictureInsideTheBorderPixelForPixel();
    void reportsOnlyReleasesInDrawingAreaPixels();
    void reportsNothingWhileDisabled();
};

void BoardViewTest::theDrawingAreaIsFourPixelsSmallerAndKeepsItsPicture() {
    Surface picture;
    BoardView view(picture, nullptr);
    view.SetWidth(30);
    view.SetHeight(20);
    QCOMPARE(view.size(), QSize(30, 20));
    QCOMPARE(view.ScaleWidth(), 26);
    QCOMPARE(view.ScaleHeight(), 16);
    picture.SetPixel(3, 4, 0x123456);
    view.SetWidth(40);
    QCOMPARE(picture.Pixel(3, 4), uint32_t(0x123456));
    QCOMPARE(picture.Pixel(30, 4), uint32_t(0x8000));  // new area in the back colour
    view.SetWidth(3);
    QCOMPARE(view.ScaleWidth(), 0);
}

void BoardViewTest::showsThePictureInsideTheBorderPixelForPixel_data() {
    QTest::addColumn<qreal>("ratio");
    QTest::newRow("1") << qreal(1);
    QTest::newRow("2") << qreal(2);
    QTest::newRow("3") << qreal(3);
}

void BoardViewTest::showsThePictureInsideTheBorderPixelForPixel() {
    QFETCH(qreal, ratio);
    Surface picture;
    BoardView view(picture, nullptr);
    view.SetWidth(10);
    view.SetHeight(9);
    // A checkerboard of two colours: any smoothing would mix them.
    for (int y = 0; y < picture.ScaleHeight(); ++y)
        for (int x = 0; x < picture.ScaleWidth(); ++x) picture.SetPixel(x, y, (x + y) % 2 ? 0x0000FF : 0xFFFFFF);
    const int r = int(ratio);
    QImage shot(10 * r, 9 * r, QImage::Format_RGB32);
    shot.setDevicePixelRatio(ratio);
    shot.fill(Qt::black);
    view.render(&shot);
    for (int y = 0; y < picture.ScaleHeight(); ++y) {
        for (int x = 0; x < picture.ScaleWidth(); ++x) {
            const QColor expected = (x + y) % 2 ? QColor(255, 0, 0) : QColor(255, 255, 255);
            for (int dy = 0; dy < r; ++dy)
                for (int dx = 0; dx < r; ++dx)
                    QCOMPARE(shot.pixelColor((x + 2) * r + dx, (y + 2) * r + dy), expected);
        }
    }
    // The border is no part of the picture.
    QVERIFY(shot.pixelColor(0, 0) != QColor(255, 255, 255));
}

void BoardViewTest::reportsOnlyReleasesInDrawingAreaPixels() {
    Surface picture;
    BoardView view(picture, nullptr);
    view.SetWidth(100);
    view.SetHeight(80);
    view.show();
    QSignalSpy ups(&view, &BoardView::MouseUp);
    QTest::mousePress(&view, Qt::LeftButton, {}, QPoint(12, 20));
    QCOMPARE(ups.count(), 0);
    QTest::mouseRelease(&view, Qt::LeftButton, {}, QPoint(12, 20));
    QTest::mouseRelease(&view, Qt::RightButton, Qt::ShiftModifier, QPoint(50, 40));
    QTest::mouseRelease(&view, Qt::MiddleButton, Qt::ControlModifier | Qt::AltModifier, QPoint(2, 2));
    QCOMPARE(ups.count(), 3);
    QCOMPARE(ups[0], QVariantList({1, 0, 10.0f, 18.0f}));
    QCOMPARE(ups[1], QVariantList({2, 1, 48.0f, 38.0f}));
    QCOMPARE(ups[2], QVariantList({4, 6, 0.0f, 0.0f}));
}

void BoardViewTest::reportsNothingWhileDisabled() {
    Surface picture;
    BoardView view(picture, nullptr);
    view.SetWidth(100);
    view.SetHeight(80);
    view.show();
    QSignalSpy ups(&view, &BoardView::MouseUp);
    view.setEnabled(false);
    QTest::mouseRelease(&view, Qt::LeftButton, {}, QPoint(12, 20));
    QCOMPARE(ups.count(), 0);
}

QTEST_MAIN(BoardViewTest)
#include "BoardViewTest.moc"
