// The game controls: undo, the hint, the clock, the sound buttons and the
// tile-set list.
#include "MainWindowFixture.h"

class GameControlsTest : public QObject {
    Q_OBJECT
private slots:
    void undoBeepsWithNothingToUndoAndPutsBackOnePairAtATime();
    void undoAfterTheEndReopensPlayWithTheClockStopped();
    void hintsWalkThePairsInOpenTileOrderAndChargeAMinuteEach();
    void aSinglePairIsShownAgainAndAgain();
    void aHintWithNoPairChangesNothing();
    void theHintWalkSurvivesAResizeAndATileSetChange();
    void theClockShowsElapsedTimeWithHintsAndAcrossMidnight_data();
    void theClockShowsElapsedTimeWithHintsAndAcrossMidnight();
    void soundButtonsSwapWhichIsEnabled();
    void aTileSetPickPointsAtItsSheetAndAnUnknownNameKeepsIt();
};

namespace {
// Plays matching pairs until the end-of-game box has shown.
void PlayToTheEnd(MainWindowFixture& f) {
    ModalCloser closer;
    for (int turn = 0; turn < 72 && closer.Seen.isEmpty(); ++turn) {
        const auto [a, b] = f.MatchingPair();
        QVERIFY(a > 0);
        f.ReleaseOn(a);
        f.ReleaseOn(b);
    }
    QCOMPARE(closer.Seen, QStringList({"frmGameOver"}));
}

// Makes the open tiles exactly `open`, with the given faces.
void SetOpenTiles(modTile& engine, const QList<std::pair<int16_t, uint8_t>>& open) {
    engine.OpenCount = 0;
    for (const auto& [tile, face] : open) {
        engine.Tiles[tile].Face = face;
        engine.OpenTiles[++engine.OpenCount] = tile;
    }
    engine.OpenTiles[engine.OpenCount + 1] = -1;
    engine.MatchesLeft = 0;
    for (int i = 1; i <= engine.OpenCount; ++i)
        for (int j = i + 1; j <= engine.OpenCount; ++j)
            engine.MatchesLeft += engine.TilesMatch(engine.OpenTiles[i], engine.OpenTiles[j]) ? 1 : 0;
}
}  // namespace

void GameControlsTest::undoBeepsWithNothingToUndoAndPutsBackOnePairAtATime() {
    MainWindowFixture f;
    frmMain& form = f.Open();
    form.btnBack_Click();
    QCOMPARE(f.Sound.Heard, QStringList({"beep"}));
    QCOMPARE(form.Engine().TilesLeft, int16_t(144));

    const auto [a, b] = f.MatchingPair();
    f.ReleaseOn(a);
    f.ReleaseOn(b);
    const auto [c, d] = f.MatchingPair();
    Q_UNUSED(d);
    f.ReleaseOn(c);
    form.btnHint_Click();
    f.Sound.Heard.clear();
    form.btnBack_Click();
    QCOMPARE(form.Engine().TilesLeft, int16_t(144));
    QCOMPARE(form.SelectedTile, int16_t(-1));
    QCOMPARE(form.HintIndex, int16_t(-1));
    QVERIFY(f.Sound.Heard.isEmpty());
    form.btnBack_Click();
    QCOMPARE(f.Sound.Heard, QStringList({"beep"}));

    // A hint after the undo starts at pair 1 of a list built now.
    form.btnHint_Click();
    QCOMPARE(form.HintIndex, int16_t(1));
    QCOMPARE(form.MatchListCount, form.Engine().MatchesLeft);
}

