// The real main window played for a long time by a seeded random player:
// clicks anywhere on the board and on open tiles, new games under every
// layout name and names that name none, undo, hint, tile sets known and
// unknown, resizes down to nothing, sound on and off (each sound's yield
// runs further events, so handlers nest), and background changes through
// the real dialog. After every action the game must still be whole, and
// the board must show it: exactly a fresh paint of the game as it stands.
//
// TT_SOAK_ACTIONS sets the number of actions (50 000 by default),
// TT_SOAK_SEED the seed (1 by default). A failure names the seed, the
// action's number and the last actions taken. A step (the window's opening,
// then each action) that has not ended within TT_SOAK_ACTION_LIMIT_MS (30 s
// by default; one takes milliseconds) ends the soak with a message there
// and then, not at its limit of minutes; TT_SOAK_HANG_AT makes that action
// hang, to show it does.
#include <QAbstractButton>
#include <QDialog>
#include <QImage>
#include <QPointer>
#include <QRadioButton>
#include <QCheckBox>
#include <QtTest>
#include <deque>
#include <random>

#include "BoardCheck.h"
#include "HangGuard.h"
#include "MainWindowFixture.h"
#include "frmSkin.h"

namespace {

// What the player picks in the colour and file dialogs, set before each
// showing.
class PickingDialog final : public CommonDialog {
public:
    int NextError = 0;
    int32_t NextColour = 0;
    QString NextFile;
    int ShowColor() override {
        if (NextError == 0) Color = NextColour;
        return NextError;
    }
    int ShowOpen() override {
        if (NextError == 0) FileName = NextFile;
        return NextError;
    }
};

const char* const LayoutNames[] = {"Default", "Castle",   "Classic", "Mountain", "Great Wall", "Block",
                                   "Hole",    "Theater",  "Checkers", "Shuriken", "Dam",       "Tree",
                                   "Key",     "Tavelorn", "Random",   "Pyramid"};
const char* const NoLayoutNames[] = {"", "classic", "Nothing", " Classic", "Great  Wall", "Random ",
                                     "\xE5\xA1\x94 tower", "RANDOM"};
const char* const TileSetNames[] = {"MahJongg", "Scanned Tiles", "Cards", "Animals", "Icons",
                                    "", "Mahjongg", "Scanned", "Icons ", "\xF0\x9F\x80\x84"};

// ---- The invariants -------------------------------------------------------

bool CellEmpty(const modTile& e, int col, int row, int layer) {
    if (col < 0 || col > e.MaxCol || layer > 10) return true;
    return e.Board[col][row][layer] < 0;
}

bool OnBoard(const modTile& e, int16_t i) {
    const TileRec& t = e.Tiles[i];
    return t.Col <= e.MaxCol && t.Row <= e.MaxRow && t.Layer <= 10 && e.Board[t.Col][t.Row][t.Layer] == i;
}

bool OpenByRule(const modTile& e, int16_t i) {
    if (!OnBoard(e, i)) return false;
    const TileRec& t = e.Tiles[i];
    const bool above = CellEmpty(e, t.Col, t.Row, t.Layer + 1);
    return above && (CellEmpty(e, t.Col - 1, t.Row, t.Layer) || CellEmpty(e, t.Col + 1, t.Row, t.Layer));
}

// Empty when the game is whole, else what is broken.
QString Broken(frmMain& form) {
    const modTile& e = form.Engine();
    if (e.TilesLeft + e.UndoTop != 144)
        return QStringLiteral("TilesLeft %1 + UndoTop %2 is not 144").arg(e.TilesLeft).arg(e.UndoTop);

    // Cells beyond the layout's columns and rows are never read, and keep
    // what an earlier layout left there.
    int occupied = 0;
    bool seen[145] = {};
    for (int c = 0; c <= e.MaxCol; ++c)
        for (int r = 0; r <= e.MaxRow; ++r)
            for (int l = 0; l < 11; ++l) {
                const int16_t v = e.Board[c][r][l];
                if (v < 0) continue;
                if (v < 1 || v > 144 || seen[v]) return QStringLiteral("cell (%1,%2,%3) holds %4").arg(c).arg(r).arg(l).arg(v);
                const TileRec& t = e.Tiles[v];
                if (t.Col != c || t.Row != r || t.Layer != l)
                    return QStringLiteral("tile %1 lies in cell (%2,%3,%4), not its own").arg(v).arg(c).arg(r).arg(l);
                seen[v] = true;
                ++occupied;
            }
    if (occupied != e.TilesLeft) return QStringLiteral("%1 tiles on the board, TilesLeft %2").arg(occupied).arg(e.TilesLeft);
    for (int k = 1; k <= e.UndoTop; ++k)
        if (OnBoard(e, e.UndoStack[k])) return QStringLiteral("removed tile %1 is on the board").arg(e.UndoStack[k]);

    QList<int16_t> open;
    for (int16_t i = 1; i <= 144; ++i)
        if (OpenByRule(e, i) && open.size() < 99) open << i;
    QList<int16_t> listed;
    for (int k = 1; k <= e.OpenCount; ++k) listed << e.OpenTiles[k];
    if (listed != open || e.OpenTiles[e.OpenCount + 1] != -1) return QStringLiteral("OpenTiles differs from a recount");
    int matches = 0;
    for (int a = 0; a < open.size(); ++a)
        for (int b = a + 1; b < open.size(); ++b)
            if (FacesMatch(e.Tiles[open[a]].Face, e.Tiles[open[b]].Face)) ++matches;
    if (matches != e.MatchesLeft) return QStringLiteral("MatchesLeft %1, a recount %2").arg(e.MatchesLeft).arg(matches);
    if (form.lblTiles->text() != QString::number(e.TilesLeft) || form.lblMatch->text() != QString::number(matches))
        return QStringLiteral("the counters show %1 and %2").arg(form.lblTiles->text(), form.lblMatch->text());

    if (form.SelectedTile != -1 && !open.contains(form.SelectedTile))
        return QStringLiteral("SelectedTile %1 is not an open tile").arg(form.SelectedTile);
    if (form.HintIndex >= 0) {
        if (form.MatchListCount < 0 || form.MatchListCount > 100 || form.HintIndex > form.MatchListCount)
            return QStringLiteral("hint list of %1 at %2").arg(form.MatchListCount).arg(form.HintIndex);
        for (int k = 1; k <= form.MatchListCount; ++k) {
            const int16_t a = form.MatchTileA[k], b = form.MatchTileB[k];
            if (!open.contains(a) || !open.contains(b) || !FacesMatch(e.Tiles[a].Face, e.Tiles[b].Face))
                return QStringLiteral("hint pair %1 (%2, %3) is no matching open pair").arg(k).arg(a).arg(b);
        }
    }
    return {};
}

// ---- The player -------------------------------------------------------------

class Player : public QObject {
public:
    Player(MainWindowFixture& fixture, PickingDialog& dialog, uint64_t seed, const QString& folder)
        : f_(fixture), dialog_(dialog), random_(seed) {
        const auto write = [&](const QString& name, int w, int h, const char* format) {
            QImage picture(w, h, QImage::Format_RGB32);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) picture.setPixel(x, y, qRgb(x * 7, y * 5, (x ^ y) & 0xFF));
            const QString path = folder + QLatin1Char('/') + name;
            picture.save(path, format);
            return path;
        };
        pictures_ << write(QStringLiteral("small.bmp"), 16, 12, "BMP") << write(QStringLiteral("large.jpg"), 900, 700, "JPEG")
                  << write(QStringLiteral("board.bmp"), 300, 200, "BMP");
        QFile junk(folder + QStringLiteral("/junk.gif"));
        junk.open(QIODevice::WriteOnly);
        junk.write("GIF89a not really");
        pictures_ << junk.fileName() << folder + QStringLiteral("/missing.bmp") << folder << QString();
        qApp->installEventFilter(this);
    }

