// The "Background" dialog with a scripted common dialog: what it shows on
// opening, what each handler changes, and that only OK writes.
#include <QCheckBox>
#include <QImageWriter>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>
#include <deque>
#include <memory>

#include "../engine/TestHost.h"
#include "CommonDialog.h"
#include "DialogTestKit.h"
#include "PictureFiles.h"
#include "frmSkin.h"
#include "modTile.h"

namespace {

// What the player does in the next colour or file dialog.
struct Pick {
    int error = 0;          // 0, cdlCancel or any other failure
    int32_t colour = 0;     // left in Color
    QString file;           // left in FileName
};

// The properties the dialog held when a Show was called.
struct OpenCall {
    QString title, filter, fileName;
    int filterIndex = 0, flags = 0;
    bool cancelError = false;
};

class ScriptedDialog : public CommonDialog {
public:
    std::deque<Pick> colours, files;
    QList<int32_t> colourHandedIn;
    QList<OpenCall> opens;

    int ShowColor() override {
        colourHandedIn.append(Color);
        const Pick pick = Take(colours);
        if (pick.error == cdlCancel && !CancelError) return 0;
        if (pick.error != cdlCancel) Color = pick.colour;
        return pick.error;
    }
    int ShowOpen() override {
        opens.append({DialogTitle, Filter, FileName, FilterIndex, Flags, CancelError});
        const Pick pick = Take(files);
        if (pick.error == cdlCancel && !CancelError) return 0;
        if (pick.error == 0) FileName = pick.file;
        return pick.error;
    }

private:
    static Pick Take(std::deque<Pick>& queue) {
        if (queue.empty()) return {cdlCancel, 0, {}};
        Pick pick = queue.front();
        queue.pop_front();
        return pick;
    }
};

class FakeSkin : public SkinHolder {
public:
    QImage picture;
    int writes = 0;
    QImage SkinPicture() const override { return picture; }
    void SetSkinPicture(const QImage& image) override {
        picture = image;
        ++writes;
    }
};

QImage Filled(int w, int h, QColor colour) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

// The committed values, to see that nothing moved.
struct Committed {
    int32_t colour;
    std::string image;
    bool isImage, stretch;
    qint64 skinKey;
    bool operator==(const Committed&) const = default;
};

}  // namespace

class BackgroundDialogTest : public QObject {
    Q_OBJECT

    QWidget mainWindow;
    QTemporaryDir dir;
    QString greenBmp, blueJpg, notAPicture;

    FakeHost host;
    ScriptedRandom random;
    FakeClock clock;
    std::unique_ptr<modTile> engine;
    FakeSkin skin;
    ScriptedDialog dialog;
    int beeps = 0;

    std::unique_ptr<frmSkin> Open() {
        auto box = std::make_unique<frmSkin>(&mainWindow, *engine, skin, dialog);
        box->SetBeep([this] { ++beeps; });
        return box;
    }

    Committed Snapshot() const {
        return {engine->BackgroundColour, engine->BackgroundImage, engine->BackgroundIsImage,
                engine->ImageStretch, skin.picture.cacheKey()};
    }

    static QColor Swatch(frmSkin& box) {
        return box.Shape1->palette().color(QPalette::Window);
    }

private slots:
    void initTestCase() {
        mainWindow.resize(600, 460);
        mainWindow.move(20, 10);
        mainWindow.show();
        QVERIFY(QTest::qWaitForWindowExposed(&mainWindow));
        greenBmp = dir.filePath("green.bmp");
        QVERIFY(Filled(40, 30, Qt::green).save(greenBmp, "bmp"));
        blueJpg = dir.filePath("blue.jpg");
        QVERIFY(Filled(20, 10, Qt::blue).save(blueJpg, "jpeg"));
        notAPicture = dir.filePath("notes.jpg");
        QFile notes(notAPicture);
        QVERIFY(notes.open(QIODevice::WriteOnly));
        notes.write("not a picture\n");
    }

    void init() {
        engine = std::make_unique<modTile>(host, random, clock);
        skin = FakeSkin();
        dialog = ScriptedDialog();
        beeps = 0;
    }

