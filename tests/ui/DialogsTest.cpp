// The help and end-of-game boxes, and the centring in twips that every box
// of the game uses.
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QWindow>
#include <QtTest>
#include <functional>

#include "DialogPlacement.h"
#include "DialogTestKit.h"
#include "frmAbout.h"
#include "frmGameOver.h"
#include "frmHelp.h"

class DialogsTest : public QObject {
    Q_OBJECT

    QWidget mainWindow;

private slots:
    void initTestCase() {
        // move() places the outer rectangle; the offscreen platform draws a
        // frame of its own, the same around every window.
        mainWindow.resize(601, 460);
        mainWindow.move(101, 57);
        mainWindow.show();
        QVERIFY(QTest::qWaitForWindowExposed(&mainWindow));
    }

    // Edges in half twips: the floor of the half difference, or the half
    // difference kept whole; odd, even, positive and negative differences.
    void centredEdgeInHalfTwips_data() {
        QTest::addColumn<int>("mainEdge");
        QTest::addColumn<int>("mainSize");
        QTest::addColumn<int>("boxSize");
        QTest::addColumn<int>("floored");
        QTest::addColumn<int>("keptHalf");
        QTest::newRow("even, smaller box") << 1500 << 9000 << 4680 << 2 * (1500 + 2160) << 2 * (1500 + 2160);
        QTest::newRow("odd, smaller box") << 1500 << 9001 << 4680 << 2 * (1500 + 2160) << 2 * 1500 + 4321;
        QTest::newRow("odd, larger box") << 3000 << 3934 << 4935 << 2 * (3000 - 501) << 2 * 3000 - 1001;
        QTest::newRow("even, larger box") << 3000 << 3935 << 4935 << 2 * (3000 - 500) << 2 * (3000 - 500);
        QTest::newRow("one twip larger") << 0 << 100 << 101 << -2 << -1;
        QTest::newRow("negative edge") << -450 << 4681 << 4680 << -900 << -899;
    }
    void centredEdgeInHalfTwips() {
        QFETCH(int, mainEdge);
        QFETCH(int, mainSize);
        QFETCH(int, boxSize);
        QFETCH(int, floored);
        QFETCH(int, keptHalf);
        QCOMPARE(CentredEdgeHalfTwips(mainEdge, mainSize, boxSize, Halving::Floor), floored);
        QCOMPARE(CentredEdgeHalfTwips(mainEdge, mainSize, boxSize, Halving::KeepHalf), keptHalf);
    }

    // A main window 1001 twips narrower than the box: the box's left edge
    // lies 501 twips left of the main window's.
    void boxWiderByAnOddAmountFloorsLeft() {
        QCOMPARE(CentredEdgeHalfTwips(6000, 4935 - 1001, 4935, Halving::Floor) / 2, 6000 - 501);
    }

    // Nearest pixel, an exact half pixel (7.5 twips) going up.
    void halfTwipsToNearestPixel_data() {
        QTest::addColumn<int>("halfTwips");
        QTest::addColumn<int>("pixel");
        QTest::newRow("0") << 0 << 0;
        QTest::newRow("7 twips") << 14 << 0;
        QTest::newRow("7.5 twips") << 15 << 1;
        QTest::newRow("15 twips") << 30 << 1;
        QTest::newRow("22 twips") << 44 << 1;
        QTest::newRow("22.5 twips") << 45 << 2;
        QTest::newRow("-7 twips") << -14 << 0;
        QTest::newRow("-7.5 twips") << -15 << 0;
        QTest::newRow("-8 twips") << -16 << -1;
        QTest::newRow("-22.5 twips") << -45 << -1;
        QTest::newRow("-23 twips") << -46 << -2;
    }
    void halfTwipsToNearestPixel() {
        QFETCH(int, halfTwips);
        QFETCH(int, pixel);
        QCOMPARE(HalfTwipsToPixel(halfTwips), pixel);
    }

    // The main window's outer width exceeds each box's by 289 pixels, an odd
    // number: the exact centre is 101 + 144.5. The end-of-game box floors
    // the half twip and lands at 244, the help box keeps it and lands at 245.
    // Heights: 460 - 168 = 292 (even) and 460 - 322 = 138 (even).
    void boxesCentreOverTheMainWindow() {
        QCOMPARE(mainWindow.frameGeometry().topLeft(), QPoint(101, 57));
        frmGameOver over(&mainWindow);
        QCOMPARE(over.pos(), QPoint(101 + 144, 57 + 146));
        frmHelp help(&mainWindow);
        QCOMPARE(help.pos(), QPoint(101 + 145, 57 + 69));
    }

