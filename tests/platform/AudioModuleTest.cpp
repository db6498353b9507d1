// The audio libraries cost nothing until the first sound: the player loads
// its output module then, and only then, and the one beside the program
// first.
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <cstdio>
#include <cstdlib>

#include "SoundPlayer.h"

namespace {
// The libraries this process has mapped.
QByteArray Mapped() {
    QFile maps(QStringLiteral("/proc/self/maps"));
    return maps.open(QIODevice::ReadOnly) ? maps.readAll() : QByteArray();
}

// A short 8-bit mono WAVE image.
QByteArray Wave() {
    QByteArray samples(800, char(0x80));
    QByteArray w("RIFF");
    const auto word = [&](quint32 v, int bytes) {
        for (int i = 0; i < bytes; ++i) w += char((v >> (8 * i)) & 0xFF);
    };
    word(36 + samples.size(), 4);
    w += "WAVEfmt ";
    word(16, 4);
    word(1, 2);
    word(1, 2);
    word(8000, 4);
    word(8000, 4);
    word(1, 2);
    word(8, 2);
    w += "data";
    word(samples.size(), 4);
    return w + samples;
}

// Where the audio module was mapped from, or "" when it is not.
QString ModulePath() {
    for (const QByteArray& line : Mapped().split('\n'))
        if (line.contains("libtt_audio")) return QString::fromLocal8Bit(line.mid(line.indexOf('/')));
    return QString();
}

// Run as a copy of this program: plays a sound as the game does, and says on
// standard output where the audio module it loaded lies.
constexpr char WhereIsTheModule[] = "--where-is-the-audio-module";
int TellWhereTheModuleIs(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir folder;
    QFile file(folder.filePath(QStringLiteral("DOWN.wav")));
    if (!file.open(QIODevice::WriteOnly) || file.write(Wave()) <= 0) return 2;
    file.close();
    QtSoundPlayer player(folder.path());
    player.Play(QStringLiteral("down"));
    QString path;
    for (QDeadlineTimer limit(5000); (path = ModulePath()).isEmpty() && !limit.hasExpired();) QThread::msleep(20);
    std::printf("%s\n", qPrintable(path));
    std::fflush(stdout);
    folder.remove();
    std::_Exit(0);  // the sound thread may still be meeting the server
}
}  // namespace

class AudioModuleTest : public QObject {
    Q_OBJECT
private slots:
    void theAudioModuleIsLoadedAtTheFirstSoundAndNotBefore() {
        QTemporaryDir folder;
        QFile file(folder.filePath(QStringLiteral("DOWN.wav")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(Wave());
        file.close();

        QtSoundPlayer player(folder.path());
        player.Play(QStringLiteral("nothing by this name"));
        QVERIFY(!Mapped().contains("libQt6Multimedia"));
        QVERIFY(!Mapped().contains("libtt_audio"));
        player.Play(QStringLiteral("down"));  // loaded on the sound's own thread
        // The module is mapped before the libraries it needs: wait for all
        // (a QTRY that fails goes on twice as long again: 6 s in all).
        QTRY_VERIFY2_WITH_TIMEOUT(Mapped().contains("libtt_audio") && Mapped().contains("libQt6Multimedia"),
                                  "the first sound did not load the audio module within 2 s", 2000);
        player.Play(QStringLiteral("down"));  // the same output again
    }

    // A copy of the game moved away from its build folder, with the module
    // beside it, keeps its sound: it loads the module beside it, not one
    // that happens to lie where the game was built.
    void theAudioModuleBesideTheProgramIsFoundFirst() {
        QTemporaryDir away;
        const QString program = away.filePath(QStringLiteral("game")), module = away.filePath(QStringLiteral("libtt_audio.so"));
        QVERIFY(QFile::copy(QCoreApplication::applicationFilePath(), program));
        QVERIFY(QFile::copy(QStringLiteral(TT_AUDIO_MODULE), module));
        QProcess copy;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("PULSE_SERVER", "unix:" + away.filePath(QStringLiteral("no-server")));  // heard nowhere
        copy.setProcessEnvironment(environment);
        copy.start(program, {WhereIsTheModule});
        QVERIFY2(copy.waitForFinished(10000), "the moved copy did not end within 10 s");
        QCOMPARE(QString::fromLocal8Bit(copy.readAllStandardOutput()).trimmed(), module);
    }
};

int main(int argc, char** argv) {
    if (argc == 2 && qstrcmp(argv[1], WhereIsTheModule) == 0) return TellWhereTheModuleIs(argc, argv);
    QCoreApplication app(argc, argv);
    AudioModuleTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "AudioModuleTest.moc"
