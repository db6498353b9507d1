// The About box: its texts and place, and the link that turns red and holds
// the pointer capture while the pointer is over it.
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QtTest>

#include "DialogTestKit.h"
#include "frmAbout.h"

namespace {

const QColor Blue(0, 0, 255);
const QColor Red(255, 0, 0);

QColor LinkColour(const frmAbout& box) {
    return box.txtURL->palette().color(QPalette::Text);
}

void Send(QWidget* target, QEvent::Type type, QPointF at, Qt::MouseButton button = Qt::NoButton) {
    const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? Qt::MouseButtons(button) : Qt::NoButton;
    QMouseEvent event(type, at, target->mapToGlobal(at), button, held, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

void MoveTo(QWidget* target, QPointF at) {
    Send(target, QEvent::MouseMove, at);
}

}  // namespace

class AboutBoxTest : public QObject {
    Q_OBJECT

    QWidget mainWindow;

    // A shown box whose link opener records what it was asked to open, and
    // what state the link was in at that moment.
    struct Box {
        frmAbout box;
        QList<QUrl> opened;
        QList<QWidget*> grabberAtOpen;
        QList<QColor> colourAtOpen;
        explicit Box(QWidget* main) : box(main) {
            box.SetLinkOpener([this](const QUrl& url) {
                opened.append(url);
                grabberAtOpen.append(QWidget::mouseGrabber());
                colourAtOpen.append(LinkColour(box));
            });
            box.show();
        }
    };

private slots:
    void initTestCase() {
        QuietOffscreenNotices();
        mainWindow.resize(601, 460);
        mainWindow.move(40, 30);
        mainWindow.show();
        QVERIFY(QTest::qWaitForWindowExposed(&mainWindow));
    }

    void textsAndPlaces() {
        frmAbout box(&mainWindow);
        QCOMPARE(box.windowTitle(), QStringLiteral("About Tavelorn Tiles"));
        QCOMPARE(box.size(), QSize(329, 329));
        QCOMPARE(box.picIcon->geometry(), QRect(16, 8, 36, 36));
        QCOMPARE(box.lblTitle->geometry(), QRect(72, 8, 163, 32));
        QCOMPARE(box.lblTitle->text(), QStringLiteral("Tavelorn Tiles"));
        QCOMPARE(box.lblTitle->font().pointSize(), 12);
        QCOMPARE(box.lblTitle->font().weight(), QFont::Bold);
        QCOMPARE(box.lblVersion->geometry(), QRect(72, 56, 185, 17));
        QCOMPARE(box.lblVersion->text(), QStringLiteral("Version: 1.4.3"));
        QCOMPARE(box.txtURL->geometry(), QRect(80, 224, 161, 17));
        QCOMPARE(box.txtURL->text(), QStringLiteral(TT_HOME_PAGE));
        QVERIFY(box.txtURL->isReadOnly());
        QVERIFY(box.txtURL->font().underline());
        QCOMPARE(box.txtURL->font().pointSizeF(), 8.25);
        QCOMPARE(LinkColour(box), Blue);
        QCOMPARE(box.cmdCancel->geometry(), QRect(128, 296, 65, 25));
        QCOMPARE(box.cmdCancel->text(), QStringLiteral("OK"));
        QVERIFY(box.cmdCancel->isDefault());
        QVERIFY(!box.OverLink);
    }

    // Outer widths 605 and 333 (the offscreen frame adds 4): half of 272
    // pixels is 136 exactly; heights 464 and 333 differ by 131 pixels, so
    // 982.5 twips floor to 982, which is 65.47 pixels, the nearest being 65.
    void centredWithTheFloorOfTheHalfDifference() {
        frmAbout box(&mainWindow);
        QCOMPARE(box.pos(), QPoint(40 + 136, 30 + 65));
    }

    // Moves: the right and bottom edges count as inside; a second move inside
    // changes nothing; the first move outside, on any side, ends the hover.
    void linkHoverFollowsThePointer_data() {
        QTest::addColumn<QPointF>("inside");
        QTest::addColumn<QPointF>("outside");
        QTest::newRow("right edge, then past it") << QPointF(161, 8) << QPointF(161.5, 8);
        QTest::newRow("bottom edge, then below") << QPointF(80, 17) << QPointF(80, 18);
        QTest::newRow("top-left corner, then left") << QPointF(0, 0) << QPointF(-1, 0);
        QTest::newRow("middle, then above") << QPointF(80, 8) << QPointF(80, -0.5);
    }
    void linkHoverFollowsThePointer() {
        QFETCH(QPointF, inside);
        QFETCH(QPointF, outside);
        Box b(&mainWindow);
        LinkBox* link = b.box.txtURL;
        MoveTo(link, inside);
        QVERIFY(b.box.OverLink);
        QCOMPARE(QWidget::mouseGrabber(), link);
        QCOMPARE(LinkColour(b.box), Red);
        QCOMPARE(link->cursor().shape(), Qt::ArrowCursor);

        MoveTo(link, QPointF(3, 3));
        QVERIFY(b.box.OverLink);
        QCOMPARE(QWidget::mouseGrabber(), link);
        QCOMPARE(LinkColour(b.box), Red);

        MoveTo(link, outside);
        QVERIFY(!b.box.OverLink);
        QCOMPARE(QWidget::mouseGrabber(), nullptr);
        QCOMPARE(LinkColour(b.box), Blue);
        // The pointer shape stays as the hover set it.
        QCOMPARE(link->cursor().shape(), Qt::ArrowCursor);
        QVERIFY(b.opened.isEmpty());
    }

    // A click while hovered: blue again and the capture released before the
    // address is opened; the next move inside hovers again.
    void clickOpensTheAddressAfterReleasing() {
        Box b(&mainWindow);
        LinkBox* link = b.box.txtURL;
        MoveTo(link, QPointF(20, 5));
        QCOMPARE(QWidget::mouseGrabber(), link);
        Send(link, QEvent::MouseButtonPress, QPointF(20, 5), Qt::LeftButton);
        QVERIFY(b.opened.isEmpty());
        Send(link, QEvent::MouseButtonRelease, QPointF(20, 5), Qt::LeftButton);
        QCOMPARE(b.opened, QList<QUrl>{QUrl(QStringLiteral(TT_HOME_PAGE))});
        QCOMPARE(b.grabberAtOpen, QList<QWidget*>{nullptr});
        QCOMPARE(b.colourAtOpen, QList<QColor>{Blue});
        QVERIFY(!b.box.OverLink);
        QVERIFY(b.box.isVisible());

        MoveTo(link, QPointF(21, 5));
        QVERIFY(b.box.OverLink);
        QCOMPARE(QWidget::mouseGrabber(), link);
        QCOMPARE(LinkColour(b.box), Red);
    }

    // A press that started elsewhere and a release outside the link are no click.
    void pressAndReleaseMustBothBeOnTheLink() {
        Box b(&mainWindow);
        LinkBox* link = b.box.txtURL;
        Send(link, QEvent::MouseButtonPress, QPointF(20, 5), Qt::LeftButton);
        Send(link, QEvent::MouseButtonRelease, QPointF(200, 5), Qt::LeftButton);
        Send(link, QEvent::MouseButtonRelease, QPointF(20, 5), Qt::LeftButton);
        QVERIFY(b.opened.isEmpty());
    }

    // A double click is one click and then a double click, as the window
    // system reports it: the address is opened once, not twice.
    void aDoubleClickOpensTheAddressOnce() {
        Box b(&mainWindow);
        LinkBox* link = b.box.txtURL;
        Send(link, QEvent::MouseButtonPress, QPointF(20, 5), Qt::LeftButton);
        Send(link, QEvent::MouseButtonRelease, QPointF(20, 5), Qt::LeftButton);
        Send(link, QEvent::MouseButtonDblClick, QPointF(20, 5), Qt::LeftButton);
        Send(link, QEvent::MouseButtonRelease, QPointF(20, 5), Qt::LeftButton);
        QCOMPARE(b.opened, QList<QUrl>{QUrl(QStringLiteral(TT_HOME_PAGE))});
        // The next single click opens it again.
        Send(link, QEvent::MouseButtonPress, QPointF(20, 5), Qt::LeftButton);
        Send(link, QEvent::MouseButtonRelease, QPointF(20, 5), Qt::LeftButton);
        QCOMPARE(b.opened.size(), 2);
    }

    // Closing by Enter, Esc, "OK" or the close box while hovered releases
    // the capture.
    void closingReleasesTheCapture_data() {
        QTest::addColumn<int>("way");
        QTest::newRow("Enter") << 0;
        QTest::newRow("Esc") << 1;
        QTest::newRow("OK") << 2;
        QTest::newRow("close box") << 3;
    }
    void closingReleasesTheCapture() {
        QFETCH(int, way);
        Box b(&mainWindow);
        QVERIFY(QTest::qWaitForWindowExposed(&b.box));
        MoveTo(b.box.txtURL, QPointF(10, 10));
        QCOMPARE(QWidget::mouseGrabber(), b.box.txtURL);
        switch (way) {
        case 0: QTest::keyClick(&b.box, Qt::Key_Return); break;
        case 1: QTest::keyClick(&b.box, Qt::Key_Escape); break;
        case 2: b.box.cmdCancel->click(); break;
        case 3: b.box.close(); break;
        }
        QVERIFY(b.box.isHidden());
        QCOMPARE(QWidget::mouseGrabber(), nullptr);
        QVERIFY(!b.box.OverLink);
        QVERIFY(b.opened.isEmpty());
    }

    // A box destroyed while hovered lets the pointer go too.
    void destroyingReleasesTheCapture() {
        {
            Box b(&mainWindow);
            MoveTo(b.box.txtURL, QPointF(10, 10));
            QCOMPARE(QWidget::mouseGrabber(), b.box.txtURL);
        }
        QCOMPARE(QWidget::mouseGrabber(), nullptr);
    }

    void everyShowingStartsNotHovered() {
        {
            Box b(&mainWindow);
            MoveTo(b.box.txtURL, QPointF(10, 10));
            b.box.close();
        }
        frmAbout again(&mainWindow);
        QVERIFY(!again.OverLink);
        QCOMPARE(LinkColour(again), Blue);
    }
};

QTEST_MAIN(AboutBoxTest)
#include "AboutBoxTest.moc"
