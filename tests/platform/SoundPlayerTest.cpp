// The sound player: reading a WAVE image, finding a sound by name whatever
// its case, playing without a sound device, never waiting on a sound server
// that does not answer, never playing a sound long after its move, and
// always playing the newest.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMutex>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>
#include <chrono>
#include <condition_variable>
#include <mutex>

#include "AudioModule.h"
#include "SoundPlayer.h"

namespace {
// How long a check waits for the sound thread, in ms. A QTRY that fails
// goes on for twice as long again before it says so: a sound thread that is
// never woken fails its row within 10 s.
constexpr int Patience = 2000;

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

// Holds whoever waits on it until it is opened: a sound server that does
// not answer, for as long as the test likes, or HoldLimit if a failed test
// never opens it (so the program still ends).
struct Gate {
    static constexpr std::chrono::seconds HoldLimit{30};
    std::mutex Lock;
    std::condition_variable Changed;
    bool Open = false;
    bool Waited = false;
    void Wait() {
        std::unique_lock hold(Lock);
        Waited = true;
        Changed.wait_for(hold, HoldLimit, [this] { return Open; });
    }
    bool Held() {
        std::lock_guard hold(Lock);
        return Waited && !Open;
    }
    void Release() {
        std::lock_guard hold(Lock);
        Open = true;
        Changed.notify_all();
    }
};

// An output behind a gate: finding it waits for the gate, and it records the
// size of every sound started on it.
struct GatedOutput {
    Gate Found;
    std::mutex Lock;
    QList<qsizetype> Started;

    static AudioOutputFactory Factory(const std::shared_ptr<GatedOutput>& shared) {
        return [shared]() -> std::unique_ptr<AudioOutput> {
            shared->Found.Wait();
            return std::make_unique<Recorder>(shared);
        };
    }
    QList<qsizetype> Heard() {
        std::lock_guard hold(Lock);
        return Started;
    }

private:
    struct Recorder final : AudioOutput {
        explicit Recorder(std::shared_ptr<GatedOutput> shared) : shared_(std::move(shared)) {}
        void Start(const QByteArray& samples, const WaveData&) override {
            std::lock_guard hold(shared_->Lock);
            shared_->Started << samples.size();
        }
        void Stop() override {}
        std::shared_ptr<GatedOutput> shared_;
    };
};

// An output that runs the sound thread's events while it starts a sound of
// 100 samples, as Qt's sink does when the one before it is destroyed, once
// the test has handed over the next sound. Of those started, the one whose
// start ended last is heard.
struct BusyOutput {
    Gate Starting;
    std::mutex Lock;
    QList<qsizetype> Started;

    static AudioOutputFactory Factory(const std::shared_ptr<BusyOutput>& shared) {
        return [shared]() -> std::unique_ptr<AudioOutput> { return std::make_unique<Sink>(shared); };
    }
    QList<qsizetype> Heard() {
        std::lock_guard hold(Lock);
        return Started;
    }

private:
    struct Sink final : AudioOutput {
        explicit Sink(std::shared_ptr<BusyOutput> shared) : shared_(std::move(shared)) {}
        void Start(const QByteArray& samples, const WaveData&) override {
            if (samples.size() == 100) {
                shared_->Starting.Wait();
                QCoreApplication::processEvents();
            }
            std::lock_guard hold(shared_->Lock);
            shared_->Started << samples.size();
        }
        void Stop() override {}
        std::shared_ptr<BusyOutput> shared_;
    };
};

// Three sounds of 100, 200 and 300 samples in a folder of their own.
struct ThreeSounds {
    QTemporaryDir Folder;
    ThreeSounds() {
        for (int n : {1, 2, 3}) {
            QFile file(Folder.filePath(QStringLiteral("S%1.wav").arg(n)));
            if (file.open(QIODevice::WriteOnly)) file.write(Wave(8000, 8, 100 * n));
        }
    }
};
}  // namespace

class SoundPlayerTest : public QObject {
    Q_OBJECT
private slots:
    void readsTheFormatAndTheSamplesOfAWave_data();
    void readsTheFormatAndTheSamplesOfAWave();
    void refusesWhatIsNotPlainPcm();
    void findsASoundByNameWithoutRegardToCase();
    void playsWithoutWaitingAndNeverFails();
    void aSoundServerThatNeverAnswersHoldsNothingUp();
    void onlyTheNewestWaitingSoundIsPlayed();
    void aSoundThatWaitedTooLongForTheOutputIsNeverPlayed();
    void aSoundWhoseOutputTakesAFewHundredMillisecondsIsPlayed();
    void aSoundHandedOverWhileTheOutputStartsAnotherIsPlayedAfterIt();
    void aMissingSoundModuleIsToldOnceWithWhereItWasLooked();
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

void SoundPlayerTest::aSoundServerThatNeverAnswersHoldsNothingUp() {
    ThreeSounds sounds;
    auto output = std::make_shared<GatedOutput>();
    QtSoundPlayer player(sounds.Folder.path(), GatedOutput::Factory(output));
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < 20; ++i) player.Play(QStringLiteral("S%1").arg(i % 3 + 1));
    const qint64 playing = clock.elapsed();
    QTRY_VERIFY_WITH_TIMEOUT(output->Found.Held(), Patience);
    clock.restart();
    QVERIFY(!player.Close(std::chrono::milliseconds(50)));
    const qint64 closing = clock.elapsed();
    qInfo("20 sounds asked for in %lld ms, closed in %lld ms, the output never found", playing, closing);
    QVERIFY2(playing < 1000, "a sound waited for the output");
    QVERIFY2(closing < 1000, "the close waited for the output");
    QVERIFY(!player.Close(std::chrono::milliseconds(0)));
    // Found after the close, the output plays nothing.
    output->Found.Release();
    QTest::qWait(100);
    QCOMPARE(output->Heard(), QList<qsizetype>());
}