    // Every opening centres anew over where the main window is now.
    void boxesFollowTheMovedMainWindow() {
        mainWindow.resize(700, 501);
        mainWindow.move(300, 200);
        QTRY_COMPARE(mainWindow.frameGeometry().topLeft(), QPoint(300, 200));
        frmGameOver over(&mainWindow);
        QCOMPARE(over.pos(), QPoint(300 + 194, 200 + 166));  // (700-312)/2, floor(333/2)
        frmHelp help(&mainWindow);
        QCOMPARE(help.pos(), QPoint(300 + 194, 200 + 90));  // (501-322)/2 = 89.5, up to 90
        mainWindow.resize(601, 460);
        mainWindow.move(101, 57);
    }

    void helpTextIsExact() {
        QCOMPARE(HelpText.size(), 603);
        const QStringList paragraphs = HelpText.split(QStringLiteral("\r\n\r\n"));
        QCOMPARE(paragraphs.size(), 3);
        QVERIFY(paragraphs[0].startsWith(QStringLiteral("Tavelorn Tiles is the solitaire version of MahJongg. There are 144 tiles")));
        QVERIFY(paragraphs[0].endsWith(QStringLiteral("clear the board. ")));
        QCOMPARE(paragraphs[1], QStringLiteral(
            "Tiles can only be removed if they are open. A tile is deemed to be open if there is no tile on top "
            "of it, and no tile touching it, either to the left, or to the right."));
        QCOMPARE(paragraphs[2], QStringLiteral(
            "When using the MahJongg or Scanned TileSets, any flower tile matches any flower tile of the same "
            "set. Other than this exception, matching tiles are identical."));
        QVERIFY(!HelpText.endsWith(QLatin1Char('\n')));
    }

