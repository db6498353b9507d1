// The sound path a player hears: the game's sounds played through the audio
// module into a sound server of the test's own, and what its sink plays
// recorded and set against each sound's own samples.
#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>
#include <sys/prctl.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <thread>

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

// Where `own` begins in `heard`: the places where 30 ms of it, from 10 ms in
// (see the monitor's first few ms below), are heard as they are. Each place
// is found by its first 32 samples, then the whole span checked.
QList<qsizetype> PlacesOf(const Samples& own, const Samples& heard) {
    const qsizetype from = Rate / 100, span = Rate * 3 / 100, probe = 32;
    QList<qsizetype> places;
    for (qsizetype p = 0; p + span <= qsizetype(heard.size()); ++p) {
        if (!places.isEmpty() && p - places.last() < span) continue;
        if (Likeness(&own[from], &heard[p], probe) > 0.7 && Likeness(&own[from], &heard[p], span) > 0.95)
            places << p;
    }
    return places;
}

// Threads that keep every core of the machine busy while they live.
class BusyLoops {
public:
    explicit BusyLoops(int count) {
        for (int i = 0; i < count; ++i)
            loops_.emplace_back([this] {
                for (unsigned n = 0; !stop_.load(std::memory_order_relaxed);) n = n * 1664525 + 1013904223;
            });
    }
    ~BusyLoops() {
        stop_ = true;
        for (std::thread& loop : loops_) loop.join();
    }

private:
    std::atomic<bool> stop_{false};
    std::vector<std::thread> loops_;
};

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

    // The first sound also loads the audio module and meets the server, and
    // a sound that cannot start within its time is dropped: the recording of
    // a row begins once a first sound has been heard.
    bool HeardAFirstSound(QtSoundPlayer& player) {
        QProcess first;
        Record(first, At("first.raw"));
        const auto heard = [&] {
            player.Play("DOWN");
            QTest::qWait(500);
            QFile file(At("first.raw"));
            const Samples s = file.open(QIODevice::ReadOnly) ? AtRecordingRate(file.readAll(), 16, Rate) : Samples();
            return std::any_of(s.begin(), s.end(), [](double v) { return std::abs(v) > Audible; });
        };
        const bool answered = Within(10000, heard);
        first.kill();
        first.waitForFinished(5000);
        QTest::qWait(500);
        return answered;
    }

    // Records into `file` until the lead-in is there: the sink plays some
    // hundred milliseconds late.
    bool Recording(QProcess& recorder, const QString& file) {
        Record(recorder, At(file));
        return Within(8000, [&] { return QFileInfo(At(file)).size() > Rate; });
    }

    // What was recorded into `file`, with a second of quiet past its end.
    Samples Recorded(QProcess& recorder, const QString& file) {
        recorder.terminate();
        if (!recorder.waitForFinished(5000)) return {};
        QFile recording(At(file));
        Samples heard = recording.open(QIODevice::ReadOnly) ? AtRecordingRate(recording.readAll(), 16, Rate) : Samples();
        if (!heard.empty()) heard.resize(heard.size() + Rate);
        return heard;
    }

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
        QtSoundPlayer player(folder_.path());
        const Closing closing{player, folder_};
        QVERIFY2(HeardAFirstSound(player), "no sound reached the sound server within 10 s");
        QProcess recorder;
        QVERIFY2(Recording(recorder, "heard.raw"), "the sound server's monitor gave the recorder nothing within 8 s");
        const QStringList played{"DOWN", "DOWN2", "SLIDE", "GONG", "ODD", "DOWN2", "DOWN", "ODD", "SLIDE", "DOWN"};
        for (const QString& name : played) {
            player.Play(name);
            QTest::qWait(int(sounds_[name].size() * 1000 / Rate) + 400);
        }
        QTest::qWait(600);
        const Samples heard = Recorded(recorder, "heard.raw");
        QVERIFY2(!heard.empty(), "the recorder did not stop within 5 s, or recorded nothing");
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


    // A pair removed on a machine whose every core is busy: the click of the
    // tile put down and, 3 ms later, the slide of the pair going. The slide
    // is the newest sound, and each one must be heard.
    void theNewestSoundIsHeardOnABusyMachine() {
        QtSoundPlayer player(folder_.path());
        const Closing closing{player, folder_};
        QVERIFY2(HeardAFirstSound(player), "no sound reached the sound server within 10 s");
        QProcess recorder;
        QVERIFY2(Recording(recorder, "pairs.raw"), "the sound server's monitor gave the recorder nothing within 8 s");
        constexpr int Pairs = 100;
        {
            const BusyLoops busy(12);
            // A slide is given 200 ms before the next pair cuts it off,
            // however late this thread runs.
            for (int i = 0; i < Pairs; ++i) {
                player.Play("DOWN2");
                std::this_thread::sleep_for(std::chrono::milliseconds(3));
                player.Play("SLIDE");
                std::this_thread::sleep_for(std::chrono::milliseconds(200));
            }
        }
        QTest::qWait(600);
        const Samples heard = Recorded(recorder, "pairs.raw");
        QVERIFY2(!heard.empty(), "the recorder did not stop within 5 s, or recorded nothing");
        const QList<qsizetype> slides = PlacesOf(sounds_["SLIDE"], heard);
        QStringList gaps;  // where a slide is missing, as the time between those heard
        for (qsizetype i = 1; i < slides.size(); ++i)
            if (slides[i] - slides[i - 1] > Rate * 3 / 10) gaps << QString::number((slides[i] - slides[i - 1]) * 1000 / Rate);
        const QString heardAs = QStringLiteral("%1 slides heard of %2; gaps of %3 ms")
                                    .arg(slides.size()).arg(Pairs).arg(gaps.isEmpty() ? "none" : gaps.join(", "));
        qInfo("%s", qPrintable(heardAs));
        QVERIFY2(slides.size() == Pairs, qPrintable(heardAs));
    }
};

QTEST_MAIN(SoundServerTest)
#include "SoundServerTest.moc"
