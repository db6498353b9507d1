// The sound player: reading a WAVE image, finding a sound by name whatever
// its case, and playing without a sound device.
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include "SoundPlayer.h"

namespace {
void Put32(QByteArray& b, quint32 v) {
    char bytes[4];
    qToLittleEndian(v, bytes);
    b.append(bytes, 4);
}
void Put16(QByteArray& b, quint16 v) {
    char bytes[2];
    qToLittleEndian(v, bytes);
    b.append(bytes, 2);
}

// A mono PCM WAVE image with a list chunk after its data, as the game's
// sounds have, and `extra` bytes beyond what the RIFF length declares.
QByteArray Wave(int rate, int bits, int samples, int extra = 0) {
    QByteArray data(samples * bits / 8, '\x80');
    QByteArray list("LIST");
    Put32(list, 4);
    list.append("INFO");
    QByteArray body("WAVEfmt ");
    Put32(body, 16);
    Put16(body, 1);
    Put16(body, 1);
    Put32(body, quint32(rate));
    Put32(body, quint32(rate * bits / 8));
    Put16(body, quint16(bits / 8));
    Put16(body, quint16(bits));
    body.append("data");
    Put32(body, quint32(data.size()));
    body.append(data);
    if (data.size() & 1) body.append('\0');
    body.append(list);
    QByteArray image("RIFF");
    Put32(image, quint32(body.size()));
    image.append(body);
    image.append(QByteArray(extra, '\0'));
    return image;
}
}  // namespace

class SoundPlayerTest : public QObject {
    Q_OBJECT
private slots:
    void readsTheFormatAndTheSamplesOfAWave_data();
    void readsTheFormatAndTheSamplesOfAWave();
    void refusesWhatIsNotPlainPcm();
    void findsASoundByNameWithoutRegardToCase();
    void playsWithoutWaitingAndNeverFails();
};

void SoundPlayerTest::readsTheFormatAndTheSamplesOfAWave_data() {
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("bits");
    QTest::addColumn<int>("samples");
    QTest::addColumn<int>("extra");
    QTest::newRow("down") << 11025 << 8 << 543 << 2;
    QTest::newRow("down2") << 11025 << 8 << 339 << 2;
    QTest::newRow("slide") << 44100 << 16 << 17369 << 0;
    QTest::newRow("gong") << 8000 << 8 << 24026 << 0;
}

void SoundPlayerTest::readsTheFormatAndTheSamplesOfAWave() {
    QFETCH(int, rate);
    QFETCH(int, bits);
    QFETCH(int, samples);
    QFETCH(int, extra);
    WaveData wave;
    QVERIFY(ParseWave(Wave(rate, bits, samples, extra), wave));
    QCOMPARE(wave.SampleRate, rate);
    QCOMPARE(wave.BitsPerSample, bits);
    QCOMPARE(wave.Channels, 1);
    QCOMPARE(wave.DataOffset, qsizetype(44));
    QCOMPARE(wave.DataSize, qsizetype(samples * bits / 8));
}

void SoundPlayerTest::refusesWhatIsNotPlainPcm() {
    WaveData wave;
    QVERIFY(!ParseWave(QByteArray(), wave));
    QVERIFY(!ParseWave(QByteArray("RIFF\x04\x00\x00\x00WAVE", 12), wave));  // no chunks
    QByteArray compressed = Wave(8000, 8, 10);
    compressed[20] = 2;  // format tag 2: not PCM
    QVERIFY(!ParseWave(compressed, wave));
    QByteArray cut = Wave(8000, 8, 100);
    cut.truncate(30);  // the format chunk cut short
    QVERIFY(!ParseWave(cut, wave));
    QByteArray huge = Wave(8000, 8, 100);
    qToLittleEndian(quint32(0x7FFFFFFF), huge.data() + 40);  // data longer than the image
    QVERIFY(ParseWave(huge, wave));
    QCOMPARE(wave.DataSize, huge.size() - 44);
}

void SoundPlayerTest::findsASoundByNameWithoutRegardToCase() {
    QTemporaryDir folder;
    for (const char* name : {"DOWN.wav", "DOWN2.WAV", "Slide.wav", "gong.txt"}) {
        QFile file(folder.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(Wave(8000, 8, 10));
    }
    QtSoundPlayer player(folder.path());
    QCOMPARE(player.Find("down"), folder.filePath("DOWN.wav"));
    QCOMPARE(player.Find("Down2"), folder.filePath("DOWN2.WAV"));
    QCOMPARE(player.Find("SLIDE"), folder.filePath("Slide.wav"));
    QCOMPARE(player.Find("gong"), QString());  // not a wave
    QCOMPARE(player.Find("dow"), QString());
}

void SoundPlayerTest::playsWithoutWaitingAndNeverFails() {
    QTemporaryDir folder;
    QFile file(folder.filePath("GONG.wav"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(Wave(8000, 8, 24026));  // three seconds
    file.close();
    QtSoundPlayer player(folder.path());
    QElapsedTimer clock;
    clock.start();
    // Each start cuts off the one before; with or without a sound device,
    // none of them waits for its sound to end.
    for (int i = 0; i < 3; ++i) player.Play("gong");
    player.Play("nothing");
    player.Play("gong");
    QVERIFY2(clock.elapsed() < 2500, "playing waited for the sound");
}

QTEST_MAIN(SoundPlayerTest)
#include "SoundPlayerTest.moc"
