// The audio libraries cost nothing until the first sound: the player loads
// its output module then, and only then.
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

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
};

QTEST_MAIN(AudioModuleTest)
#include "AudioModuleTest.moc"
