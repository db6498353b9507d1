// The main window on an unlucky desktop: a sound server that never answers
// holds no click up; a session signal closes the window as its close
// button does, wherever the game stands when it comes, and the signals
// that follow it (a logout sends several, a held Ctrl+C dozens) wait for
// that close; and the settings are kept where the user's folders say.
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QDir>
#include <condition_variable>
#include <csignal>
#include <mutex>
#include <optional>
#include <thread>
#include <unistd.h>

#include "HangGuard.h"
#include "MainWindowFixture.h"
#include "SessionSignals.h"
#include "Settings.h"
#include <pwd.h>

namespace {
// Finding the output waits until the test lets it go.
struct SilentServer {
    std::mutex Lock;
    std::condition_variable Changed;
    bool Answers = false;
    void Answer() {
        std::lock_guard hold(Lock);
        Answers = true;
        Changed.notify_all();
    }
    AudioOutputFactory Factory(const std::shared_ptr<SilentServer>& self) {
        return [self]() -> std::unique_ptr<AudioOutput> {
            std::unique_lock hold(self->Lock);
            self->Changed.wait(hold, [&] { return self->Answers; });
            return nullptr;
        };
    }
};
}  // namespace

class UnluckyDesktopTest : public QObject {
    Q_OBJECT
private slots:
    void clicksAreAnsweredAtOnceWhenTheSoundServerNeverAnswers();
    void aSessionSignalClosesTheWindowAndSavesTheSettings_data();
    void aSessionSignalClosesTheWindowAndSavesTheSettings();
    void theSettingsLiveInTheUsersConfigurationFolder_data();
    void theSettingsLiveInTheUsersConfigurationFolder();

private:
    QTemporaryDir homes_;  // homes of the folder rows, there while the rows run
};

void UnluckyDesktopTest::clicksAreAnsweredAtOnceWhenTheSoundServerNeverAnswers() {
    MainWindowFixture f;
    auto server = std::make_shared<SilentServer>();
    QtSoundPlayer player(QStringLiteral(":/sounds"), server->Factory(server));
    f.Form = std::make_unique<frmMain>(MainServices{player, f.Dialog, f.TimeOfDay, f.Random, f.SettingsFile()});
    frmMain& form = *f.Form;
    form.show();
    QCoreApplication::processEvents();

    // A pair, each tile clicked: "down", "down2" and "slide", each with its
    // yield, on a sound thread held in the server from the first.
    const auto [first, second] = f.MatchingPair();
    QVERIFY(first > 0);
    QList<qint64> took;
    const HangGuard guard(std::chrono::seconds(5), "a click waited 5 s on the sound server");
    for (int16_t tile : {first, second}) {
        QElapsedTimer clock;
        clock.start();
        f.ReleaseOn(tile);
        took << clock.elapsed();
    }
    qInfo("clicks answered in %lld ms and %lld ms", took[0], took[1]);
    QCOMPARE(form.Engine().TilesLeft, int16_t(142));
    QCOMPARE(form.LastSound, QStringLiteral("slide"));
    for (qint64 ms : took) QVERIFY2(ms < 100, "a click waited on the sound server");

    form.close();
    QCOMPARE(f.Stored(QStringLiteral("Sound")), QStringLiteral("True"));
    f.Form.reset();
    server->Answer();
    QVERIFY(player.Close(std::chrono::milliseconds(5000)));
}

void UnluckyDesktopTest::aSessionSignalClosesTheWindowAndSavesTheSettings_data() {
    QTest::addColumn<QList<int>>("numbers");  // sent at once
    QTest::addColumn<QString>("during");
    QTest::newRow("SIGTERM, between events") << QList<int>{SIGTERM} << "nothing";
    QTest::newRow("SIGHUP, over the About box") << QList<int>{SIGHUP} << "about";
    QTest::newRow("SIGINT, inside a sound's yield") << QList<int>{SIGINT} << "sound";
    QTest::newRow("a logout: SIGTERM, SIGCONT, SIGHUP") << QList<int>{SIGTERM, SIGCONT, SIGHUP} << "nothing";
    QTest::newRow("a logout over the About box") << QList<int>{SIGTERM, SIGCONT, SIGHUP} << "about";
    QTest::newRow("a held Ctrl+C: fifty SIGINTs") << QList<int>(50, SIGINT) << "nothing";
    QTest::newRow("SIGTERM again inside the close's save") << QList<int>{SIGTERM} << "save";
}