    void controlsAtTheirPlaces() {
        auto box = Open();
        QCOMPARE(box->windowTitle(), QStringLiteral("Background"));
        QCOMPARE(box->size(), QSize(475, 377));
        struct Row { QWidget* control; QRect at; QString caption; };
        const Row rows[] = {
            {box->Frame1, {8, 8, 457, 329}, {}},
            {box->Option1, {24, 32, 113, 17}, "Solid Background"},
            {box->Frame2, {48, 48, 401, 105}, {}},
            {box->Shape1, {64, 72, 65, 65}, {}},
            {box->btnColour, {144, 72, 153, 25}, "Choose Colour"},
            {box->Option2, {24, 168, 145, 17}, "Image from file"},
            {box->Frame3, {48, 184, 401, 129}, {}},
            {box->lblFile, {56, 200, 385, 17}, {}},
            {box->btnFile, {56, 224, 153, 25}, "Choose File"},
            {box->picPreview, {232, 224, 113, 81}, {}},
            {box->chkStretch, {56, 280, 145, 17}, "Stretch Image"},
            {box->btnOK, {8, 344, 65, 25}, "OK"},
            {box->btnCancel, {88, 344, 65, 25}, "Cancel"},
        };
        for (const Row& row : rows) {
            const QRect at(row.control->mapTo(box.get(), QPoint(0, 0)), row.control->size());
            QCOMPARE(at, row.at);
            if (auto* button = qobject_cast<QAbstractButton*>(row.control)) QCOMPARE(button->text(), row.caption);
        }
        QVERIFY(box->btnOK->isDefault());
        // The colour button lies over the colour frame, the picture frame over the mode frame.
        QCOMPARE(box->btnColour->parentWidget(), box.get());
        QCOMPARE(box->Frame3->parentWidget(), box.get());
        QCOMPARE(box->Option1->parentWidget(), box->Option2->parentWidget());
        QCOMPARE(TextsOutOfTheRegularFont(*box), QStringList());
    }

    // Main window outer 604 x 464, box outer 479 x 381 (the offscreen frame
    // adds 4): 125 pixels wider, so the half keeps 62.5 pixels and rounds up
    // to 63; 83 higher, 41.5 up to 42.
    void centredKeepingTheHalf() {
        auto box = Open();
        QCOMPARE(box->pos(), QPoint(20 + 63, 10 + 42));
    }

    void firstRunOpening() {
        auto box = Open();
        QCOMPARE(Swatch(*box), QColor(0, 128, 0));
        QCOMPARE(box->ChosenColour, 32768);
        QCOMPARE(box->lblFile->text(), QString());
        QVERIFY(box->PreviewPicture.isNull());
        QVERIFY(box->picPreview->pixmap().isNull());
        QVERIFY(!box->chkStretch->isChecked());
        QVERIFY(box->Option1->isChecked());
        QVERIFY(!box->Option2->isChecked());
        QVERIFY(dialog.CancelError);
        QCOMPARE(dialog.Owner, box.get());

        // The swatch shows its colour inside a one-pixel black border.
        box->show();
        QVERIFY(QTest::qWaitForWindowExposed(box.get()));
        const QImage shot = box->grab().toImage();
        QCOMPARE(QColor(shot.pixel(96, 104)), QColor(0, 128, 0));
        QCOMPARE(QColor(shot.pixel(65, 73)), QColor(0, 128, 0));
        QCOMPARE(QColor(shot.pixel(64, 72)), QColor(Qt::black));
        QCOMPARE(QColor(shot.pixel(128, 136)), QColor(Qt::black));
    }