    int Depth = 0;  // how deep in nested sounds the action runs
    long Nested = 0;
    long Modals = 0;
    std::deque<QString> Log;

    int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }
    bool Chance(double p) { return std::uniform_real_distribution<double>(0, 1)(random_) < p; }

    // One action of the player, picked at random.
    void Act() {
        const int pick = Below(100);
        if (pick < 30) return ReleaseOnOpenTile();
        if (pick < 45) return ReleaseOnMatchingPair();
        if (pick < 55) return ReleaseAnywhere();
        if (pick < 61) return NewGame();
        if (pick < 68) return Click(f_.Form->btnBack, "undo");
        if (pick < 75) return Click(f_.Form->btnHint, "hint");
        if (pick < 80) return TileSet();
        if (pick < 88) return Resize();
        if (pick < 94) return Click(Chance(0.5) ? f_.Form->btnSound : f_.Form->btnNoSound, "sound switch");
        return Background();
    }

    // Inside a sound's yield: sometimes one more action arrives, the way a
    // click queued while the sound starts would.
    void DuringSound() {
        f_.Sound.DuringSound = [this](const QString&) { DuringSound(); };
        if (f_.Sound.Heard.size() > 1000) f_.Sound.Heard.clear();
        if (Depth >= 3 || !Chance(0.3)) return;
        ++Nested;
        QMetaObject::invokeMethod(
            this,
            [this] {
                ++Depth;
                const int pick = Below(6);
                if (pick == 1) Click(f_.Form->btnBack, "nested undo");
                else if (pick == 2) Click(f_.Form->btnNew, "nested new game");
                else if (pick == 3) TileSet();
                else if (pick == 4) Click(f_.Form->btnHint, "nested hint");
                else PostRelease(RandomOpenTileCentre());
                --Depth;
            },
            Qt::QueuedConnection);
    }