void UnluckyDesktopTest::aSessionSignalClosesTheWindowAndSavesTheSettings() {
    QFETCH(QList<int>, numbers);
    QFETCH(QString, during);
    for (int number : numbers) std::signal(number, SIG_DFL);  // as from a desktop's launcher
    MainWindowFixture f;
    frmMain& form = f.Open();
    SessionSignals session;
    connect(&session, &SessionSignals::CloseRequested, &form, [&form] { CloseForSession(form); });
    form.Engine().BackgroundColour = 12345;  // to be found in the saved settings

    bool savedInsideTheClick = false;
    const auto raiseSignal = [numbers] {
        for (int number : numbers) std::raise(number);
    };
    QTimer::singleShot(0, &form, [&] {
        if (during == QLatin1String("save")) {
            // The close's save waits on a lock of another host; the same
            // signal comes again meanwhile, from another thread.
            QFile lock(f.SettingsFile() + QStringLiteral(".lock"));
            QVERIFY(lock.open(QIODevice::WriteOnly));
            lock.write("1\nTavelorn Tiles\nelsewhere\n");
            lock.close();
            raiseSignal();
            std::thread([] {
                std::this_thread::sleep_for(std::chrono::milliseconds(500));
                ::kill(::getpid(), SIGTERM);
            }).detach();
        } else if (during == QLatin1String("about")) {
            QTimer::singleShot(50, raiseSignal);
            form.btnAbout_Click();
        } else if (during == QLatin1String("sound")) {
            f.Sound.DuringSound = [&](const QString&) { raiseSignal(); };
            f.ReleaseOn(f.OpenList().first());
            savedInsideTheClick = QFile::exists(f.SettingsFile());
        } else {
            raiseSignal();
        }
    });
    QElapsedTimer clock;
    clock.start();
    int code = -1;
    {
        const HangGuard guard(std::chrono::seconds(5), "the window did not close within 5 s of the signal");
        code = QCoreApplication::exec();
    }
    QCOMPARE(code, 0);
    qInfo("closed %lld ms after the start", clock.elapsed());

    QVERIFY(!form.isVisible());
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    if (during == QLatin1String("save")) {
        // Not saved (the lock was never given up), and nothing left behind.
        QVERIFY(!QFile::exists(f.SettingsFile()));
        QCOMPARE(QDir(f.Folder.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("Tavelorn Tiles.ini.lock")});
        return;
    }
    QCOMPARE(f.Stored(QStringLiteral("Background Colour")), QStringLiteral("12345"));
    if (during == QLatin1String("sound")) QVERIFY(savedInsideTheClick);
}

void UnluckyDesktopTest::theSettingsLiveInTheUsersConfigurationFolder_data() {
    QTest::addColumn<QByteArrayList>("environment");  // NAME=VALUE, or NAME alone for unset
    QTest::addColumn<QString>("folder");              // empty: none, nothing is kept
    const passwd* user = getpwuid(getuid());
    QVERIFY(user && user->pw_dir);
    // The database's home counts only where it is a folder other than the root.
    const QString home = QString::fromLocal8Bit(user->pw_dir);
    const QString database =
        QFileInfo(home).isDir() && QDir(home) != QDir::root() ? home + QStringLiteral("/.config") : QString();
    const QString temporary = QDir::tempPath();
    QTest::newRow("XDG_CONFIG_HOME") << QByteArrayList{"XDG_CONFIG_HOME=/x/config", "HOME=/tmp"} << "/x/config";
    QTest::newRow("XDG_CONFIG_HOME relative: HOME")
        << QByteArrayList{"XDG_CONFIG_HOME=config", "HOME=" + temporary.toLocal8Bit()}
        << temporary + QStringLiteral("/.config");
    QTest::newRow("HOME unset: the user database's") << QByteArrayList{"XDG_CONFIG_HOME", "HOME"} << database;
    QTest::newRow("HOME relative: the user database's") << QByteArrayList{"XDG_CONFIG_HOME", "HOME=home"} << database;
    QTest::newRow("HOME the root: none") << QByteArrayList{"XDG_CONFIG_HOME", "HOME=/"} << QString();
    QTest::newRow("HOME a folder that is not there: none")
        << QByteArrayList{"XDG_CONFIG_HOME", "HOME=/nonexistent/home"} << QString();
    const QString link = homes_.filePath(QStringLiteral("link")), file = homes_.filePath(QStringLiteral("file"));
    QVERIFY(QDir(homes_.path()).mkdir(QStringLiteral("folder")) && QFile::link(homes_.filePath("folder"), link));
    QVERIFY(QFile(file).open(QIODevice::WriteOnly));
    QTest::newRow("HOME a symlink to a folder: used as given")
        << QByteArrayList{"XDG_CONFIG_HOME", "HOME=" + link.toLocal8Bit()} << link + QStringLiteral("/.config");
    QTest::newRow("HOME a regular file: none") << QByteArrayList{"XDG_CONFIG_HOME", "HOME=" + file.toLocal8Bit()}
                                               << QString();
}

void UnluckyDesktopTest::theSettingsLiveInTheUsersConfigurationFolder() {
    QFETCH(QByteArrayList, environment);
    QFETCH(QString, folder);
    QList<std::pair<QByteArray, std::optional<QByteArray>>> before;
    for (const QByteArray& entry : environment) {
        const qsizetype equals = entry.indexOf('=');
        const QByteArray name = equals >= 0 ? entry.left(equals) : entry;
        before.append({name, qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt});
        if (equals >= 0)
            qputenv(name, entry.mid(equals + 1));
        else
            qunsetenv(name);
    }
    const QString file = DefaultSettingsFile();
    for (const auto& [name, value] : before) value ? qputenv(name, *value) : qunsetenv(name);
    QCOMPARE(file, folder.isEmpty() ? QString() : folder + QStringLiteral("/Tavelorn Tiles/Tavelorn Tiles.ini"));
}

QTEST_MAIN(UnluckyDesktopTest)
#include "UnluckyDesktopTest.moc"
