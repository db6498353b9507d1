// The main window at start-up, and its resizing.
#include <QWheelEvent>

#include "MainWindowFixture.h"
#include "WindowBound.h"

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void startsWithTheListsTheDefaultsAndADealtBoard();
    void startsWithTheStoredLayoutAndTileSet();
    void placesEveryControlAtTheOpeningSize();
    void clampsTheBoardAndStatusLineAtSmallSizes_data();
    void clampsTheBoardAndStatusLineAtSmallSizes();
    void resizeClearsTheSelectionAndKeepsTheHintList();
    void theWindowsBoundFollowsTheScreens_data();
    void theWindowsBoundFollowsTheScreens();
    void aLayoutPickIsAChoiceButTypingIsNot();
    void theArrowKeysStepThroughTheLayoutsEachAChoice();
    void aWheelOverAListWithoutFocusIsNoChoice();
    void closingAnyBoxReactivatesTheWindow();
    void closingSavesTheSettingsAndIsNeverRefused();
};

void MainWindowTest::startsWithTheListsTheDefaultsAndADealtBoard() {
    MainWindowFixture f;
    frmMain& form = f.Open();
    QStringList layouts, sets;
    for (int i = 0; i < form.cmbPattern->count(); ++i) layouts << form.cmbPattern->itemText(i);
    for (int i = 0; i < form.cmbTileSet->count(); ++i) sets << form.cmbTileSet->itemText(i);
    QCOMPARE(layouts, QStringList({"Classic", "Mountain", "Great Wall", "Block", "Shuriken", "Dam", "Random", "Tree",
                                   "Pyramid", "Key", "Tavelorn"}));
    QCOMPARE(sets, QStringList({"MahJongg", "Scanned Tiles", "Cards", "Animals", "Icons"}));
    QCOMPARE(form.cmbPattern->Text(), QString("Classic"));
    QCOMPARE(form.cmbTileSet->Text(), QString("Scanned Tiles"));
    QVERIFY(form.Engine().TileSetDC == &form.TileSet0);
    QVERIFY(form.chkEasy->isChecked());
    QVERIFY(form.Engine().SoundOn);
    QVERIFY(!form.btnSound->isEnabled());
    QVERIFY(form.btnNoSound->isEnabled());
    QCOMPARE(form.Engine().TilesLeft, int16_t(144));
    QCOMPARE(form.Engine().UndoTop, int16_t(0));
    QVERIFY(form.Engine().OpenCount > 0);
    QCOMPARE(form.lblTiles->text(), QString("144"));
    QCOMPARE(form.lblMatch->text(), QString::number(form.Engine().MatchesLeft));
    QVERIFY(form.Timer1.isActive());
    QCOMPARE(form.Timer1.interval(), 1000);
    QCOMPARE(form.SelectedTile, int16_t(-1));
    QCOMPARE(form.HintIndex, int16_t(-1));
    QVERIFY(form.Activated);
    QVERIFY(form.isEnabled());
    QCOMPARE(form.windowTitle(), QString("Tavelorn Tiles"));
    // One reseed for the layout and one per shuffle of the deal.
    QVERIFY(f.Random.Reseeds() >= 2);
    QVERIFY(f.Sound.Heard.isEmpty());
}

void MainWindowTest::startsWithTheStoredLayoutAndTileSet() {
    MainWindowFixture f;
    f.Store("Pattern", "Pyramid");
    f.Store("TileSet", "Cards");
    frmMain& form = f.Open();
    QCOMPARE(form.cmbPattern->Text(), QString("Pyramid"));
    QCOMPARE(form.cmbTileSet->Text(), QString("Cards"));
    QVERIFY(form.Engine().TileSetDC == &form.TileSet2);
    QCOMPARE(form.Engine().TilesLeft, int16_t(144));
}