private:
    void Note(const QString& what) {
        Log.push_back(QString(Depth, QLatin1Char('>')) + what);
        if (Log.size() > 30) Log.pop_front();
    }

    QPoint RandomOpenTileCentre() {
        const modTile& e = f_.Engine();
        if (e.OpenCount == 0) return {0, 0};
        return f_.Centre(e.OpenTiles[1 + Below(e.OpenCount)]);
    }

    Qt::MouseButton RandomButton() {
        const Qt::MouseButton buttons[] = {Qt::LeftButton, Qt::LeftButton, Qt::RightButton, Qt::MiddleButton};
        return buttons[Below(4)];
    }

    void Release(QPoint at, const char* what) {
        Note(QStringLiteral("%1 at (%2, %3)").arg(QLatin1String(what)).arg(at.x()).arg(at.y()));
        f_.Release(at, RandomButton(), Chance(0.1) ? Qt::ShiftModifier : Qt::NoModifier);
    }

    void PostRelease(QPoint at) {
        Note(QStringLiteral("nested release at (%1, %2)").arg(at.x()).arg(at.y()));
        BoardView* board = f_.Form->picBoard;
        QCoreApplication::postEvent(board, new QMouseEvent(QEvent::MouseButtonRelease, at, board->mapToGlobal(at),
                                                           Qt::LeftButton, Qt::NoButton, Qt::NoModifier));
    }

    void ReleaseOnOpenTile() { Release(RandomOpenTileCentre(), "release on an open tile"); }

    void ReleaseOnMatchingPair() {
        const auto [a, b] = f_.MatchingPair();
        if (a < 0) return ReleaseOnOpenTile();
        Release(f_.Centre(a), "release on a matching tile");
        Release(f_.Centre(b), "release on its partner");
    }

    void ReleaseAnywhere() {
        BoardView* board = f_.Form->picBoard;
        const QPoint at(Below(board->width() + 20) - 10, Below(board->height() + 20) - 10);
        Release(at, "release anywhere");
    }

    void Click(QAbstractButton* button, const char* what) {
        Note(QLatin1String(what) + (button->isEnabled() ? QString() : QStringLiteral(" (disabled)")));
        button->click();
    }

    void NewGame() {
        const QString name = Chance(0.8) ? QString::fromUtf8(LayoutNames[Below(std::size(LayoutNames))])
                                         : QString::fromUtf8(NoLayoutNames[Below(std::size(NoLayoutNames))]);
        frmMain& form = *f_.Form;
        if (Chance(0.3)) form.chkEasy->setChecked(!form.chkEasy->isChecked());
        form.cmbPattern->SetText(name);
        if (Chance(0.5)) {
            Click(form.btnNew, "new game");
            Note(QStringLiteral("  with \"%1\", easy %2").arg(name).arg(form.chkEasy->isChecked()));
        } else {
            Note(QStringLiteral("layout list choice \"%1\"").arg(name));
            emit form.cmbPattern->Click();
        }
    }

    void TileSet() {
        const QString name = QString::fromUtf8(TileSetNames[Below(std::size(TileSetNames))]);
        Note(QStringLiteral("tile set \"%1\"").arg(name));
        f_.Form->cmbTileSet->SetText(name);
        f_.Form->cmbTileSet_click();
    }

    void Resize() {
        const int w = Chance(0.15) ? 0 : Below(1400), h = Chance(0.15) ? 0 : Below(1000);
        Note(QStringLiteral("resize to %1 x %2").arg(w).arg(h));
        f_.Form->resize(w, h);
    }

    void Background() {
        background_ = Below(3);  // 0 colour, 1 picture, 2 cancel
        dialog_.NextError = Chance(0.1) ? cdlCancel : 0;
        dialog_.NextColour = static_cast<int32_t>(random_() & 0xFFFFFF);
        dialog_.NextFile = pictures_[Below(pictures_.size())];
        stretch_ = Chance(0.5);
        Note(QStringLiteral("background %1, file \"%2\", stretch %3")
                 .arg(background_)
                 .arg(dialog_.NextFile)
                 .arg(stretch_));
        f_.Form->btnBackground->click();
    }

    // Answers each modal box once its own loop runs: the background dialog as
    // the player picked, every other box closed at once.
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Show) return false;
        auto* box = qobject_cast<QDialog*>(watched);
        if (!box) return false;
        ++Modals;
        QPointer<QDialog> guard(box);
        QMetaObject::invokeMethod(
            this,
            [this, guard] {
                if (!guard) return;
                auto* skin = qobject_cast<frmSkin*>(guard.data());
                if (!skin || background_ == 2) return guard->reject();
                if (background_ == 0) {
                    skin->Option1->click();
                    skin->btnColour->click();
                } else {
                    skin->Option2->click();
                    skin->btnFile->click();
                }
                skin->chkStretch->setChecked(stretch_);
                skin->btnOK->click();
            },
            Qt::QueuedConnection);
        return false;
    }

    MainWindowFixture& f_;
    PickingDialog& dialog_;
    std::mt19937_64 random_;
    QStringList pictures_;
    int background_ = 2;
    bool stretch_ = false;
};

