// The sound path a player hears: the game's sounds played through the audio
// module into a sound server of the test's own, and what its sink plays
// recorded and set against each sound's own samples.
#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>
#include <sys/prctl.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>

#include "SoundPlayer.h"

namespace {
constexpr int Rate = 44100;             // the recording: 16-bit mono
constexpr double Audible = 1.0 / 64;    // louder than this is sound
constexpr qsizetype Apart = Rate / 20;  // 50 ms of quiet parts two sounds
using Samples = std::vector<double>;

// A child of the test that goes when the test goes, however it ends.
void Launch(QProcess& child, const QString& program, const QStringList& arguments) {
    child.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGKILL); });
    child.start(program, arguments);
}

// Records what the test's sink plays, 16-bit mono, into `file`.
void Record(QProcess& recorder, const QString& file) {
    recorder.setStandardOutputFile(file);
    Launch(recorder, "parec", {"-d", "rec.monitor", "--latency-msec=5", "--format=s16le", "--rate=44100",
                               "--channels=1", "--raw"});
}

// Waits for `ready` up to `ms`, and no longer (a QTRY would go on for twice
// as long before it failed).
template <typename Ready>
bool Within(int ms, Ready ready) {
    for (const QDeadlineTimer limit(ms); !ready(); QTest::qWait(50))
        if (limit.hasExpired()) return false;
    return true;
}

// 8- or 16-bit mono samples in [-1, 1], each held for its share of the
// recording's rate, as the server's plainest resampler does.
Samples AtRecordingRate(const QByteArray& data, int bits, int rate) {
    Samples out;
    const qsizetype count = data.size() / (bits / 8);
    for (qsizetype i = 0; i * rate < count * Rate; ++i) {
        const qsizetype k = i * rate / Rate * (bits / 8);
        out.push_back(bits == 8 ? (uchar(data[k]) - 128) / 128.0
                                : qFromLittleEndian<qint16>(data.constData() + k) / 32768.0);
    }
    return out;
}

// Where each sound begins: the first audible sample after at least Apart
// of quiet.
QList<qsizetype> Onsets(const Samples& s) {
    QList<qsizetype> found;
    qsizetype last = -Apart - 1;
    for (qsizetype i = 0; i < qsizetype(s.size()); ++i)
        if (std::abs(s[i]) > Audible) {
            if (i - last > Apart) found << i;
            last = i;
        }
    return found;
}

// How alike two runs of samples are, from 1 (the same wave) down.
double Likeness(const double* a, const double* b, qsizetype n) {
    double ab = 0, aa = 0, bb = 0;
    for (qsizetype i = 0; i < n; ++i) ab += a[i] * b[i], aa += a[i] * a[i], bb += b[i] * b[i];
    return aa > 0 && bb > 0 ? ab / std::sqrt(aa * bb) : 0;
}

// An 8-bit sound at 22050 Hz, rising and falling over 150 ms, with a chunk
// of odd size (and its pad byte) between its format and its samples.
QByteArray OddChunkWave(QByteArray& data) {
    for (int i = 0; i < 3307; ++i)
        data += char(128 + std::lround(100 * std::sin(i * 0.2) * (i < 1653 ? i : 3307 - i) / 1653.0));
    QByteArray w("RIFF0000WAVEfmt \x10\0\0\0\x01\0\x01\0\x22\x56\0\0\x22\x56\0\0\x01\0\x08\0", 36);
    w += QByteArray("note\x05\0\0\0odd!!\0data", 18);
    w += QByteArray(4, '\0');
    qToLittleEndian(quint32(data.size()), w.data() + w.size() - 4);
    w += data;
    qToLittleEndian(quint32(w.size() - 8), w.data() + 4);
    return w;
}

// Ends the player's thread when the row ends. One held in the sound server
// would hang the audio libraries' clean-up at exit: the test then stops at
// once, as the game does, and its server goes with it.
struct Closing {
    QtSoundPlayer& Player;
    QTemporaryDir& Folder;
    ~Closing() {
        if (Player.Close(std::chrono::milliseconds(5000))) return;
        std::fputs("FAIL! the sound thread was held in the sound server for 5 s\n", stderr);
        Folder.remove();
        std::_Exit(1);
    }
};
}  // namespace

class SoundServerTest : public QObject {
    Q_OBJECT
    QTemporaryDir folder_;
    QProcess server_;
    QMap<QString, Samples> sounds_;  // what each sound should sound like

