// The settings file survives whatever happens to the program while it
// saves: killed outright at any moment it is always one whole file, the
// old values or the new, and the next save clears what the kill left; a
// change the player made (the sound, the tile set, the background) is kept
// however the run ends (killed, crashed, its display gone); and a
// configuration folder the program may not write to lets the close go on,
// keeps the old file as it was and says so.
//
// The program here is this test's own binary started again as a child
// (TT_SAVER_FILE names the settings file it works on), so the kill lands in
// a real process that holds a real main window.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

#include "HangGuard.h"
#include "MainWindowFixture.h"
#include "Settings.h"
#include "frmSkin.h"

namespace {

// Two sets of the seven values that differ in every one; the second makes a
// file many times longer, so a write cut short would show.
struct ValueSet {
    const char* Pattern;
    const char* TileSet;
    int32_t Colour;
    QString Image;
    bool IsImage, Stretch, Sound;
};
ValueSet Set(int which) {
    if (which == 0) return {"Classic", "Cards", 32768, QStringLiteral("/pictures/a.bmp"), false, false, true};
    return {"Great Wall", "Scanned Tiles", -16777216,
            QStringLiteral("/pictures/") + QString(4000, QChar(0x5854)) + QStringLiteral(".jpg"), true, true, false};
}

void Apply(frmMain& form, const ValueSet& v) {
    form.cmbPattern->SetText(QString::fromUtf8(v.Pattern));
    form.cmbTileSet->SetText(QString::fromUtf8(v.TileSet));
    modTile& e = form.Engine();
    e.BackgroundColour = v.Colour;
    e.BackgroundImage = v.Image.toStdString();
    e.BackgroundIsImage = v.IsImage;
    e.ImageStretch = v.Stretch;
    e.SoundOn = v.Sound;
}

QByteArray Contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

// The file the program writes for a value set, made by the program's own save.
QByteArray FileFor(int which) {
    MainWindowFixture f;
    frmMain& form = f.Open(false);
    Apply(form, Set(which));
    SaveSettings(form);
    return Contents(f.SettingsFile());
}

struct Child {
    RecordingSound Sound;
    HandClock TimeOfDay;
    CountingRandom Random;
    ScriptedDialog Dialog;
};

// The child's work: save the two value sets in turn for ever, telling the
// parent whether the first save went through.
int SaveForever(const QString& path) {
    Child c;
    frmMain form(MainServices{c.Sound, c.Dialog, c.TimeOfDay, c.Random, path});
    for (long n = 0;; ++n) {
        Apply(form, Set(static_cast<int>(n % 2)));
        const bool saved = SaveSettings(form);
        if (n == 0) {
            std::fputs(saved ? "saved\n" : "not saved\n", stdout);
            std::fflush(stdout);
        }
    }
}

// Answers the background box, once it is up, with a red colour and the
// picture stretched, then OK.
void AnswerBackgroundBoxWithRed() {
    auto* box = qobject_cast<frmSkin*>(QApplication::activeModalWidget());
    if (!box) {
        QTimer::singleShot(10, AnswerBackgroundBoxWithRed);
        return;
    }
    box->ChosenColour = 255;
    box->chkStretch->setChecked(true);
    box->btnOK->click();
}

// The child's work for a run that ends without its close: the player turns
// the sound off, picks a tile set and a background colour, then the run
// ends as `how` says.
int ChangeAndEnd(const QString& path, const QString& how) {
    Child c;
    frmMain form(MainServices{c.Sound, c.Dialog, c.TimeOfDay, c.Random, path});
    form.show();
    QCoreApplication::processEvents();
    form.btnNoSound->click();
    form.cmbTileSet->setCurrentText(QStringLiteral("Cards"));
    emit form.cmbTileSet->Click();
    QTimer::singleShot(0, AnswerBackgroundBoxWithRed);
    form.btnBackground->click();
    if (how == QLatin1String("exit")) std::exit(1);  // as Qt does when the display goes away
    std::fputs("changed\n", stdout);
    std::fflush(stdout);
    for (;;) QThread::sleep(1);
}

// The child's work in a folder it may not write to: load, change every
// value, close. Exit code 0 when the close went through.
int CloseInReadOnlyFolder(const QString& path) {
    Child c;
    frmMain form(MainServices{c.Sound, c.Dialog, c.TimeOfDay, c.Random, path});
    form.show();
    Apply(form, Set(1));
    return form.close() ? 0 : 3;
}

// The superuser writes wherever it likes: the child that must meet a
// read-only folder becomes an ordinary user first.
bool BecomeOrdinaryUser() {
    if (geteuid() != 0) return true;
    return setgid(65534) == 0 && setuid(65534) == 0;
}

QProcess* StartChild(const QString& mode, const QString& path, const QString& how = QString()) {
    auto* child = new QProcess;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TT_SAVER_MODE"), mode);
    env.insert(QStringLiteral("TT_SAVER_FILE"), path);
    env.insert(QStringLiteral("TT_SAVER_END"), how);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    child->setProcessEnvironment(env);
    child->start(QCoreApplication::applicationFilePath(), {});
    return child;
}

}  // namespace