    void openingInPictureMode() {
        engine->BackgroundColour = 0x123456;
        engine->BackgroundImage = greenBmp.toStdString();
        engine->BackgroundIsImage = true;
        engine->ImageStretch = true;
        skin.picture = Filled(40, 30, Qt::green);
        auto box = Open();
        QCOMPARE(Swatch(*box), QColor(0x56, 0x34, 0x12));
        QCOMPARE(box->ChosenFile, greenBmp);
        QCOMPARE(box->lblFile->text(), greenBmp);
        QCOMPARE(box->PreviewPicture.cacheKey(), skin.picture.cacheKey());
        QVERIFY(box->chkStretch->isChecked());
        QVERIFY(box->Option2->isChecked());
        QVERIFY(!box->btnColour->isEnabled());
        QVERIFY(box->btnFile->isEnabled() && box->lblFile->isEnabled() && box->chkStretch->isEnabled());

        // The preview fills its box with the picture.
        box->show();
        QVERIFY(QTest::qWaitForWindowExposed(box.get()));
        const QImage shot = box->grab().toImage();
        QCOMPARE(QColor(shot.pixel(232, 224)), QColor(Qt::green));
        QCOMPARE(QColor(shot.pixel(344, 304)), QColor(Qt::green));
    }

    // Clicking the option buttons switches the enabling; frames, swatch and
    // preview stay enabled; no working value moves.
    void enablingFollowsTheMode() {
        auto box = Open();
        box->show();
        QVERIFY(QTest::qWaitForWindowExposed(box.get()));
        for (const bool picture : {true, false, true}) {
            QTest::mouseClick(picture ? box->Option2 : box->Option1, Qt::LeftButton, {}, QPoint(5, 8));
            QCOMPARE(box->Option2->isChecked(), picture);
            QCOMPARE(box->btnColour->isEnabled(), !picture);
            QCOMPARE(box->btnFile->isEnabled(), picture);
            QCOMPARE(box->lblFile->isEnabled(), picture);
            QCOMPARE(box->chkStretch->isEnabled(), picture);
            for (QWidget* w : {static_cast<QWidget*>(box->Frame1), static_cast<QWidget*>(box->Frame2),
                               static_cast<QWidget*>(box->Frame3), static_cast<QWidget*>(box->Shape1),
                               static_cast<QWidget*>(box->picPreview), static_cast<QWidget*>(box->Option1),
                               static_cast<QWidget*>(box->Option2)})
                QVERIFY(w->isEnabled());
            QCOMPARE(box->ChosenColour, 32768);
            QCOMPARE(box->ChosenFile, QString());
        }
        // The arrow keys choose a mode as a click does.
        box->Option2->setFocus();
        QTest::keyClick(box->Option2, Qt::Key_Up);
        QVERIFY(box->Option1->isChecked());
        QVERIFY(box->btnColour->isEnabled() && !box->btnFile->isEnabled());
    }

    // Two colour choices, the second cancelled: the first stays. A failing
    // dialog leaves whatever colour it holds.
    void colourChoices() {
        auto box = Open();
        dialog.colours = {{0, 0x0000FF, {}}, {cdlCancel, 0, {}}, {7, 0x00FF00, {}}};
        box->btnColour_Click();
        QCOMPARE(box->ChosenColour, 0x0000FF);
        QCOMPARE(Swatch(*box), QColor(255, 0, 0));
        box->btnColour_Click();
        QCOMPARE(box->ChosenColour, 0x0000FF);
        QCOMPARE(Swatch(*box), QColor(255, 0, 0));
        box->btnColour_Click();
        QCOMPARE(box->ChosenColour, 0x00FF00);
        QCOMPARE(Swatch(*box), QColor(0, 255, 0));
        QCOMPARE(dialog.colourHandedIn, (QList<int32_t>{32768, 0x0000FF, 0x0000FF}));
        QCOMPARE(engine->BackgroundColour, 32768);
    }

    // Every file dialog opens the same way, whatever was chosen before.
    void fileDialogOpensOnJpegWithNoName() {
        engine->BackgroundIsImage = true;
        auto box = Open();
        dialog.files = {{0, 0, greenBmp}, {cdlCancel, 0, {}}, {0, 0, blueJpg}};
        for (int i = 0; i < 3; ++i) box->btnFile_Click();
        QCOMPARE(dialog.opens.size(), 3);
        for (const OpenCall& call : dialog.opens) {
            QCOMPARE(call.title, QStringLiteral("Select Graphic File"));
            QCOMPARE(call.filter, QStringLiteral(
                "Bitmap Files (*.bmp)|*.BMP|GIF Files (*.gif)|*.GIF|jpeg Files (*.jpg)|*.JPG"));
            QCOMPARE(call.filterIndex, 3);
            QCOMPARE(call.fileName, QString());
            QCOMPARE(call.flags, 4096);
            QVERIFY(call.cancelError);
        }
        QCOMPARE(box->ChosenFile, blueJpg);
    }

