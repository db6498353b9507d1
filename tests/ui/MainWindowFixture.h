// A main window with everything it is given under the test's control: the
// sounds it plays are recorded, the clock is set by hand, the draws are
// seeded, the dialogs are scripted and the settings live in a folder of the
// test's own.
#pragma once

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QMouseEvent>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

#include "Random.h"
#include "SoundPlayer.h"
#include "TileBody.h"
#include "frmMain.h"

#include "CommonDialog.h"

class ScriptedDialog final : public CommonDialog {
public:
    int ShowColor() override { return cdlCancel; }
    int ShowOpen() override { return cdlCancel; }
};

// Everything the player would hear: the names of the sounds started, and
// "beep" for each system beep. A hook may run inside a sound, as an event
// handled during the yield that follows it would.
class RecordingSound final : public SoundPlayer {
public:
    QStringList Heard;
    std::function<void(const QString&)> DuringSound;

    void Play(const QString& name) override {
        Heard << name;
        if (DuringSound) {
            auto hook = std::move(DuringSound);
            DuringSound = nullptr;
            hook(name);
        }
    }
    void Beep() override { Heard << QStringLiteral("beep"); }
};

class HandClock final : public Clock {
public:
    int64_t Seconds = 1'000'000'000;
    int64_t Now() override { return Seconds; }
};

// Draws from a fixed seed, so every run of a test deals the same games, and
// counts the reseeds (each new game makes at least one).
class CountingRandom final : public RandomSource {
public:
    explicit CountingRandom(uint64_t seed = 0x5EED) : inner_(seed) {}
    double Rnd() override { return inner_.Rnd(); }
    void Randomize() override {
        ++reseeds_;
        inner_.Randomize();
    }
    int Reseeds() const { return reseeds_; }

private:
    SeededRandom inner_;
    int reseeds_ = 0;
};

struct MainWindowFixture {
    RecordingSound Sound;
    HandClock TimeOfDay;
    CountingRandom Random;
    ScriptedDialog Dialog;
    QTemporaryDir Folder;
    std::unique_ptr<frmMain> Form;

    QString SettingsFile() const { return Folder.filePath(QStringLiteral("Tavelorn Tiles.ini")); }

    void Store(const QString& key, const QString& value) {
        QSettings store(SettingsFile(), QSettings::IniFormat);
        store.setValue(QStringLiteral("Settings/") + key, value);
    }
    QString Stored(const QString& key) const {
        QSettings store(SettingsFile(), QSettings::IniFormat);
        return store.value(QStringLiteral("Settings/") + key).toString();
    }

    // Loads the window and, as Main does, gives it the tile body and mask
    // and shows it.
    frmMain& Open(bool show = true) {
        Form = std::make_unique<frmMain>(MainServices{Sound, Dialog, TimeOfDay, Random, SettingsFile()});
        TakeTileBodyAndMask(Form->TileSet, Form->picPaint, Form->picMask);
        if (show) {
            Form->show();
            QCoreApplication::processEvents();
        }
        return *Form;
    }

    modTile& Engine() { return Form->Engine(); }

    // The centre of tile i's face, in the board widget's own pixels.
    QPoint Centre(int16_t i) {
        const TileRec& t = Engine().Tiles[i];
        return QPoint(t.X + 18 + BoardView::Border, t.Y + 21 + BoardView::Border);
    }

    // A real release of a mouse button over the board.
    void Release(QPoint at, Qt::MouseButton button = Qt::LeftButton, Qt::KeyboardModifiers keys = {}) {
        QTest::mouseRelease(Form->picBoard, button, keys, at);
    }
    void ReleaseOn(int16_t i, Qt::MouseButton button = Qt::LeftButton, Qt::KeyboardModifiers keys = {}) {
        Release(Centre(i), button, keys);
    }

    // The open tiles now, in list order.
    QList<int16_t> OpenList() {
        QList<int16_t> open;
        for (int k = 1; k <= Engine().OpenCount; ++k) open << Engine().OpenTiles[k];
        return open;
    }

    // A pair of matching open tiles, or {-1, -1}.
    std::pair<int16_t, int16_t> MatchingPair() {
        const QList<int16_t> open = OpenList();
        for (int a = 0; a < open.size(); ++a)
            for (int b = a + 1; b < open.size(); ++b)
                if (Engine().TilesMatch(open[a], open[b])) return {open[a], open[b]};
        return {-1, -1};
    }
    // Two open tiles that do not match, or {-1, -1}.
    std::pair<int16_t, int16_t> NonMatchingPair() {
        const QList<int16_t> open = OpenList();
        for (int a = 0; a < open.size(); ++a)
            for (int b = a + 1; b < open.size(); ++b)
                if (!Engine().TilesMatch(open[a], open[b])) return {open[a], open[b]};
        return {-1, -1};
    }
};

// Closes the next modal box that opens and tells its class name.
class ModalCloser : public QObject {
public:
    QStringList Seen;
    ModalCloser() {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                Seen << QString::fromLatin1(box->metaObject()->className());
                box->reject();
            }
        });
        timer_.start();
    }

private:
    QTimer timer_;
};
