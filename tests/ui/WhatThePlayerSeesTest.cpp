// What the player sees agrees with the game: the board after every kind of
// action, releases on the board's border, the sound's yield, a picture
// background with no picture, the layout list and the button pictures.
#include <QAbstractItemView>
#include <QCheckBox>
#include <QRadioButton>
#include <QScrollBar>
#include <functional>

#include "BoardCheck.h"
#include "ButtonPicture.h"
#include "MainWindowFixture.h"
#include "frmSkin.h"

namespace {

// The colour and the file the player picks in the common dialogs.
class PickingDialog final : public CommonDialog {
public:
    int32_t NextColour = 0x4080C0;
    QString NextFile;
    int ShowColor() override {
        Color = NextColour;
        return 0;
    }
    int ShowOpen() override {
        FileName = NextFile;
        return 0;
    }
};

// Answers every modal box once its own loop runs: by `Answer` when set
// (it is used once), else by closing the box.
class ModalAnswer : public QObject {
public:
    std::function<void(QDialog&)> Answer;
    ModalAnswer() {
        timer_.setInterval(5);
        connect(&timer_, &QTimer::timeout, this, [this] {
            auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!box) return;
            if (auto answer = std::exchange(Answer, nullptr)) return answer(*box);
            box->reject();
        });
        timer_.start();
    }

private:
    QTimer timer_;
};

void AnswerBackground(ModalAnswer& modal, bool picture, bool ok) {
    modal.Answer = [=](QDialog& box) {
        auto& skin = static_cast<frmSkin&>(box);
        (picture ? skin.Option2 : skin.Option1)->click();
        (picture ? skin.btnFile : skin.btnColour)->click();
        skin.chkStretch->setChecked(true);
        (ok ? skin.btnOK : skin.btnCancel)->click();
    };
}

}  // namespace

class WhatThePlayerSeesTest : public QObject {
    Q_OBJECT
private slots:
    void theBoardShowsTheGameAfterEveryAction();
    void aReleaseOnTheBoardsBorderDoesNothing();
    void anEventQueuedBeforeASoundRunsInsideIt();
    void aPictureBackgroundWithNoPictureShowsTheColour();
    void theLayoutListShowsEveryNameWithoutScrolling();
    void buttonPicturesShowNoGreySquareAtAnyScale();
};