void GameControlsTest::undoAfterTheEndReopensPlayWithTheClockStopped() {
    MainWindowFixture f;
    frmMain& form = f.Open();
    PlayToTheEnd(f);
    if (QTest::currentTestFailed()) return;
    QVERIFY(!form.Timer1.isActive());
    const int16_t left = form.Engine().TilesLeft;
    const int64_t start = form.Engine().StartTime;
    form.btnBack_Click();
    QCOMPARE(form.Engine().TilesLeft, int16_t(left + 2));
    QVERIFY(form.Engine().MatchesLeft > 0);
    QVERIFY(!form.Timer1.isActive());
    QCOMPARE(form.Engine().StartTime, start);
    form.btnHint_Click();
    QCOMPARE(form.HintIndex, int16_t(1));
    QCOMPARE(form.Engine().StartTime, start - 60);
    QVERIFY(!form.Timer1.isActive());
}

void GameControlsTest::hintsWalkThePairsInOpenTileOrderAndChargeAMinuteEach() {
    MainWindowFixture f;
    frmMain& form = f.Open();
    modTile& engine = form.Engine();
    SetOpenTiles(engine, {{3, 5}, {7, 31}, {12, 5}, {20, 31}});
    const int64_t start = engine.StartTime;
    QList<std::pair<int16_t, int16_t>> shown;
    for (int press = 0; press < 5; ++press) {
        form.btnHint_Click();
        shown << std::pair{form.MatchTileA[form.HintIndex], form.MatchTileB[form.HintIndex]};
    }
    using P = std::pair<int16_t, int16_t>;
    QCOMPARE(shown, (QList<P>{P{3, 12}, P{7, 20}, P{3, 12}, P{7, 20}, P{3, 12}}));
    QCOMPARE(form.MatchListCount, int16_t(2));
    QCOMPARE(engine.StartTime, start - 5 * 60);
    QVERIFY(form.HintShown);
    QCOMPARE(form.SelectedTile, int16_t(-1));
}

void GameControlsTest::aSinglePairIsShownAgainAndAgain() {
    MainWindowFixture f;
    frmMain& form = f.Open();
    modTile& engine = form.Engine();
    // Flowers match each other whatever their faces.
    SetOpenTiles(engine, {{2, 27}, {9, 1}, {40, 30}});
    const int64_t start = engine.StartTime;
    for (int press = 1; press <= 3; ++press) {
        form.btnHint_Click();
        QCOMPARE(form.HintIndex, int16_t(1));
        QCOMPARE(form.MatchTileA[1], int16_t(2));
        QCOMPARE(form.MatchTileB[1], int16_t(40));
        QCOMPARE(engine.StartTime, start - press * 60);
    }
}

void GameControlsTest::aHintWithNoPairChangesNothing() {
    MainWindowFixture f;
    frmMain& form = f.Open();
    modTile& engine = form.Engine();
    SetOpenTiles(engine, {{2, 1}, {9, 2}, {40, 3}});
    form.SelectedTile = 9;
    const int64_t start = engine.StartTime;
    form.btnHint_Click();
    QCOMPARE(form.SelectedTile, int16_t(9));
    QVERIFY(!form.HintShown);
    QCOMPARE(engine.StartTime, start);
    QCOMPARE(form.MatchListCount, int16_t(0));
    QVERIFY(f.Sound.Heard.isEmpty());
}

void GameControlsTest::theHintWalkSurvivesAResizeAndATileSetChange() {
    MainWindowFixture f;
    frmMain& form = f.Open();
    QVERIFY(form.Engine().MatchesLeft >= 3);
    form.btnHint_Click();
    form.resize(700, 500);
    QTRY_COMPARE(form.size(), QSize(700, 500));
    form.btnHint_Click();
    QCOMPARE(form.HintIndex, int16_t(2));
    form.cmbTileSet->SetText("Cards");
    form.cmbTileSet_click();
    form.btnHint_Click();
    QCOMPARE(form.HintIndex, int16_t(3));
    form.btnNew_Click();
    form.btnHint_Click();
    QCOMPARE(form.HintIndex, int16_t(1));
}