    void pickedFileShowsInLabelAndPreview() {
        engine->BackgroundIsImage = true;
        auto box = Open();
        dialog.files = {{0, 0, greenBmp}};
        QVERIFY(box->GetExistingFileName());
        QCOMPARE(box->ChosenFile, greenBmp);
        QCOMPARE(box->lblFile->text(), QString());  // only btnFile_Click shows it

        dialog.files = {{0, 0, blueJpg}};
        box->btnFile_Click();
        QCOMPARE(box->ChosenFile, blueJpg);
        QCOMPARE(box->lblFile->text(), blueJpg);
        QCOMPARE(box->PreviewPicture.size(), QSize(20, 10));
        QVERIFY(!box->picPreview->pixmap().isNull());
        QCOMPARE(beeps, 0);
    }

    // A cancelled dialog, or one giving back an empty name, changes nothing.
    void cancelledOrEmptyFileChangesNothing() {
        engine->BackgroundImage = "/old/path.bmp";
        engine->BackgroundIsImage = true;
        auto box = Open();
        dialog.files = {{cdlCancel, 0, {}}, {0, 0, QString()}, {5, 0, greenBmp}};
        for (int i = 0; i < 3; ++i) {
            QVERIFY(!box->GetExistingFileName());
            QCOMPARE(box->ChosenFile, QStringLiteral("/old/path.bmp"));
        }
        dialog.files = {{cdlCancel, 0, {}}};
        box->btnFile_Click();
        QCOMPARE(box->lblFile->text(), QStringLiteral("/old/path.bmp"));
        QCOMPARE(beeps, 0);
    }

    // A picked file that is no picture, or one of more scans than any real
    // JPEG, changes nothing and beeps; OK then commits what was there before.
    void unloadableFileChangesNothing() {
        engine->BackgroundImage = greenBmp.toStdString();
        engine->BackgroundIsImage = true;
        skin.picture = Filled(40, 30, Qt::green);
        const qint64 before = skin.picture.cacheKey();
        const QString scans = dir.filePath("scans.jpg");
        QFile scansFile(scans);
        QVERIFY(scansFile.open(QIODevice::WriteOnly));
        scansFile.write(picture_files::OneLevelJpeg(16, 1, true, 300));
        scansFile.close();
        auto box = Open();
        dialog.files = {{0, 0, notAPicture}, {0, 0, dir.filePath("gone.jpg")}, {0, 0, scans}};
        box->btnFile_Click();
        QCOMPARE(beeps, 1);
        box->btnFile_Click();
        QCOMPARE(beeps, 2);
        box->btnFile_Click();
        QCOMPARE(beeps, 3);
        QCOMPARE(box->ChosenFile, greenBmp);
        QCOMPARE(box->lblFile->text(), greenBmp);
        QCOMPARE(box->PreviewPicture.cacheKey(), before);
        box->btnOK_Click();
        QCOMPARE(engine->BackgroundImage, greenBmp.toStdString());
        QCOMPARE(skin.picture.cacheKey(), before);
    }

    // Cancel, Esc and the close box write nothing, whatever was changed.
    void onlyOkWrites_data() {
        QTest::addColumn<int>("way");
        QTest::newRow("Cancel") << 0;
        QTest::newRow("Esc") << 1;
        QTest::newRow("close box") << 2;
    }
    void onlyOkWrites() {
        QFETCH(int, way);
        engine->BackgroundImage = "/kept.bmp";
        const Committed before = Snapshot();
        auto box = Open();
        box->show();
        QVERIFY(QTest::qWaitForWindowExposed(box.get()));
        dialog.colours = {{0, 0xFF, {}}};
        dialog.files = {{0, 0, greenBmp}};
        box->btnColour_Click();
        box->Option2->click();
        box->btnFile_Click();
        box->chkStretch->click();
        QVERIFY(box->chkStretch->isChecked());
        switch (way) {
        case 0: QTest::mouseClick(box->btnCancel, Qt::LeftButton); break;
        case 1: QTest::keyClick(box.get(), Qt::Key_Escape); break;
        case 2: box->close(); break;
        }
        QVERIFY(box->isHidden());
        QCOMPARE(box->result(), int(QDialog::Rejected));
        QVERIFY(Snapshot() == before);
        QCOMPARE(skin.writes, 0);
    }