    void helpBoxLayout() {
        frmHelp help(&mainWindow);
        QCOMPARE(help.windowTitle(), QStringLiteral("How to Play"));
        QCOMPARE(help.size(), QSize(312, 322));
        QCOMPARE(help.btnOK->geometry(), QRect(112, 288, 89, 25));
        QCOMPARE(help.btnOK->text(), QStringLiteral("OK"));
        QVERIFY(help.btnOK->isDefault());
        QCOMPARE(help.Text1->geometry(), QRect(8, 8, 289, 273));
        QVERIFY(!help.Text1->isReadOnly());
        QCOMPARE(help.Text1->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        QCOMPARE(help.Text1->toPlainText(), QString(HelpText).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
        QCOMPARE(help.Text1->font().pointSizeF(), 8.25);
        help.show();
        QVERIFY(QTest::qWaitForWindowExposed(&help));
        QCOMPARE(QApplication::focusWidget(), help.btnOK);
        // The whole text fits: there is nothing to scroll to.
        QCOMPARE(help.Text1->verticalScrollBar()->maximum(), 0);
        QCOMPARE(help.btnOK->nextInFocusChain(), static_cast<QWidget*>(help.Text1));
    }

    // Every text of the boxes in their regular font, but the two titles.
    void textsInTheRegularFontButTheTitles() {
        QCOMPARE(TextsOutOfTheRegularFont(frmHelp(&mainWindow)), QStringList());
        QCOMPARE(TextsOutOfTheRegularFont(frmGameOver(&mainWindow)), QStringList{"GAME OVER 24 700"});
        QCOMPARE(TextsOutOfTheRegularFont(frmAbout(&mainWindow)), QStringList{"Tavelorn Tiles 12 700"});
    }

    void gameOverBoxLayout() {
        frmGameOver over(&mainWindow);
        // No title text. The window system puts the program's name on a
        // window whose title is empty, so the box must hand it a blank one.
        over.winId();
        QVERIFY(!over.windowHandle()->title().isEmpty());
        QCOMPARE(over.windowHandle()->title().trimmed(), QString());
        QCOMPARE(over.size(), QSize(312, 168));
        QCOMPARE(over.Command1->geometry(), QRect(120, 136, 73, 25));
        QCOMPARE(over.Command1->text(), QStringLiteral("OK"));
        QVERIFY(over.Command1->isDefault());
        QCOMPARE(over.lblWhoWon->geometry(), QRect(16, 48, 281, 41));
        QCOMPARE(over.lblWhoWon->text(), QStringLiteral("GAME OVER"));
        QVERIFY(over.lblWhoWon->alignment() & Qt::AlignHCenter);
        QCOMPARE(over.lblWhoWon->font().pointSize(), 24);
        QCOMPARE(over.lblWhoWon->font().weight(), QFont::Bold);
        QVERIFY(!over.lblWhoWon->font().italic() && !over.lblWhoWon->font().underline());
        QCOMPARE(over.Label2->geometry(), QRect(8, 8, 297, 121));
        QCOMPARE(over.Label2->text(), QString());

        // The panel is teal with a one-pixel black border, the text in the
        // highlighted-text colour lies in front of it.
        over.show();
        QVERIFY(QTest::qWaitForWindowExposed(&over));
        const QImage shot = over.grab().toImage();
        QCOMPARE(QColor(shot.pixel(8, 8)), QColor(Qt::black));
        QCOMPARE(QColor(shot.pixel(304, 128)), QColor(Qt::black));
        QCOMPARE(QColor(shot.pixel(12, 12)), QColor(0, 128, 128));
        QCOMPARE(QColor(shot.pixel(300, 124)), QColor(0, 128, 128));
        const QColor text = over.palette().color(QPalette::HighlightedText);
        int textPixels = 0;
        for (int y = 48; y < 89; ++y)
            for (int x = 16; x < 297; ++x) textPixels += QColor(shot.pixel(x, y)) == text;
        QVERIFY2(textPixels > 200, qPrintable(QString::number(textPixels)));
        QCOMPARE(over.focusWidget(), over.Command1);
    }

    // Enter, Esc, the button and the close box each end the modal showing.
    void boxesCloseEveryWay_data() {
        QTest::addColumn<bool>("help");
        QTest::addColumn<int>("way");
        for (int way = 0; way < 4; ++way) {
            QTest::addRow("help, way %d", way) << true << way;
            QTest::addRow("game over, way %d", way) << false << way;
        }
    }
    void boxesCloseEveryWay() {
        QFETCH(bool, help);
        QFETCH(int, way);
        std::unique_ptr<QDialog> box;
        QPushButton* button = nullptr;
        if (help) {
            auto* h = new frmHelp(&mainWindow);
            button = h->btnOK;
            box.reset(h);
        } else {
            auto* g = new frmGameOver(&mainWindow);
            button = g->Command1;
            box.reset(g);
        }
        int clicks = 0;
        connect(button, &QPushButton::clicked, [&clicks] { ++clicks; });
        bool wasModal = false;
        const ModalWait closing = WhenModal<QWidget>([&](QWidget* modal) {
            wasModal = modal == box.get();
            switch (way) {
            case 0: QTest::keyClick(modal, Qt::Key_Return); break;
            case 1: QTest::keyClick(modal, Qt::Key_Escape); break;
            case 2: QTest::mouseClick(button, Qt::LeftButton); break;
            case 3: modal->close(); break;
            }
        });
        box->exec();
        QVERIFY(wasModal);
        QVERIFY2(box->isHidden(), "the box did not close");
        // Enter and a click press the button; Esc and the close box do the
        // button's work without a click.
        QCOMPARE(clicks, way == 0 || way == 2 ? 1 : 0);
    }

    // Enter closes the help box also while the text has the focus, as with
    // a default button; Ctrl+Enter breaks the line there instead.
    void enterInTheHelpTextPressesOk() {
        frmHelp help(&mainWindow);
        int clicks = 0;
        connect(help.btnOK, &QPushButton::clicked, [&clicks] { ++clicks; });
        const ModalWait typing = WhenModal<frmHelp>([&](frmHelp* box) {
            box->Text1->setFocus();
            box->Text1->moveCursor(QTextCursor::End);
            QTest::keyClick(box->Text1, Qt::Key_Return, Qt::ControlModifier);
            QVERIFY(box->isVisible());
            QTest::keyClick(box->Text1, Qt::Key_Return);
        });
        QCOMPARE(help.exec(), int(QDialog::Accepted));
        QCOMPARE(clicks, 1);
        QCOMPARE(help.Text1->toPlainText(),
                 QString(HelpText).replace(QStringLiteral("\r\n"), QStringLiteral("\n")) + QLatin1Char('\n'));
    }

    // Tab leaves the text for the button, as in any box with several
    // controls; the text gains no tab character.
    void tabInTheHelpTextMovesTheFocus() {
        frmHelp help(&mainWindow);
        help.show();
        QVERIFY(QTest::qWaitForWindowActive(&help));
        help.Text1->setFocus();
        QTest::keyClick(help.Text1, Qt::Key_Tab);
        QVERIFY(help.btnOK->hasFocus());
        QVERIFY(!help.Text1->toPlainText().contains(QLatin1Char('\t')));
    }

    // The box is built for each showing: what the player typed is gone.
    void typedHelpTextGoneAtNextOpening() {
        {
            frmHelp first(&mainWindow);
            first.show();
            first.Text1->setFocus();
            first.Text1->moveCursor(QTextCursor::End);
            QTest::keyClicks(first.Text1, QStringLiteral(" scribble"));
            QVERIFY(first.Text1->toPlainText().endsWith(QStringLiteral("scribble")));
            QTest::keyClick(&first, Qt::Key_Escape);
        }
        frmHelp second(&mainWindow);
        QCOMPARE(second.Text1->toPlainText(), QString(HelpText).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    }
};

QTEST_MAIN(DialogsTest)
#include "DialogsTest.moc"