void SoundPlayerTest::onlyTheNewestWaitingSoundIsPlayed() {
    ThreeSounds sounds;
    auto output = std::make_shared<GatedOutput>();
    QtSoundPlayer player(sounds.Folder.path(), GatedOutput::Factory(output));
    for (const char* name : {"S1", "S3", "S2"}) player.Play(QLatin1String(name));
    output->Found.Release();
    QTRY_COMPARE_WITH_TIMEOUT(output->Heard(), QList<qsizetype>{200}, Patience);
    player.Play(QStringLiteral("S3"));
    player.Play(QStringLiteral("nothing by this name"));
    QTRY_COMPARE_WITH_TIMEOUT(output->Heard(), (QList<qsizetype>{200, 300}), Patience);
    QVERIFY(player.Close(std::chrono::milliseconds(5000)));
    QCOMPARE(output->Heard(), (QList<qsizetype>{200, 300}));
}

void SoundPlayerTest::aSoundThatWaitedTooLongForTheOutputIsNeverPlayed() {
    ThreeSounds sounds;
    auto output = std::make_shared<GatedOutput>();
    QtSoundPlayer player(sounds.Folder.path(), GatedOutput::Factory(output));
    player.Play(QStringLiteral("S1"));
    QTRY_VERIFY_WITH_TIMEOUT(output->Found.Held(), Patience);
    QTest::qWait(1000);  // the server answers only after the move is long past
    output->Found.Release();
    QTest::qWait(200);  // room for a late sound to start, were it kept
    QCOMPARE(output->Heard(), QList<qsizetype>());
    player.Play(QStringLiteral("S2"));
    QTRY_COMPARE_WITH_TIMEOUT(output->Heard(), QList<qsizetype>{200}, Patience);
    QVERIFY(player.Close(std::chrono::milliseconds(5000)));
}

void SoundPlayerTest::aSoundWhoseOutputTakesAFewHundredMillisecondsIsPlayed() {
    ThreeSounds sounds;
    auto output = std::make_shared<GatedOutput>();
    QtSoundPlayer player(sounds.Folder.path(), GatedOutput::Factory(output));
    player.Play(QStringLiteral("S1"));
    QTRY_VERIFY_WITH_TIMEOUT(output->Found.Held(), Patience);
    QTest::qWait(300);  // a slow first meeting with the sound server
    output->Found.Release();
    QTRY_COMPARE_WITH_TIMEOUT(output->Heard(), QList<qsizetype>{100}, Patience);
    QVERIFY(player.Close(std::chrono::milliseconds(5000)));
}

void SoundPlayerTest::aSoundHandedOverWhileTheOutputStartsAnotherIsPlayedAfterIt() {
    ThreeSounds sounds;
    auto output = std::make_shared<BusyOutput>();
    QtSoundPlayer player(sounds.Folder.path(), BusyOutput::Factory(output));
    player.Play(QStringLiteral("S1"));
    QTRY_VERIFY_WITH_TIMEOUT(output->Starting.Held(), Patience);
    player.Play(QStringLiteral("S2"));
    output->Starting.Release();
    QTRY_COMPARE_WITH_TIMEOUT(output->Heard().size(), 2, Patience);
    QCOMPARE(output->Heard(), (QList<qsizetype>{100, 200}));
    QVERIFY(player.Close(std::chrono::milliseconds(5000)));
}

namespace {
QMutex toldLock;
QStringList told;
void Keep(QtMsgType, const QMessageLogContext&, const QString& message) {
    QMutexLocker hold(&toldLock);
    told << message;
}
QStringList Told() {
    QMutexLocker hold(&toldLock);
    return told;
}
}  // namespace

void SoundPlayerTest::aMissingSoundModuleIsToldOnceWithWhereItWasLooked() {
    ThreeSounds sounds;
    QTemporaryDir empty;
    const QStringList folders{empty.path(), empty.filePath(QStringLiteral("gone"))};
    const QtMessageHandler previous = qInstallMessageHandler(Keep);
    {
        QtSoundPlayer player(sounds.Folder.path(), [folders] { return LoadAudioModule(folders); });
        for (int i = 0; i < 5; ++i) player.Play(QStringLiteral("S1"));
        QTRY_COMPARE_WITH_TIMEOUT(Told().size(), 1, Patience);
        player.Play(QStringLiteral("S2"));
        QVERIFY(player.Close(std::chrono::milliseconds(5000)));
    }
    qInstallMessageHandler(previous);
    const QStringList lines = Told();
    QCOMPARE(lines.size(), 1);
    QVERIFY2(lines[0].startsWith(QLatin1String("Tavelorn Tiles plays without sound")), qPrintable(lines[0]));
    for (const QString& folder : folders) QVERIFY2(lines[0].contains(folder), qPrintable(lines[0]));
    QVERIFY(lines[0].contains(QLatin1String("tt_audio")));
    QVERIFY(!lines[0].contains(u'\n'));
}

QTEST_MAIN(SoundPlayerTest)
#include "SoundPlayerTest.moc"