void MainWindowTest::placesEveryControlAtTheOpeningSize() {
    MainWindowFixture f;
    frmMain& form = f.Open();
    QCOMPARE(form.size(), QSize(601, 460));
    struct Place {
        QWidget* control;
        QRect at;
    };
    const Place places[] = {
        {form.Label8, {8, 8, 113, 33}},       {form.btnNew, {16, 12, 25, 25}},
        {form.btnHint, {52, 12, 25, 25}},     {form.btnBack, {88, 12, 25, 25}},
        {form.Label5, {136, 6, 81, 17}},      {form.cmbPattern, {136, 22, 89, 21}},
        {form.Label6, {240, 6, 57, 17}},      {form.chkEasy, {240, 22, 49, 17}},
        {form.Label7, {304, 6, 65, 17}},      {form.cmbTileSet, {304, 22, 97, 21}},
        {form.Label9, {416, 8, 41, 33}},      {form.btnBackground, {424, 12, 25, 25}},
        {form.Label10, {468, 8, 77, 33}},     {form.btnSound, {476, 12, 25, 25}},
        {form.btnNoSound, {512, 12, 25, 25}}, {form.Label11, {556, 8, 41, 33}},
        {form.Command1, {564, 12, 25, 25}},   {form.picBoard, {8, 48, 586, 381}},
        {form.Label4, {0, 432, 505, 25}},     {form.Label1, {16, 438, 25, 17}},
        {form.lblTiles, {48, 438, 33, 17}},   {form.Label2, {112, 438, 49, 17}},
        {form.lblMatch, {160, 438, 33, 17}},  {form.Label3, {240, 438, 33, 17}},
        {form.lblTime, {272, 438, 49, 17}},   {form.btnAbout, {521, 432, 73, 25}},
    };
    for (const Place& p : places) QCOMPARE(p.control->geometry(), p.at);
    QCOMPARE(form.picBoard->ScaleWidth(), 582);
    QCOMPARE(form.picBoard->ScaleHeight(), 377);
    QCOMPARE(form.BoardPicture().ScaleWidth(), 582);

    const std::pair<QWidget*, const char*> tips[] = {
        {form.btnNew, "New Game"},           {form.btnHint, "Hint"},
        {form.btnBack, "Undo"},              {form.btnBackground, "Background Colour / Image"},
        {form.btnSound, "Sound Fx On"},      {form.btnNoSound, "Sound Fx Off"},
        {form.Command1, "How to Play"},
    };
    for (const auto& [control, tip] : tips) QCOMPARE(control->toolTip(), QString(tip));
    QCOMPARE(form.Label5->text(), QString("Tile Layout:"));
    QCOMPARE(form.Label6->text(), QString("Play Mode:"));
    QCOMPARE(form.Label7->text(), QString("Tile Set:"));
    QCOMPARE(form.chkEasy->text(), QString("Easy"));
    QCOMPARE(form.Label1->text(), QString("Tiles:"));
    QCOMPARE(form.Label2->text(), QString("Matches:"));
    QCOMPARE(form.Label3->text(), QString("Time:"));
    QCOMPARE(form.btnAbout->text(), QString("About"));

    // The layout is centred on the drawing area (the Classic layout's
    // offsets follow from its extents).
    const modTile& engine = form.Engine();
    QCOMPARE(engine.OffsetX, int16_t((582 - 37 * (engine.MaxCol + 1)) / 2));
    QCOMPARE(engine.OffsetY, int16_t((377 - 43 * (engine.MaxRow + 1)) / 2));
}

void MainWindowTest::clampsTheBoardAndStatusLineAtSmallSizes_data() {
    QTest::addColumn<QSize>("client");
    QTest::addColumn<QSize>("board");
    QTest::addColumn<int>("statusWidth");
    QTest::addColumn<int>("aboutLeft");
    QTest::addColumn<int>("statusTop");
    QTest::addColumn<int>("labelTop");
    QTest::newRow("large") << QSize(1000, 700) << QSize(985, 621) << 904 << 920 << 672 << 678;
    QTest::newRow("narrower than 96") << QSize(90, 300) << QSize(75, 221) << 0 << 10 << 272 << 278;
    QTest::newRow("narrower than 80") << QSize(70, 300) << QSize(55, 221) << 0 << 0 << 272 << 278;
    QTest::newRow("narrower than 15") << QSize(10, 300) << QSize(0, 221) << 0 << 0 << 272 << 278;
    QTest::newRow("lower than 79") << QSize(300, 60) << QSize(285, 0) << 204 << 220 << 32 << 38;
    QTest::newRow("lower than 24") << QSize(300, 20) << QSize(285, 0) << 204 << 220 << -4 << 2;
}

