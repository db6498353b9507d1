// The session's signals in a program of their own, started again from this
// test as a child: a close stuck in its save is ended by a signal that
// comes after its fair time, by that very signal and at once, whichever of
// the program's threads the kernel hands it to, and the save's lock and
// temporary file go with it; and signals that come while the program ends
// never end it by a signal instead of its exit.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>
#include <climits>
#include <csignal>
#include <sys/syscall.h>
#include <thread>
#include <unistd.h>

#include "SessionSignals.h"
#include "SettingsFile.h"
#include "SettingsLock.h"
#include "UnfinishedSave.h"

namespace {

// A short fair time for the close, so the test need not wait 5 s.
constexpr int GraceMs = 300;

pid_t ThreadId() { return pid_t(::syscall(SYS_gettid)); }

// As a desktop's launcher starts the game: every signal at its default.
void DefaultSignals() {
    for (int number : {SIGHUP, SIGTERM, SIGINT}) std::signal(number, SIG_DFL);
}

std::atomic<pid_t> otherThread{0};
std::atomic<bool> flushHangs{false};

// Tells the parent the window's thread (this one) and the other.
void TellThreads() {
    std::printf("%d %d\n", int(ThreadId()), int(otherThread));
    std::fflush(stdout);
}

}  // namespace

// A disk that never finishes a flush, as a network folder whose server has
// gone: the child's save hangs there, its lock taken and its file made.
extern "C" int fdatasync(int fd) {
    if (!flushHangs) return int(::syscall(SYS_fdatasync, fd));
    TellThreads();
    for (;;) ::pause();
}

namespace {

// The child's work: a save under way in `folder`, its lock taken and its
// temporary file made (by hand, or by the game's own save, stuck in its
// flush), and a close asked for by the first signal that never ends, on a
// window thread that waits for ever beside another thread.
[[noreturn]] void SaveStuckForEver(const QString& folder, bool inItsFlush) {
    DefaultSignals();
    SessionSignals session(GraceMs);
    std::thread([] {
        otherThread = ThreadId();
        for (;;) ::pause();
    }).detach();
    while (otherThread == 0) std::this_thread::yield();
    if (inItsFlush) {
        flushHangs = true;
        WriteSettingsFile(folder + QStringLiteral("/t.ini"), QStringLiteral("Settings"), {{"Sound", "False"}});
        std::_Exit(5);
    }
    SettingsLock lock(folder + QStringLiteral("/t.ini.lock"));
    if (lock.Take(0) != LockResult::Taken) std::_Exit(3);
    const QByteArray temporary = QFile::encodeName(folder) + "/t.ini.saving-" + QByteArray::number(::getpid());
    if (!QFile(QString::fromLocal8Bit(temporary)).open(QIODevice::WriteOnly)) std::_Exit(4);
    ShowUnfinished(SaveFile::Temporary, temporary);
    TellThreads();
    for (;;) ::pause();
}

// The child's work: the game's end after a close a signal asked for, with
// the same signal still coming all along.
int EndWhileSignalsGoOn() {
    DefaultSignals();
    {
        SessionSignals session(GraceMs);
        std::raise(SIGHUP);
        std::raise(SIGHUP);
    }
    for (int number : {SIGHUP, SIGTERM, SIGINT}) std::raise(number);
    return 0;
}

}  // namespace

class SessionSignalsTest : public QObject {
    Q_OBJECT
private slots:
    void aSignalAfterTheFairTimeEndsAStuckCloseAndTakesItsSaveAlong_data() {
        QTest::addColumn<int>("number");
        QTest::addColumn<bool>("onTheOtherThread");
        QTest::addColumn<bool>("inItsFlush");  // the game's own save, stuck in it
        QTest::newRow("SIGHUP, to the window's thread") << int(SIGHUP) << false << false;
        QTest::newRow("SIGHUP, to another thread") << int(SIGHUP) << true << false;
        QTest::newRow("SIGINT, to another thread") << int(SIGINT) << true << false;
        QTest::newRow("SIGTERM, to the window's thread") << int(SIGTERM) << false << false;
        QTest::newRow("SIGTERM, to the window's thread, the save stuck in its flush") << int(SIGTERM) << false << true;
        QTest::newRow("SIGINT, to another thread, the save stuck in its flush") << int(SIGINT) << true << true;
    }
    void aSignalAfterTheFairTimeEndsAStuckCloseAndTakesItsSaveAlong() {
        QFETCH(int, number);
        QFETCH(bool, onTheOtherThread);
        QFETCH(bool, inItsFlush);
        QTemporaryDir folder;
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TT_STUCK_SAVE"), folder.path());
        env.insert(QStringLiteral("TT_STUCK_IN"), inItsFlush ? QStringLiteral("flush") : QString());
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), {});
        QVERIFY2(child.waitForReadyRead(10000), "the child's save did not start within 10 s");
        const QList<QByteArray> threads = child.readLine().trimmed().split(' ');
        QCOMPARE(threads.size(), 2);
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files).size(), 2);
        const pid_t pid = pid_t(child.processId());
        const pid_t thread = pid_t(threads[onTheOtherThread ? 1 : 0].toInt());

        ::kill(pid, SIGTERM);  // the close, which never ends
        // Sent again and again: those inside the fair time are waited out,
        // the first after it ends the program.
        QElapsedTimer clock;
        clock.start();
        bool gone = false;
        while (!gone && clock.elapsed() < 3000) {
            QThread::msleep(50);
            ::syscall(SYS_tgkill, pid, thread, number);
            gone = child.waitForFinished(50);
        }
        if (!gone) child.kill(), child.waitForFinished();
        QVERIFY2(gone, "the program was still there 3 s after the close, with a signal every 100 ms");
        QVERIFY2(clock.elapsed() >= GraceMs - 100, "a signal inside the close's fair time ended the program");
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);
        QCOMPARE(child.exitCode(), number);
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
    }

    void signalsWhileTheProgramEndsLetItExitWithZero() {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TT_ENDING"), QStringLiteral("1"));
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), {});
        QVERIFY2(child.waitForFinished(10000), "the child did not end within 10 s");
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.exitCode(), 0);
    }

    // A path the record cannot hold with its NUL is not recorded at all:
    // nothing is written past the record, and the save's end removes
    // nothing, not even the file recorded before it.
    void aPathTooLongToRecordIsNotRecorded() {
        QTemporaryDir folder;
        const QByteArray kept = QFile::encodeName(folder.filePath(QStringLiteral("kept")));
        QVERIFY(QFile(QString::fromLocal8Bit(kept)).open(QIODevice::WriteOnly));
        for (SaveFile kind : {SaveFile::Lock, SaveFile::Temporary}) {
            ShowUnfinished(kind, kept);
            ShowUnfinished(kind, kept + '/' + QByteArray(PATH_MAX - kept.size() - 1, 'x'));
            RemoveUnfinishedSave();
            QVERIFY(QFile::exists(QString::fromLocal8Bit(kept)));
        }
    }
};

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (qEnvironmentVariableIsSet("TT_STUCK_SAVE"))
        SaveStuckForEver(qEnvironmentVariable("TT_STUCK_SAVE"), qEnvironmentVariable("TT_STUCK_IN") == "flush");
    if (qEnvironmentVariableIsSet("TT_ENDING")) return EndWhileSignalsGoOn();
    SessionSignalsTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "SessionSignalsTest.moc"
