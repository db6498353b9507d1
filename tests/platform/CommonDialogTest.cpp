// Our common dialogs on Qt's colour and file dialogs: what is handed in,
// what comes back, the cancel error, and patterns blind to case.
#include <QColorDialog>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include "CommonDialog.h"
#include "DialogTestKit.h"

namespace {

const QString GameFilter =
    QStringLiteral("Bitmap Files (*.bmp)|*.BMP|GIF Files (*.gif)|*.GIF|jpeg Files (*.jpg)|*.JPG");

// How long the file dialog may take to list a folder of five files: less
// than the time the dialog is given to close.
constexpr int ListingLimitMs = ModalLimitMs / 2;

// The names the file dialog shows in its folder, read once it has shown at
// least `count` of them and nothing has changed for 100 ms (it lists the
// folder in the background), or whatever it shows when ListingLimitMs runs out.
QStringList ListedOnceStill(QFileDialog* fd, int count) {
    auto* model = fd->findChild<QFileSystemModel*>();
    const auto shown = [fd, model] {
        QStringList names;
        const QModelIndex folder = model->index(fd->directory().absolutePath());
        for (int r = 0; r < model->rowCount(folder); ++r) names << model->index(r, 0, folder).data().toString();
        return names;
    };
    QStringList last = shown();
    QElapsedTimer still;
    still.start();
    static_cast<void>(QTest::qWaitFor(
        [&] {
            const QStringList now = shown();
            if (now != last) last = now, still.restart();
            return last.size() >= count && still.elapsed() >= 100;
        },
        ListingLimitMs));
    return last;
}

bool Matches(const QString& pattern, const QString& name) {
    const QRegularExpression re(QRegularExpression::wildcardToRegularExpression(pattern));
    return re.match(name).hasMatch();
}

}  // namespace

class CommonDialogTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QuietOffscreenNotices();
        // Qt's dialogs remember their folder, history and view for every Qt
        // program of the user: the game's neither read that (so no other
        // program, nor another copy of this test, decides where the dialog
        // opens) nor write it.
        QVERIFY(home_.isValid());
        qputenv("XDG_CONFIG_HOME", home_.path().toLocal8Bit());
        qputenv("HOME", home_.path().toLocal8Bit());
        ForgetQtDialogStateBetweenRuns();
    }

    void cleanupTestCase() {
        // Both dialogs have been shown and closed by now.
        QCOMPARE(QDir(home_.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
    }

    void filterListSplitsIntoPairs() {
        const QList<FileFilter> pairs = ParseFilter(GameFilter);
        QCOMPARE(pairs.size(), 3);
        QCOMPARE(pairs[0].Description, QStringLiteral("Bitmap Files (*.bmp)"));
        QCOMPARE(pairs[0].Pattern, QStringLiteral("*.BMP"));
        QCOMPARE(pairs[2].Description, QStringLiteral("jpeg Files (*.jpg)"));
        QCOMPARE(pairs[2].Pattern, QStringLiteral("*.JPG"));
        QCOMPARE(ParseFilter(QStringLiteral("All|*.*|dangling")).size(), 1);
        QVERIFY(ParseFilter(QString()).isEmpty());
    }

    void patternsIgnoreCase_data() {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("offered");
        QTest::newRow("photo.jpg") << "*.JPG" << "photo.jpg" << true;
        QTest::newRow("PHOTO.JPG") << "*.JPG" << "PHOTO.JPG" << true;
        QTest::newRow("Photo.Jpg") << "*.JPG" << "Photo.Jpg" << true;
        QTest::newRow("photo.jpeg") << "*.JPG" << "photo.jpeg" << false;
        QTest::newRow("photo.png") << "*.JPG" << "photo.png" << false;
        QTest::newRow("jpg.bmp") << "*.JPG" << "jpg.bmp" << false;
        QTest::newRow("two patterns") << "*.BMP;*.GIF" << "anim.gif" << true;
    }
    void patternsIgnoreCase() {
        QFETCH(QString, pattern);
        QFETCH(QString, name);
        QFETCH(bool, offered);
        const QStringList blind = CaseBlindPattern(pattern).split(QLatin1Char(' '));
        bool any = false;
        for (const QString& one : blind) any = any || Matches(one, name);
        QCOMPARE(any, offered);
    }

    void nameFiltersKeepTheDescriptions() {
        QCOMPARE(QtCommonDialog::NameFilters(GameFilter),
                 (QStringList{QStringLiteral("Bitmap Files (*.bmp) (*.[bB][mM][pP])"),
                              QStringLiteral("GIF Files (*.gif) (*.[gG][iI][fF])"),
                              QStringLiteral("jpeg Files (*.jpg) (*.[jJ][pP][gG])")}));
    }

    // The real file dialog: opened on filter 3 with its title, it offers the
    // JPEG files whatever the case of their names, and nothing else.
    void fileDialogOffersJpegFilesOfAnyCase() {
        QTemporaryDir dir;
        for (const char* name : {"photo.jpg", "SHOT.JPG", "Mixed.Jpg", "pic.bmp", "notes.txt"}) {
            QFile file(dir.filePath(QString::fromLatin1(name)));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        const QString previous = QDir::currentPath();
        QDir::setCurrent(dir.path());

        QtCommonDialog common;
        common.DialogTitle = QStringLiteral("Select Graphic File");
        common.Filter = GameFilter;
        common.FilterIndex = 3;
        common.Flags = cdlOFNFileMustExist;
        common.CancelError = true;

        QStringList offered;
        QString title, shownFilter, folder;
        QStringList filterBox;
        QFileDialog::FileMode mode = QFileDialog::AnyFile;
        const ModalWait listing = WhenModal<QFileDialog>([&](QFileDialog* fd) {
            title = fd->windowTitle();
            shownFilter = fd->selectedNameFilter();
            // What the player reads in the filter box: the descriptions alone.
            const auto* box = fd->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
            for (int i = 0; box && i < box->count(); ++i) filterBox << box->itemText(i);
            if (box) filterBox << box->currentText();
            mode = fd->fileMode();
            folder = fd->directory().absolutePath();
            offered = ListedOnceStill(fd, 3);
            fd->reject();
        });
        QCOMPARE(common.ShowOpen(), cdlCancel);
        QCOMPARE(folder, dir.path());
        offered.sort();
        QVERIFY2(offered == (QStringList{"Mixed.Jpg", "SHOT.JPG", "photo.jpg"}),
                 qPrintable(QStringLiteral("within %1 ms the dialog listed [%2], not the three JPEG files")
                                .arg(ListingLimitMs)
                                .arg(offered.join(QStringLiteral(", ")))));
        QCOMPARE(title, QStringLiteral("Select Graphic File"));
        QVERIFY(shownFilter.startsWith(QStringLiteral("jpeg Files (*.jpg)")));
        QCOMPARE(filterBox, (QStringList{"Bitmap Files (*.bmp)", "GIF Files (*.gif)", "jpeg Files (*.jpg)", "jpeg Files (*.jpg)"}));
        QCOMPARE(mode, QFileDialog::ExistingFile);
        QCOMPARE(common.FileName, QString());

        // A pick gives back the full path. The name is typed, as a player
        // does: once the box has the focus, selectFile leaves the name alone.
        const ModalWait pick = WhenModal<QFileDialog>([&](QFileDialog* fd) {
            fd->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(QStringLiteral("Mixed.Jpg"));
            QMetaObject::invokeMethod(fd, "accept");
        });
        QCOMPARE(common.ShowOpen(), 0);
        QCOMPARE(common.FileName, dir.filePath("Mixed.Jpg"));

        // Cancelled with the switch off: no error and no change.
        common.CancelError = false;
        const ModalWait cancel = WhenModal<QFileDialog>([](QFileDialog* fd) { fd->reject(); });
        QCOMPARE(common.ShowOpen(), 0);
        QCOMPARE(common.FileName, dir.filePath("Mixed.Jpg"));
        QDir::setCurrent(previous);
    }

    // The colour dialog opens on the colour handed in and gives back the
    // pick as &HBBGGRR; a cancel is the error 32755 with the switch on.
    void colourDialog() {
        QtCommonDialog common;
        common.CancelError = true;
        common.Color = 0x123456;
        QColor shown;
        const ModalWait pick = WhenModal<QColorDialog>([&](QColorDialog* cd) {
            shown = cd->currentColor();
            cd->setCurrentColor(QColor(0x10, 0x20, 0x30));
            cd->accept();
        });
        QCOMPARE(common.ShowColor(), 0);
        QCOMPARE(shown, QColor(0x56, 0x34, 0x12));
        QCOMPARE(common.Color, 0x302010);

        const ModalWait cancel = WhenModal<QColorDialog>([](QColorDialog* cd) {
            cd->setCurrentColor(Qt::white);
            cd->reject();
        });
        QCOMPARE(common.ShowColor(), cdlCancel);
        QCOMPARE(common.Color, 0x302010);

        common.CancelError = false;
        const ModalWait quietCancel = WhenModal<QColorDialog>([](QColorDialog* cd) { cd->reject(); });
        QCOMPARE(common.ShowColor(), 0);
        QCOMPARE(common.Color, 0x302010);
    }

private:
    QTemporaryDir home_;
};

QTEST_MAIN(CommonDialogTest)
#include "CommonDialogTest.moc"