    // OK in solid mode after choosing a file: the colour and the stretch
    // switch are taken, the file and picture are not.
    void okInSolidModeCommitsColourAndStretchOnly() {
        engine->BackgroundImage = "/kept.bmp";
        engine->BackgroundIsImage = true;
        skin.picture = Filled(4, 4, Qt::red);
        const qint64 keptSkin = skin.picture.cacheKey();
        auto box = Open();
        box->show();
        dialog.files = {{0, 0, greenBmp}};
        box->btnFile_Click();
        box->chkStretch->click();
        box->Option1->click();
        QVERIFY(!box->chkStretch->isEnabled());
        dialog.colours = {{0, 0x00FFFF, {}}};
        box->btnColour_Click();
        QTest::keyClick(box.get(), Qt::Key_Return);  // Enter is OK
        QVERIFY(box->isHidden());
        QCOMPARE(engine->BackgroundIsImage, false);
        QCOMPARE(engine->BackgroundColour, 0x00FFFF);
        QCOMPARE(engine->BackgroundImage, std::string("/kept.bmp"));
        QCOMPARE(skin.writes, 0);
        QCOMPARE(skin.picture.cacheKey(), keptSkin);
        QCOMPARE(engine->ImageStretch, true);
    }

    // OK in picture mode without choosing a file: the path shown on opening
    // (byte for byte, an old name in Latin-1 too) with the picture the holder
    // already had; a chosen colour is not taken.
    void okInPictureModeWithoutAFileKeepsTheOpeningPath() {
        engine->BackgroundImage = "/stored/caf\xE9.jpg";
        engine->ImageStretch = true;
        auto box = Open();
        dialog.colours = {{0, 0x0000FF, {}}};
        box->btnColour_Click();
        box->Option2->click();
        box->chkStretch->click();
        box->btnOK_Click();
        QCOMPARE(engine->BackgroundIsImage, true);
        QCOMPARE(engine->BackgroundImage, std::string("/stored/caf\xE9.jpg"));
        QCOMPARE(engine->BackgroundColour, 32768);
        QCOMPARE(engine->ImageStretch, false);
        QCOMPARE(skin.writes, 1);
        QVERIFY(skin.picture.isNull());  // no picture was loaded this run
    }

    void okInPictureModeCommitsThePreviewItself() {
        auto box = Open();
        box->Option2->click();
        dialog.files = {{0, 0, blueJpg}};
        box->btnFile_Click();
        const qint64 preview = box->PreviewPicture.cacheKey();
        QTest::mouseClick(box->btnOK, Qt::LeftButton);
        QCOMPARE(engine->BackgroundIsImage, true);
        QCOMPARE(engine->BackgroundImage, blueJpg.toStdString());
        QCOMPARE(skin.picture.cacheKey(), preview);
        QCOMPARE(skin.picture.size(), QSize(20, 10));
    }

    // Shown modally, Enter ends the showing through OK and Esc through Cancel.
    void modalEnterAndEsc() {
        for (const bool enter : {true, false}) {
            init();
            auto box = Open();
            dialog.colours = {{0, 0x000080, {}}};
            box->btnColour_Click();
            const ModalWait keys = WhenModal<QDialog>(
                [enter](QDialog* modal) { QTest::keyClick(modal, enter ? Qt::Key_Return : Qt::Key_Escape); });
            const int result = box->exec();
            QCOMPARE(result, enter ? int(QDialog::Accepted) : int(QDialog::Rejected));
            QCOMPARE(engine->BackgroundColour, enter ? 0x000080 : 32768);
        }
    }

    void ownerForgottenWhenTheDialogGoes() {
        { auto box = Open(); }
        QCOMPARE(dialog.Owner, nullptr);
    }
};

QTEST_MAIN(BackgroundDialogTest)
#include "BackgroundDialogTest.moc"
