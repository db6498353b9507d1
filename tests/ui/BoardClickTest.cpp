// Play on the board through real mouse releases: the selection, the sounds,
// removal, the end of a game, and clicks that land while another runs.
#include "MainWindowFixture.h"

class BoardClickTest : public QObject {
    Q_OBJECT
private slots:
    void aPairPlaysDownDown2SlideThenDownAgain_data();
    void aPairPlaysDownDown2SlideThenDownAgain();
    void aMissBeepsClearsTheSelectionAndForgetsTheLastSound();
    void aRunOfHitsWithoutARemovalPlaysDown2();
    void soundOffPlaysNothingButAMissStillBeeps();
    void positionsRoundHalfToEven();
    void aHitOnAShownHintClearsItBeforeSelecting();
    void theBoardIsDisabledThroughTheSlide();
    void theBoardKeepsTheFocusThroughTheSlide_data();
    void theBoardKeepsTheFocusThroughTheSlide();
    void aNewGameInsideTheYieldEndsTheClick();
    void aRemovalInsideTheYieldLeavesNoStaleSelection();
    void aClickInsideTheYieldActsFirst();
    void theGameEndsWithGongAndTheBoxAfterTheLastRemoval();
};

void BoardClickTest::aPairPlaysDownDown2SlideThenDownAgain_data() {
    QTest::addColumn<int>("button");
    QTest::addColumn<int>("keys");
    QTest::newRow("left") << int(Qt::LeftButton) << int(Qt::NoModifier);
    QTest::newRow("right") << int(Qt::RightButton) << int(Qt::NoModifier);
    QTest::newRow("middle") << int(Qt::MiddleButton) << int(Qt::NoModifier);
    QTest::newRow("shift left") << int(Qt::LeftButton) << int(Qt::ShiftModifier);
    QTest::newRow("ctrl right") << int(Qt::RightButton) << int(Qt::ControlModifier);
}

void BoardClickTest::aPairPlaysDownDown2SlideThenDownAgain() {
    QFETCH(int, button);
    QFETCH(int, keys);
    const auto b = Qt::MouseButton(button);
    const auto k = Qt::KeyboardModifiers(keys);
    MainWindowFixture f;
    frmMain& form = f.Open();
    const auto [first, second] = f.MatchingPair();
    QVERIFY(first > 0);
    form.HintIndex = 0;

    f.ReleaseOn(first, b, k);
    QCOMPARE(form.SelectedTile, first);
    f.ReleaseOn(second, b, k);
    QCOMPARE(f.Sound.Heard, QStringList({"down", "down2", "slide"}));
    QCOMPARE(form.SelectedTile, int16_t(-1));
    QCOMPARE(form.HintIndex, int16_t(-1));
    QCOMPARE(form.Engine().TilesLeft, int16_t(142));
    QCOMPARE(form.lblTiles->text(), QString("142"));
    QCOMPARE(form.Engine().UndoTop, int16_t(2));
    QCOMPARE(form.Engine().UndoStack[1], first);  // the selected tile first
    QCOMPARE(form.Engine().Board[form.Engine().Tiles[second].Col][form.Engine().Tiles[second].Row]
                                [form.Engine().Tiles[second].Layer],
             int16_t(-1));

    const auto [next, other] = f.MatchingPair();
    Q_UNUSED(other);
    f.ReleaseOn(next, b, k);
    QCOMPARE(f.Sound.Heard.last(), QString("down"));
    QCOMPARE(form.SelectedTile, next);
}

void BoardClickTest::aMissBeepsClearsTheSelectionAndForgetsTheLastSound() {
    MainWindowFixture f;
    frmMain& form = f.Open();
    const auto [first, second] = f.MatchingPair();
    Q_UNUSED(second);
    f.ReleaseOn(first);
    f.Release(QPoint(3, 3));  // the board's corner holds no tile
    QCOMPARE(f.Sound.Heard, QStringList({"down", "beep"}));
    QCOMPARE(form.SelectedTile, int16_t(-1));
    QCOMPARE(form.LastSound, QString());
    f.ReleaseOn(first);
    QCOMPARE(f.Sound.Heard.last(), QString("down"));
}