void MainWindowTest::clampsTheBoardAndStatusLineAtSmallSizes() {
    QFETCH(QSize, client);
    QFETCH(QSize, board);
    QFETCH(int, statusWidth);
    QFETCH(int, aboutLeft);
    QFETCH(int, statusTop);
    QFETCH(int, labelTop);
    MainWindowFixture f;
    frmMain& form = f.Open();
    form.setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);  // larger than the test's 800 x 600 screen
    form.resize(client);
    QTRY_COMPARE(form.size(), client);
    QCOMPARE(form.picBoard->size(), board);
    QCOMPARE(form.picBoard->pos(), QPoint(8, 48));
    QCOMPARE(form.BoardPicture().ScaleWidth(), std::max(board.width() - 4, 0));
    QCOMPARE(form.BoardPicture().ScaleHeight(), std::max(board.height() - 4, 0));
    QCOMPARE(form.Label4->geometry(), QRect(0, statusTop, statusWidth, 25));
    QCOMPARE(form.btnAbout->pos(), QPoint(aboutLeft, statusTop));
    for (QLabel* label : {form.Label1, form.lblTiles, form.Label2, form.lblMatch, form.Label3, form.lblTime})
        QCOMPARE(label->y(), labelTop);
}

void MainWindowTest::resizeClearsTheSelectionAndKeepsTheHintList() {
    MainWindowFixture f;
    frmMain& form = f.Open();
    form.btnHint_Click();
    QCOMPARE(form.HintIndex, int16_t(1));
    const auto [a, b] = f.MatchingPair();
    Q_UNUSED(b);
    form.SelectedTile = a;
    const int16_t oldX = form.Engine().OffsetX;
    form.setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);  // larger than the test's 800 x 600 screen
    form.resize(801, 560);
    QTRY_COMPARE(form.size(), QSize(801, 560));
    QCOMPARE(form.SelectedTile, int16_t(-1));
    QCOMPARE(form.HintIndex, int16_t(1));
    QVERIFY(!form.HintShown);  // the redraw took the pair's highlight
    QCOMPARE(form.Engine().OffsetX, int16_t(oldX + 100));
}

void MainWindowTest::theWindowsBoundFollowsTheScreens_data() {
    QTest::addColumn<QList<QSize>>("screens");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QSize>("bound");
    QTest::addColumn<bool>("maximised");
    QTest::addColumn<QSize>("expected");
    const QList<QSize> small{{800, 600}}, large{{1024, 768}};
    QTest::newRow("a wide screen and a tall one")
        << QList<QSize>{{2560, 1080}, {1080, 1500}} << QSize(601, 460) << QSize(601, 460) << false << QSize(2560, 1500);
    QTest::newRow("no screen") << QList<QSize>{} << QSize(601, 460) << QSize(800, 600) << false
                               << QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    QTest::newRow("shrunk") << small << QSize(1024, 747) << QSize(1024, 768) << false << QSize(800, 600);
    QTest::newRow("shrunk, maximised") << small << QSize(1024, 747) << QSize(1024, 768) << true << QSize(1024, 747);
    QTest::newRow("maximised, refitted") << small << QSize(800, 579) << QSize(1024, 747) << true << QSize(800, 600);
    QTest::newRow("maximised, set past the bound")
        << large << QSize(32767, 32767) << QSize(1024, 768) << true << QSize(1024, 768);
    QTest::newRow("grown, maximised") << large << QSize(800, 579) << QSize(800, 600) << true << QSize(1024, 768);
}

void MainWindowTest::theWindowsBoundFollowsTheScreens() {
    QFETCH(QList<QSize>, screens);
    QFETCH(QSize, size);
    QFETCH(QSize, bound);
    QFETCH(bool, maximised);
    QFETCH(QSize, expected);
    QCOMPARE(WindowBound(ScreenBound(screens), size, bound, maximised), expected);
}