class SettingsDurabilityTest : public QObject {
    Q_OBJECT
private slots:
    void aSaveKilledAtAnyMomentLeavesOneWholeFile() {
        const int rounds = qEnvironmentVariableIntValue("TT_DURABILITY_ROUNDS") > 0
                               ? qEnvironmentVariableIntValue("TT_DURABILITY_ROUNDS")
                               : 40;
        const QByteArray old = FileFor(0), fresh = FileFor(1);
        QVERIFY(old.size() > 100 && fresh.size() > 10 * old.size());
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("Tavelorn Tiles.ini"));
        int oldSeen = 0, freshSeen = 0;
        for (int round = 0; round < rounds; ++round) {
            std::unique_ptr<QProcess> child(StartChild(QStringLiteral("save"), path));
            QVERIFY2(child->waitForStarted(10000), "the child did not start within 10 s");
            QVERIFY2(child->waitForReadyRead(20000), "the child never saved");
            // What the last kill left over is cleared at once, never waited for.
            QVERIFY2(child->readLine() == "saved\n",
                     qPrintable(QStringLiteral("round %1: the first save did not go through").arg(round)));
            // Anywhere from at once to a few dozen saves later, spread the
            // same way on every run.
            QThread::usleep(static_cast<unsigned long>(round * 7919 % 20000));
            ::kill(static_cast<pid_t>(child->processId()), SIGKILL);
            QVERIFY2(child->waitForFinished(10000), "the child was still there 10 s after SIGKILL");
            QCOMPARE(child->exitStatus(), QProcess::CrashExit);

            const QByteArray now = Contents(path);
            QVERIFY2(now == old || now == fresh,
                     qPrintable(QStringLiteral("round %1: a file of %2 bytes that is neither").arg(round).arg(now.size())));
            (now == old ? oldSeen : freshSeen)++;
        }
        // Besides the file, a kill may leave the lock and, between writing
        // the new file and putting it in place, that file under a temporary
        // name; it is never read, and the next save clears both.
        const QStringList left = QDir(folder.path()).entryList(QDir::Files | QDir::Hidden);
        qInfo("%d kills: %d left the one set, %d the other; files in the folder: %s", rounds, oldSeen, freshSeen,
              qPrintable(left.join(QStringLiteral(", "))));
        QVERIFY(oldSeen + freshSeen == rounds);
        Child c;
        frmMain form(MainServices{c.Sound, c.Dialog, c.TimeOfDay, c.Random, path});
        SaveSettings(form);
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("Tavelorn Tiles.ini")});
    }

    void aChangeIsKeptWhenTheRunEndsWithoutItsClose_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("killed") << "KILL";
        QTest::newRow("crashed") << "SEGV";
        QTest::newRow("its display gone (exit code 1)") << "exit";
    }

    void aChangeIsKeptWhenTheRunEndsWithoutItsClose() {
        QFETCH(QString, how);
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("Tavelorn Tiles.ini"));
        std::unique_ptr<QProcess> child(StartChild(QStringLiteral("change"), path, how));
        QVERIFY(child->waitForStarted());
        if (how != QLatin1String("exit")) {
            QVERIFY2(child->waitForReadyRead(20000), "the child never changed a setting");
            ::kill(static_cast<pid_t>(child->processId()), how == QLatin1String("KILL") ? SIGKILL : SIGSEGV);
        }
        QVERIFY(child->waitForFinished(10000));
        QSettings store(path, QSettings::IniFormat);
        QCOMPARE(store.value(QStringLiteral("Settings/Sound")).toString(), QStringLiteral("False"));
        QCOMPARE(store.value(QStringLiteral("Settings/TileSet")).toString(), QStringLiteral("Cards"));
        QCOMPARE(store.value(QStringLiteral("Settings/Background Colour")).toString(), QStringLiteral("255"));
        QCOMPARE(store.value(QStringLiteral("Settings/Image Stretch")).toString(), QStringLiteral("True"));
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("Tavelorn Tiles.ini")});
    }

    // A kill just as the lock is taken leaves an empty lock file. The next
    // close must neither hang on it (the store's own wait is half a minute;
    // ten seconds is a bound no working save comes near) nor lose the save.
    void aLockLeftEmptyByAKilledSaveDoesNotHoldUpTheNextClose() {
        MainWindowFixture f;
        frmMain& form = f.Open();
        {
            QFile lock(f.SettingsFile() + QStringLiteral(".lock"));
            QVERIFY(lock.open(QIODevice::WriteOnly));
        }
        form.cmbPattern->SetText(QStringLiteral("Block"));
        QElapsedTimer clock;
        clock.start();
        {
            const HangGuard guard(std::chrono::seconds(10), "the close was held up 10 s by an empty lock");
            QVERIFY(form.close());
        }
        QVERIFY2(clock.elapsed() < 10000, qPrintable(QStringLiteral("the close took %1 ms").arg(clock.elapsed())));
        QCOMPARE(f.Stored(QStringLiteral("Pattern")), QStringLiteral("Block"));
    }

    void aReadOnlyFolderLetsTheCloseGoOnAndKeepsTheOldFile() {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("Tavelorn Tiles.ini"));
        const QByteArray old = FileFor(0);
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(old);
        }
        // The folder and file belong to the user the child becomes.
        if (geteuid() == 0) {
            QVERIFY(::chown(QFile::encodeName(folder.path()).constData(), 65534, 65534) == 0);
            QVERIFY(::chown(QFile::encodeName(path).constData(), 65534, 65534) == 0);
        }
        QVERIFY(::chmod(QFile::encodeName(path).constData(), 0644) == 0);
        QVERIFY(::chmod(QFile::encodeName(folder.path()).constData(), 0555) == 0);

        std::unique_ptr<QProcess> child(StartChild(QStringLiteral("read-only"), path));
        const bool finished = child->waitForFinished(30000);
        ::chmod(QFile::encodeName(folder.path()).constData(), 0755);
        QVERIFY2(finished, "the game on a read-only folder did not close within 30 s");
        QCOMPARE(child->exitStatus(), QProcess::NormalExit);
        QCOMPARE(child->exitCode(), 0);
        // The reason named is the real one.
        const QByteArray said = child->readAllStandardError();
        QVERIFY2(said.contains("settings not saved to " + QFile::encodeName(path) + ": the folder " +
                               QFile::encodeName(folder.path()) + " is not writable\n"),
                 said.constData());
        QCOMPARE(Contents(path), old);
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList({QStringLiteral("Tavelorn Tiles.ini")}));
    }
};

int main(int argc, char** argv) {
    const QString mode = qEnvironmentVariable("TT_SAVER_MODE");
    const QString path = qEnvironmentVariable("TT_SAVER_FILE");
    if (mode == QLatin1String("read-only") && !BecomeOrdinaryUser()) return 4;
    QApplication app(argc, argv);
    if (mode == QLatin1String("save")) return SaveForever(path);
    if (mode == QLatin1String("read-only")) return CloseInReadOnlyFolder(path);
    if (mode == QLatin1String("change")) return ChangeAndEnd(path, qEnvironmentVariable("TT_SAVER_END"));
    SettingsDurabilityTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "SettingsDurabilityTest.moc"