void BoardClickTest::aRunOfHitsWithoutARemovalPlaysDown2() {
    MainWindowFixture f;
    frmMain& form = f.Open();
    const auto [a, c] = f.NonMatchingPair();
    QVERIFY(a > 0);
    f.ReleaseOn(a);
    f.ReleaseOn(c);  // no match: c becomes the selection
    QCOMPARE(form.SelectedTile, c);
    f.ReleaseOn(c);  // the selection again: unselected
    QCOMPARE(form.SelectedTile, int16_t(-1));
    f.ReleaseOn(a);
    QCOMPARE(f.Sound.Heard, QStringList({"down", "down2", "down2", "down2"}));
    QCOMPARE(form.Engine().TilesLeft, int16_t(144));
}

void BoardClickTest::soundOffPlaysNothingButAMissStillBeeps() {
    MainWindowFixture f;
    frmMain& form = f.Open();
    const auto [a, b] = f.MatchingPair();
    Q_UNUSED(b);
    f.ReleaseOn(a);  // "down" is the last name asked with sound on
    form.btnNoSound_Click();
    f.ReleaseOn(a);
    QCOMPARE(form.SelectedTile, int16_t(-1));
    QCOMPARE(form.LastSound, QString("down"));
    form.btnSound_Click();
    f.ReleaseOn(a);
    QCOMPARE(f.Sound.Heard, QStringList({"down", "down2"}));
    form.btnNoSound_Click();
    f.Release(QPoint(3, 3));
    QCOMPARE(f.Sound.Heard, QStringList({"down", "down2", "beep"}));
    QCOMPARE(form.LastSound, QString());
}

void BoardClickTest::positionsRoundHalfToEven() {
    MainWindowFixture f;
    frmMain& form = f.Open();
    const int16_t open = form.Engine().OpenTiles[1];
    const TileRec& t = form.Engine().Tiles[open];
    // Just left of the face: x - 0.5 rounds to x (even) or to x - 1 (odd).
    const float x = float(t.X) - 0.5f;
    const bool hits = (t.X % 2) == 0;
    form.picBoard_MouseUp(1, 0, x, float(t.Y) + 20.0f);
    const bool selected = form.SelectedTile == open;
    // Left of an open tile lies either nothing or another tile; the tile
    // itself is hit exactly when the half rounds up onto it.
    if (hits) QVERIFY(selected);
    if (!hits) QVERIFY(!selected);
}

void BoardClickTest::aHitOnAShownHintClearsItBeforeSelecting() {
    MainWindowFixture f;
    frmMain& form = f.Open();
    form.btnHint_Click();
    QVERIFY(form.HintShown);
    f.ReleaseOn(form.MatchTileA[1]);
    QVERIFY(!form.HintShown);
    QCOMPARE(form.SelectedTile, form.MatchTileA[1]);
    QCOMPARE(form.HintIndex, int16_t(1));
    form.btnHint_Click();
    f.Release(QPoint(3, 3));  // a miss repaints the pair away, and the flag goes with it
    QVERIFY(!form.HintShown);
}

void BoardClickTest::theBoardIsDisabledThroughTheSlide() {
    MainWindowFixture f;
    frmMain& form = f.Open();
    const auto [a, b] = f.MatchingPair();
    bool enabledDuringSlide = true;
    f.ReleaseOn(a);
    f.Sound.DuringSound = [&](const QString&) {
        // The "down" of the second tile: arm the check for the slide.
        f.Sound.DuringSound = [&](const QString& name) {
            QCOMPARE(name, QString("slide"));
            enabledDuringSlide = form.picBoard->isEnabled();
        };
    };
    f.ReleaseOn(b);
    QVERIFY(!enabledDuringSlide);
    QVERIFY(form.picBoard->isEnabled());
}

void BoardClickTest::theBoardKeepsTheFocusThroughTheSlide_data() {
    QTest::addColumn<bool>("elsewhere");  // the player puts the focus in the layout list during the slide
    QTest::newRow("kept") << false;
    QTest::newRow("put elsewhere") << true;
}

void BoardClickTest::theBoardKeepsTheFocusThroughTheSlide() {
    QFETCH(bool, elsewhere);
    MainWindowFixture f;
    frmMain& form = f.Open();
    const auto [a, b] = f.MatchingPair();
    QTest::mouseClick(form.picBoard, Qt::LeftButton, {}, f.Centre(a));
    QCOMPARE(form.focusWidget(), form.picBoard);
    f.Sound.DuringSound = [&](const QString&) {
        f.Sound.DuringSound = [&](const QString&) {
            if (elsewhere) form.cmbPattern->setFocus();
        };
    };
    f.ReleaseOn(b);
    QCOMPARE(form.Engine().TilesLeft, int16_t(142));
    QCOMPARE(form.focusWidget(), elsewhere ? static_cast<QWidget*>(form.cmbPattern) : form.picBoard);
}