    QString At(const QString& name) const { return folder_.filePath(name); }

private slots:
    void initTestCase() {
        qputenv("PULSE_SERVER", "unix:" + At("native").toUtf8());
        qputenv("XDG_RUNTIME_DIR", folder_.path().toUtf8());
        qputenv("HOME", folder_.path().toUtf8());
        Launch(server_, "pulseaudio",
               {"-n", "--daemonize=no", "--exit-idle-time=-1", "--disallow-exit", "--use-pid-file=no",
                "--system=no", "--resample-method=trivial", "--load=module-null-sink sink_name=rec",
                "--load=module-native-protocol-unix auth-anonymous=1 socket=" + At("native")});
        QVERIFY2(server_.waitForStarted(10000), "the sound server did not start (is pulseaudio installed?)");
        const auto answers = [] {
            QProcess ask;
            ask.start("pactl", {"info"});
            return ask.waitForFinished(2000) && ask.exitStatus() == QProcess::NormalExit && ask.exitCode() == 0;
        };
        QVERIFY2(Within(8000, answers), "the sound server did not answer within 8 s");
        // The game's sounds, read here by their plain layout, and one more.
        for (const char* name : {"DOWN", "DOWN2", "SLIDE", "GONG"}) {
            QFile file(QStringLiteral(TT_SOUNDS "/%1.wav").arg(name));
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QByteArray w = file.readAll();
            QVERIFY(QFile::copy(file.fileName(), At(name + QStringLiteral(".wav"))));
            QCOMPARE(w.mid(36, 4), "data");
            sounds_[name] = AtRecordingRate(w.mid(44, qFromLittleEndian<quint32>(w.constData() + 40)),
                                            w[34], qFromLittleEndian<quint32>(w.constData() + 24));
        }
        QByteArray odd;
        QFile file(At("ODD.wav"));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(OddChunkWave(odd)) > 0);
        sounds_["ODD"] = AtRecordingRate(odd, 8, 22050);
    }

    // Killed here, or by the kernel with the test if it never gets here.
    void cleanupTestCase() {
        server_.kill();
        server_.waitForFinished(5000);
    }

    void everySoundReachesTheServerWholeAndInOrder() {
        // The first sound also loads the audio module and meets the server,
        // and a sound that cannot start within its time is dropped: the
        // recording begins once a first sound has been heard.
        QtSoundPlayer player(folder_.path());
        const Closing closing{player, folder_};
        {
            QProcess first;
            Record(first, At("first.raw"));
            const auto heard = [&] {
                player.Play("DOWN");
                QTest::qWait(500);
                QFile file(At("first.raw"));
                const Samples s = file.open(QIODevice::ReadOnly) ? AtRecordingRate(file.readAll(), 16, Rate) : Samples();
                return std::any_of(s.begin(), s.end(), [](double v) { return std::abs(v) > Audible; });
            };
            QVERIFY2(Within(10000, heard), "no sound reached the sound server within 10 s");
            first.kill();
            first.waitForFinished(5000);
            QTest::qWait(500);
        }
        QProcess recorder;
        Record(recorder, At("heard.raw"));
        // The sink plays some hundred milliseconds late: a lead-in first.
        QVERIFY2(Within(8000, [this] { return QFileInfo(At("heard.raw")).size() > Rate; }),
                 "the sound server's monitor gave the recorder nothing within 8 s");
        const QStringList played{"DOWN", "DOWN2", "SLIDE", "GONG", "ODD", "DOWN2", "DOWN", "ODD", "SLIDE", "DOWN"};
        for (const QString& name : played) {
            player.Play(name);
            QTest::qWait(int(sounds_[name].size() * 1000 / Rate) + 400);
        }
        QTest::qWait(600);
        recorder.terminate();
        QVERIFY2(recorder.waitForFinished(5000), "the recorder did not stop within 5 s");
        QFile file(At("heard.raw"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray raw = file.readAll();
        Samples heard = AtRecordingRate(raw, 16, Rate);
        heard.resize(heard.size() + Rate);  // quiet past the end, to compare with
        const QList<qsizetype> onsets = Onsets(heard);
        QStringList told;
        bool everyOne = true;
        for (qsizetype i = 0; i < played.size() && i < onsets.size(); ++i) {
            // The monitor misses the first few ms of a stream that joins a
            // running sink (the sink goes back to mix it in, and what the
            // monitor handed out stays handed out), so a sound is met up to
            // 10 ms into its samples; from there on it must all arrive.
            const Samples& own = sounds_[played[i]];
            const qsizetype n = own.size(), from = onsets[i], span = std::min<qsizetype>(n, Rate / 10);
            qsizetype skip = 0;
            double best = -1;
            for (qsizetype k = 0; k <= Rate / 100; ++k) {
                const double alike = Likeness(&own[k], &heard[from], std::min(span, n - k));
                if (alike > best) best = alike, skip = k;
            }
            const double whole = Likeness(&own[skip], &heard[from], n - skip);
            // Loudness per 10 ms, through 50 ms past the sound's end.
            int off = 0;
            for (qsizetype w = skip; w + Rate / 100 <= n + Rate / 20; w += Rate / 100) {
                double mine = 0, got = 0;
                for (qsizetype k = w; k < w + Rate / 100; ++k)
                    mine += k < n ? own[k] * own[k] : 0, got += std::pow(heard[from - skip + k], 2);
                mine = std::sqrt(mine / (Rate / 100)), got = std::sqrt(got / (Rate / 100));
                off += std::abs(got - mine) > mine / 4 + 0.005;
            }
            const bool alike = whole > 0.95 && off == 0;
            everyOne &= alike;
            told << QStringLiteral("%1%2 from %3 ms in, likeness %4, %5 of 10 ms off")
                        .arg(alike ? "" : "NOT ", played[i]).arg(skip * 1000.0 / Rate, 0, 'f', 1)
                        .arg(whole, 0, 'f', 3).arg(off);
        }
        const QString heardAs = QStringLiteral("%1 sounds heard of %2: %3")
                                    .arg(onsets.size()).arg(played.size()).arg(told.join("; "));
        qInfo("%s", qPrintable(heardAs));
        QVERIFY2(everyOne && onsets.size() == played.size(), qPrintable(heardAs));
    }
};

QTEST_MAIN(SoundServerTest)
#include "SoundServerTest.moc"
