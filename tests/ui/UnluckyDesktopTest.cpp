// The main window on an unlucky desktop: a sound server that never answers
// holds no click up, and a session signal closes the window as its close
// button does, wherever the game stands when it comes.
#include <QElapsedTimer>
#include <QFile>
#include <condition_variable>
#include <csignal>
#include <mutex>

#include "MainWindowFixture.h"
#include "SessionSignals.h"

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
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("during");
    QTest::newRow("SIGTERM, between events") << SIGTERM << "nothing";
    QTest::newRow("SIGHUP, over the About box") << SIGHUP << "about";
    QTest::newRow("SIGINT, inside a sound's yield") << SIGINT << "sound";
}

void UnluckyDesktopTest::aSessionSignalClosesTheWindowAndSavesTheSettings() {
    QFETCH(int, number);
    QFETCH(QString, during);
    std::signal(number, SIG_DFL);  // as from a desktop's launcher
    MainWindowFixture f;
    frmMain& form = f.Open();
    SessionSignals session;
    connect(&session, &SessionSignals::CloseRequested, &form, [&form] { CloseForSession(form); });
    form.Engine().BackgroundColour = 12345;  // to be found in the saved settings

    bool savedInsideTheClick = false;
    const auto raiseSignal = [number] { std::raise(number); };
    QTimer::singleShot(0, &form, [&] {
        if (during == QLatin1String("about")) {
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
    QTimer::singleShot(5000, [] { QCoreApplication::exit(99); });  // the close never came
    QElapsedTimer clock;
    clock.start();
    const int code = QCoreApplication::exec();
    QVERIFY2(code != 99, "the window did not close within 5 s of the signal");
    QCOMPARE(code, 0);
    qInfo("closed %lld ms after the start", clock.elapsed());

    QVERIFY(!form.isVisible());
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    QCOMPARE(f.Stored(QStringLiteral("Background Colour")), QStringLiteral("12345"));
    if (during == QLatin1String("sound")) QVERIFY(savedInsideTheClick);
}

QTEST_MAIN(UnluckyDesktopTest)
#include "UnluckyDesktopTest.moc"