void GameControlsTest::theClockShowsElapsedTimeWithHintsAndAcrossMidnight_data() {
    QTest::addColumn<qint64>("elapsed");
    QTest::addColumn<int>("hints");
    QTest::addColumn<QString>("text");
    QTest::newRow("at the start") << qint64(0) << 0 << "00:00:00";
    QTest::newRow("a second") << qint64(1) << 0 << "00:00:01";
    QTest::newRow("an hour and more") << qint64(3723) << 0 << "01:02:03";
    QTest::newRow("two hints") << qint64(5) << 2 << "00:02:05";
    QTest::newRow("just short of a day") << qint64(86399) << 0 << "23:59:59";
    QTest::newRow("whole days left out") << qint64(86400 + 61) << 0 << "00:01:01";
}

void GameControlsTest::theClockShowsElapsedTimeWithHintsAndAcrossMidnight() {
    QFETCH(qint64, elapsed);
    QFETCH(int, hints);
    QFETCH(QString, text);
    MainWindowFixture f;
    frmMain& form = f.Open();
    for (int i = 0; i < hints; ++i) form.btnHint_Click();
    f.TimeOfDay.Seconds += elapsed;
    form.Timer1_Timer();
    QCOMPARE(form.lblTime->text(), text);

    // A game begun a little before midnight shows its true time after it.
    MainWindowFixture late;
    late.TimeOfDay.Seconds = 20000 * 86400 + 86400 - 30;  // 23:59:30
    frmMain& night = late.Open();
    late.TimeOfDay.Seconds += 45;  // 00:00:15 of the next day
    night.Timer1_Timer();
    QCOMPARE(night.lblTime->text(), QString("00:00:45"));
}

void GameControlsTest::soundButtonsSwapWhichIsEnabled() {
    MainWindowFixture f;
    frmMain& form = f.Open();
    form.btnNoSound_Click();
    QVERIFY(!form.Engine().SoundOn);
    QVERIFY(form.btnSound->isEnabled());
    QVERIFY(!form.btnNoSound->isEnabled());
    form.btnSound_Click();
    QVERIFY(form.Engine().SoundOn);
    QVERIFY(!form.btnSound->isEnabled());
    QVERIFY(form.btnNoSound->isEnabled());
}

void GameControlsTest::aTileSetPickPointsAtItsSheetAndAnUnknownNameKeepsIt() {
    MainWindowFixture f;
    frmMain& form = f.Open();
    const std::pair<const char*, Surface*> sets[] = {{"MahJongg", &form.TileSet}, {"Cards", &form.TileSet2},
                                                     {"Animals", &form.TileSet3}, {"Icons", &form.TileSet4},
                                                     {"Scanned Tiles", &form.TileSet0}};
    for (const auto& [name, sheet] : sets) {
        form.cmbTileSet->SetText(name);
        form.cmbTileSet_click();
        QVERIFY(form.Engine().TileSetDC == sheet);
        // Down steps on from the name shown, the first in the list included.
        const int at = form.cmbTileSet->findText(name);
        QTest::keyClick(form.cmbTileSet, Qt::Key_Down);
        QCOMPARE(form.cmbTileSet->Text(), form.cmbTileSet->itemText(qMin(at + 1, form.cmbTileSet->count() - 1)));
    }
    form.cmbTileSet->SetText("Cards");
    form.cmbTileSet_click();
    form.SelectedTile = form.Engine().OpenTiles[1];
    for (const char* unknown : {"cards", "Playing Cards", ""}) {
        form.cmbTileSet->SetText(unknown);
        form.cmbTileSet_click();
        QVERIFY(form.Engine().TileSetDC == &form.TileSet2);
    }
    QCOMPARE(form.SelectedTile, form.Engine().OpenTiles[1]);  // the selection stays
    // Not yet activated: nothing.
    form.Activated = false;
    form.cmbTileSet->SetText("Icons");
    form.cmbTileSet_click();
    QVERIFY(form.Engine().TileSetDC == &form.TileSet2);
}

QTEST_MAIN(GameControlsTest)
#include "GameControlsTest.moc"