void MainWindowTest::aLayoutPickIsAChoiceButTypingIsNot() {
    MainWindowFixture f;
    frmMain& form = f.Open();
    const int before = f.Random.Reseeds();
    // Typing a name and pressing Enter changes the text only.
    form.cmbPattern->setFocus();
    form.cmbPattern->lineEdit()->selectAll();
    QTest::keyClicks(form.cmbPattern->lineEdit(), "Mountain");
    QTest::keyClick(form.cmbPattern->lineEdit(), Qt::Key_Return);
    QCOMPARE(form.cmbPattern->Text(), QString("Mountain"));
    QCOMPARE(form.cmbPattern->count(), 11);
    QCOMPARE(f.Random.Reseeds(), before);
    form.cmbTileSet->setFocus();  // leaving the field is no choice either
    QCOMPARE(f.Random.Reseeds(), before);
    QTest::keyClicks(form.cmbTileSet->lineEdit(), "X");
    QTest::keyClick(form.cmbTileSet->lineEdit(), Qt::Key_Enter);
    QCOMPARE(form.cmbTileSet->count(), 5);

    // A pick from the drop-down deals a new game of that layout.
    QCoreApplication::processEvents();
    form.SelectedTile = 5;
    form.HintIndex = 3;
    emit form.cmbPattern->activated(3);
    QCOMPARE(form.cmbPattern->Text(), QString("Mountain"));  // activated() alone leaves the text
    QVERIFY(f.Random.Reseeds() > before);
    QCOMPARE(form.SelectedTile, int16_t(-1));
    QCOMPARE(form.HintIndex, int16_t(-1));

    // While the window is not yet activated, a pick does nothing.
    form.Activated = false;
    const int now = f.Random.Reseeds();
    emit form.cmbPattern->activated(0);
    QCOMPARE(f.Random.Reseeds(), now);
}

void MainWindowTest::theArrowKeysStepThroughTheLayoutsEachAChoice() {
    MainWindowFixture f;
    frmMain& form = f.Open();
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    form.cmbPattern->setFocus();
    const int before = f.Random.Reseeds();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    QCOMPARE(form.cmbPattern->Text(), QString("Mountain"));
    const int afterOne = f.Random.Reseeds();
    QVERIFY(afterOne > before);
    // The new game took the focus away while it dealt; it is back.
    QVERIFY(form.cmbPattern->isAncestorOf(QApplication::focusWidget()) ||
            QApplication::focusWidget() == form.cmbPattern);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    QCOMPARE(form.cmbPattern->Text(), QString("Great Wall"));
    QVERIFY(f.Random.Reseeds() > afterOne);
}

void MainWindowTest::aWheelOverAListWithoutFocusIsNoChoice() {
    MainWindowFixture f;
    frmMain& form = f.Open();
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    form.btnNew->setFocus();
    const int before = f.Random.Reseeds();
    const auto wheel = [](QWidget* target) {
        const QPointF at(target->width() / 2.0, target->height() / 2.0);
        QWheelEvent event(at, target->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(target, &event);
    };
    // A stray turn of the wheel while passing over the list keeps the game.
    wheel(form.cmbPattern);
    wheel(form.cmbTileSet);
    QCOMPARE(form.cmbPattern->Text(), QString("Classic"));
    QCOMPARE(form.cmbTileSet->Text(), QString("Scanned Tiles"));
    QCOMPARE(f.Random.Reseeds(), before);
    // With the focus on the list the wheel steps through it, each step a choice.
    form.cmbPattern->setFocus();
    wheel(form.cmbPattern);
    QCOMPARE(form.cmbPattern->Text(), QString("Mountain"));
    QVERIFY(f.Random.Reseeds() > before);
}

void MainWindowTest::closingAnyBoxReactivatesTheWindow() {
    MainWindowFixture f;
    frmMain& form = f.Open();
    const std::pair<QPushButton*, const char*> boxes[] = {
        {form.Command1, "frmHelp"}, {form.btnAbout, "frmAbout"}, {form.btnBackground, "frmSkin"}};
    for (const auto& [button, box] : boxes) {
        f.ReleaseOn(form.Engine().OpenTiles[1]);
        QCOMPARE(form.SelectedTile, form.Engine().OpenTiles[1]);
        form.Activated = false;
        ModalCloser closer;
        button->click();
        QCOMPARE(closer.Seen, QStringList({box}));
        QCOMPARE(form.SelectedTile, int16_t(-1));
        QVERIFY(form.Activated);
    }
    QCOMPARE(form.Engine().TilesLeft, int16_t(144));
}

void MainWindowTest::closingSavesTheSettingsAndIsNeverRefused() {
    MainWindowFixture f;
    frmMain& form = f.Open();
    form.cmbPattern->SetText("Castle");
    form.btnNoSound_Click();
    QVERIFY(form.close());
    QCOMPARE(f.Stored("Pattern"), QString("Castle"));
    QCOMPARE(f.Stored("Sound"), QString("False"));
}

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