long EnvNumber(const char* name, long fallback) {
    bool ok = false;
    const long value = qEnvironmentVariable(name).toLong(&ok);
    return ok ? value : fallback;
}

}  // namespace

class SoakTest : public QObject {
    Q_OBJECT
private slots:
    void aLongRandomPlayKeepsTheGameWhole() {
        const long actions = EnvNumber("TT_SOAK_ACTIONS", 50000);
        const auto seed = static_cast<uint64_t>(EnvNumber("TT_SOAK_SEED", 1));
        // Opening the window is the first step, each action one more.
        HangGuard guard(std::chrono::milliseconds(EnvNumber("TT_SOAK_ACTION_LIMIT_MS", 30000)),
                        "a step of the soak did not end in time");
        MainWindowFixture f;
        PickingDialog dialog;
        f.Form = std::make_unique<frmMain>(MainServices{f.Sound, dialog, f.TimeOfDay, f.Random, f.SettingsFile()});
        f.Form->show();
        QCoreApplication::processEvents();

        Player player(f, dialog, seed, f.Folder.path());
        player.DuringSound();
        BoardCheck check;
        const long hangAt = EnvNumber("TT_SOAK_HANG_AT", 0);
        guard.StepEnded();  // the window is open
        long removals = 0, newGames = 0, gamesOver = 0;
        for (long n = 1; n <= actions; ++n) {
            const int16_t before = f.Engine().TilesLeft;
            const int reseeds = f.Random.Reseeds();
            player.Act();
            while (n == hangAt) QThread::sleep(1);
            QCoreApplication::processEvents();
            guard.StepEnded();
            if (f.Random.Reseeds() != reseeds) ++newGames;
            else if (f.Engine().TilesLeft < before) ++removals;
            if (f.Engine().MatchesLeft == 0 || f.Engine().TilesLeft == 0) ++gamesOver;
            QString broken = Broken(*f.Form);
            if (broken.isEmpty()) broken = check.Differs(*f.Form);
            if (!broken.isEmpty()) {
                QStringList last(player.Log.begin(), player.Log.end());
                QFAIL(qPrintable(QStringLiteral("seed %1, action %2: %3\nlast actions:\n  %4")
                                     .arg(seed)
                                     .arg(n)
                                     .arg(broken, last.join(QStringLiteral("\n  ")))));
            }
        }
        qInfo("%ld actions (seed %llu): %ld nested in sounds, %ld modal boxes, %ld new games, "
              "%ld turns ending with a removal, %ld ending with no pair left",
              actions, static_cast<unsigned long long>(seed), player.Nested, player.Modals, newGames, removals,
              gamesOver);
        QVERIFY(removals > 0 && newGames > 0 && player.Modals > 0 && player.Nested > 0);
    }
};

// Qt Test stops a test function after five minutes; a long soak is given
// about 20 ms an action, the pace of the sanitizer build.
int main(int argc, char** argv) {
    const long actions = EnvNumber("TT_SOAK_ACTIONS", 50000);
    if (!qEnvironmentVariableIsSet("QTEST_FUNCTION_TIMEOUT"))
        qputenv("QTEST_FUNCTION_TIMEOUT", QByteArray::number(qMax(300000L, actions * 20)));
    QApplication app(argc, argv);
    SoakTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "SoakTest.moc"