void WhatThePlayerSeesTest::theBoardShowsTheGameAfterEveryAction() {
    MainWindowFixture f;
    PickingDialog dialog;
    QImage(40, 30, QImage::Format_RGB32).save(f.Folder.filePath("skin.bmp"));
    dialog.NextFile = f.Folder.filePath("skin.bmp");
    f.Form = std::make_unique<frmMain>(MainServices{f.Sound, dialog, f.TimeOfDay, f.Random, f.SettingsFile()});
    frmMain& form = *f.Form;
    form.show();
    QCoreApplication::processEvents();
    ModalAnswer modal;
    BoardCheck check;
    int16_t a = -1, b = -1, c = -1;  // a matching pair, and a tile that does not match a
    const auto pick = [&] {
        std::tie(a, b) = f.MatchingPair();
        if (a < 0) return;  // the game is over
        for (const int16_t i : f.OpenList())
            if (i != a && !form.Engine().TilesMatch(a, i)) c = i;
    };
    const auto click = [](QAbstractButton* button) { return [button] { button->click(); }; };
    const auto tileSet = [&](const char* name) {
        return [&form, name] {
            form.cmbTileSet->SetText(QString::fromLatin1(name));
            form.cmbTileSet_click();
        };
    };
    const auto background = [&](bool picture, bool ok) {
        return [&, picture, ok] {
            AnswerBackground(modal, picture, ok);
            form.btnBackground->click();
        };
    };
    const auto select = [&] { f.ReleaseOn(a); };
    const std::pair<const char*, std::function<void()>> actions[] = {
        {"select", select},
        {"tile-set pick with a tile selected", [&] {
             tileSet("Cards")();
             QCOMPARE(form.SelectedTile, a);  // still selected, and (the check) still lit
         }},
        {"deselect", select},
        {"select again", select},
        {"non-matching click", [&] { f.ReleaseOn(c); }},
        {"help box with a tile selected", click(form.Command1)},
        {"select", select},
        {"miss with a tile selected", [&] { f.Release(QPoint(3, 3)); }},
        {"hint", click(form.btnHint)},
        {"hint again", click(form.btnHint)},
        {"hint a third time", click(form.btnHint)},
        {"About box with a hint shown", click(form.btnAbout)},
        {"select with a hint shown", select},
        {"removal", [&] { f.ReleaseOn(b); }},
        {"undo", click(form.btnBack)},
        {"background OK, a colour", background(false, true)},
        {"background OK, a picture", background(true, true)},
        {"background Cancel", background(false, false)},
        {"select", select},
        {"resize with a tile selected", [&] { form.resize(700, 520); }},
        {"hint", click(form.btnHint)},
        {"tile-set pick with a hint shown", tileSet("Icons")},
        {"new game", click(form.btnNew)},
        {"play to the end-of-game box", [&] {
             for (auto [p, q] = f.MatchingPair(); p > 0; std::tie(p, q) = f.MatchingPair()) {
                 f.ReleaseOn(p);
                 f.ReleaseOn(q);
             }
         }},
        {"undo after the end", click(form.btnBack)},
    };
    for (const auto& [name, act] : actions) {
        pick();
        act();
        QCoreApplication::processEvents();
        const QString differs = check.Differs(form);
        QVERIFY2(differs.isEmpty(), qPrintable(QString::fromLatin1(name) + ": " + differs));
    }
    QVERIFY(f.Sound.Heard.contains("gong"));  // the play did reach its end
}

void WhatThePlayerSeesTest::aReleaseOnTheBoardsBorderDoesNothing() {
    MainWindowFixture f;
    frmMain& form = f.Open();
    BoardCheck check;
    const int w = form.picBoard->width(), h = form.picBoard->height();
    const auto [a, b] = f.MatchingPair();
    Q_UNUSED(b);
    f.ReleaseOn(a);
    f.Sound.Heard.clear();
    for (const QPoint at : {QPoint(0, 1), QPoint(1, h / 2), QPoint(w / 2, 1), QPoint(w - 2, h / 2), QPoint(w - 1, 5),
                            QPoint(w / 2, h - 2), QPoint(5, h - 1)}) {
        f.Release(at);
        QVERIFY2(f.Sound.Heard.isEmpty() && form.SelectedTile == a, qPrintable(QStringLiteral("at (%1, %2)").arg(at.x()).arg(at.y())));
    }
    QVERIFY(check.Differs(form).isEmpty());
    f.Release(QPoint(2, 2));  // the board's first pixel: a miss
    QCOMPARE(f.Sound.Heard, QStringList({"beep"}));
    QCOMPARE(form.SelectedTile, int16_t(-1));
}

void WhatThePlayerSeesTest::anEventQueuedBeforeASoundRunsInsideIt() {
    MainWindowFixture f;
    frmMain& form = f.Open();
    const auto [a, b] = f.MatchingPair();
    Q_UNUSED(b);
    QStringList heardThen;
    int16_t selectedThen = 0;
    QMetaObject::invokeMethod(
        &form,
        [&] {
            heardThen = f.Sound.Heard;
            selectedThen = form.SelectedTile;
        },
        Qt::QueuedConnection);
    f.ReleaseOn(a);  // delivered at once: the queued event waits for a yield
    QCOMPARE(heardThen, QStringList({"down"}));
    QCOMPARE(selectedThen, int16_t(-1));  // before the click selected its tile
    QCOMPARE(form.SelectedTile, a);
}