void BoardClickTest::aNewGameInsideTheYieldEndsTheClick() {
    // The click's tile is fixed before its sound; a new game dealt while the
    // sound yields leaves it naming a tile of another game. The click must
    // neither remove a pair nor select a tile that is not open then.
    for (uint64_t seed = 1; seed <= 12; ++seed) {
        MainWindowFixture f;
        f.Random = CountingRandom(seed);
        frmMain& form = f.Open();
        const auto [a, b] = f.MatchingPair();
        f.ReleaseOn(a);
        f.Sound.DuringSound = [&](const QString&) { form.btnNew_Click(); };
        f.ReleaseOn(b);
        QCOMPARE(form.Engine().TilesLeft, int16_t(144));
        QCOMPARE(form.Engine().UndoTop, int16_t(0));
        QVERIFY(form.SelectedTile == -1 || form.SelectedTile == b);
        if (form.SelectedTile == b) {
            bool open = false;
            for (int k = 1; k <= form.Engine().OpenCount; ++k) open = open || form.Engine().OpenTiles[k] == b;
            QVERIFY(open);
        }
    }
}

void BoardClickTest::aRemovalInsideTheYieldLeavesNoStaleSelection() {
    MainWindowFixture f;
    frmMain& form = f.Open();
    const auto [a, b] = f.MatchingPair();
    f.ReleaseOn(a);
    // A second release on b lands while the first one's sound yields: it
    // removes the pair. The outer release then finds b gone.
    f.Sound.DuringSound = [&](const QString&) { f.ReleaseOn(b); };
    f.ReleaseOn(b);
    QCOMPARE(form.Engine().TilesLeft, int16_t(142));
    QCOMPARE(form.SelectedTile, int16_t(-1));
    QCOMPARE(f.Sound.Heard, QStringList({"down", "down2", "down2", "slide"}));
    // And nothing stale is removed by the next click.
    const auto [c, d] = f.MatchingPair();
    f.ReleaseOn(c);
    f.ReleaseOn(d);
    QCOMPARE(form.Engine().TilesLeft, int16_t(140));
}

void BoardClickTest::aClickInsideTheYieldActsFirst() {
    MainWindowFixture f;
    frmMain& form = f.Open();
    const auto [a, b] = f.MatchingPair();
    f.ReleaseOn(a);
    // While b's sound yields, a release on a unselects a; b then becomes the
    // selection instead of completing the pair.
    f.Sound.DuringSound = [&](const QString&) { f.ReleaseOn(a); };
    f.ReleaseOn(b);
    QCOMPARE(form.SelectedTile, b);
    QCOMPARE(form.Engine().TilesLeft, int16_t(144));
}

void BoardClickTest::theGameEndsWithGongAndTheBoxAfterTheLastRemoval() {
    // Greedy play ends some games with the board cleared and others blocked;
    // both end the same way.
    bool cleared = false, blocked = false;
    for (uint64_t seed = 1; seed <= 40 && !(cleared && blocked); ++seed) {
        MainWindowFixture f;
        f.Random = CountingRandom(seed);
        frmMain& form = f.Open();
        if (seed % 2 == 0) {
            form.chkEasy->setChecked(false);
            form.btnNew_Click();
        }
        ModalCloser closer;
        int removals = 0;
        while (closer.Seen.isEmpty() && removals < 72) {
            const auto [a, b] = f.MatchingPair();
            QVERIFY(a > 0);  // a game with no pair left has shown its box
            QVERIFY(form.Timer1.isActive());
            f.Sound.Heard.clear();
            f.ReleaseOn(a);
            f.ReleaseOn(b);
            ++removals;
        }
        QCOMPARE(closer.Seen, QStringList({"frmGameOver"}));
        QCOMPARE(f.Sound.Heard, QStringList({"down", "down2", "slide", "gong"}));
        QVERIFY(!form.Timer1.isActive());
        QCOMPARE(form.Engine().TilesLeft, int16_t(144 - 2 * removals));
        QVERIFY(form.Engine().TilesLeft == 0 || form.Engine().MatchesLeft == 0);
        (form.Engine().TilesLeft == 0 ? cleared : blocked) = true;
        // Closing the box reactivated the window; the board stays as it was.
        QCOMPARE(form.SelectedTile, int16_t(-1));
    }
    QVERIFY(cleared);
    QVERIFY(blocked);
}

QTEST_MAIN(BoardClickTest)
#include "BoardClickTest.moc"