void WhatThePlayerSeesTest::aPictureBackgroundWithNoPictureShowsTheColour() {
    // A stored path that is empty, missing or no picture, and a picture
    // held and then let go.
    for (const char* image : {"", "missing.bmp", "junk.gif", "skin.bmp"}) {
        MainWindowFixture f;
        QFile junk(f.Folder.filePath("junk.gif"));
        QVERIFY(junk.open(QIODevice::WriteOnly) && junk.write("GIF89a and no more") > 0);
        junk.close();
        QImage(40, 30, QImage::Format_RGB32).save(f.Folder.filePath("skin.bmp"));
        f.Store("Background", "True");
        f.Store("Background Colour", QString::number(0x3366CC));
        f.Store("Background Image", *image ? f.Folder.filePath(image) : QString());
        frmMain& form = f.Open();
        form.SetSkinPicture(QImage());
        form.Engine().RefreshBoard();
        const Surface& board = form.BoardPicture();
        QCOMPARE(board.Pixel(0, 0), uint32_t(0x3366CC));
        QCOMPARE(board.Pixel(board.ScaleWidth() - 1, board.ScaleHeight() - 1), uint32_t(0x3366CC));
    }
}

void WhatThePlayerSeesTest::theLayoutListShowsEveryNameWithoutScrolling() {
    MainWindowFixture f;
    frmMain& form = f.Open();
    form.cmbPattern->showPopup();
    QAbstractItemView* view = form.cmbPattern->view();
    QTRY_VERIFY(view->isVisible());
    QCOMPARE(view->model()->rowCount(), 11);
    QCOMPARE(view->verticalScrollBar()->maximum(), 0);
    for (int row = 0; row < 11; ++row)
        QVERIFY(view->viewport()->rect().contains(view->visualRect(view->model()->index(row, 0))));
    form.cmbPattern->hidePopup();
}

void WhatThePlayerSeesTest::buttonPicturesShowNoGreySquareAtAnyScale() {
    MainWindowFixture f;
    frmMain& form = f.Open();
    const QRgb grey = QImage(":/buttons/new.bmp").pixel(0, 15);
    const std::pair<QPushButton*, const char*> buttons[] = {
        {form.btnNew, "new"}, {form.btnHint, "hint"}, {form.btnBack, "back"}, {form.btnBackground, "background"},
        {form.btnSound, "sound"}, {form.btnNoSound, "nosound"}, {form.Command1, "help"}};
    for (const auto& [button, name] : buttons) {
        // Wherever the picture has the grey, its button picture is clear.
        const QImage source(QStringLiteral(":/buttons/%1.bmp").arg(QLatin1String(name)));
        const QImage picture = button->icon().pixmap(source.size()).toImage();
        QCOMPARE(picture.size(), source.size());
        int opaque = 0;
        for (int y = 0; y < source.height(); ++y)
            for (int x = 0; x < source.width(); ++x)
                opaque += source.pixel(x, y) == grey && qAlpha(picture.pixel(x, y)) != 0;
        QVERIFY2(opaque == 0, qPrintable(QStringLiteral("%1: %2 opaque pixels").arg(name).arg(opaque)));
        QPalette face = button->palette();
        face.setColor(QPalette::Button, QColor(0x20, 0x40, 0xA0));
        button->setPalette(face);
        for (const qreal scale : {1.0, 1.5, 2.0, 3.0}) {
            QPixmap shot(button->size() * scale);
            shot.setDevicePixelRatio(scale);
            shot.fill(Qt::black);
            button->render(&shot);
            const QImage image = shot.toImage();
            int greys = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x) greys += (image.pixel(x, y) & 0xFFFFFF) == (grey & 0xFFFFFF);
            QVERIFY2(greys == 0, qPrintable(QStringLiteral("%1 at %2: %3 grey pixels")
                                                .arg(button->toolTip()).arg(scale).arg(greys)));
        }
    }
}

QTEST_MAIN(WhatThePlayerSeesTest)
#include "WhatThePlayerSeesTest.moc"
