// Files a hostile or unlucky user may leave where the game looks: each case
// starts the game in a child process with its settings file there, and the
// game must show its window and close within the time limit, with the
// values it should have, writing nothing but its own settings file (and
// that only where a save may go through, and clearing only a left-over lock
// or save of its own). Every other file in the folder keeps its bytes,
// inode and times, and a FIFO is never opened: a writer waiting on it
// waits on. A background picture costs no more time than decoding it
// honestly does, and no more memory than its own pixels.
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QSysInfo>
#include <QtTest>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/time.h>
#include <list>
#include <thread>
#include <unistd.h>

#include "MainWindowFixture.h"
#include "PictureFiles.h"
#include "PictureLoader.h"

namespace {

constexpr int TimeLimitMs = 6000;
const QString Settings = QStringLiteral("Tavelorn Tiles.ini");
const QByteArray Defaults = "Classic|Scanned Tiles|32768||False|False|True|0x0";
const QByteArray Saved = "[Settings]\n";  // the start of every file the game writes

// The child's work: start with the settings file, tell the values read (the
// picture's path as its bytes, then the picture's size), the memory taken
// and the bytes of the picture held, close. Exit code 0 when the close went through.
int StartAndClose(const QString& path) {
    RecordingSound sound;
    HandClock clock;
    CountingRandom random;
    ScriptedDialog dialog;
    frmMain form(MainServices{sound, dialog, clock, random, path});
    form.show();
    QCoreApplication::processEvents();
    const modTile& e = form.Engine();
    const auto text = [](bool b) { return b ? QByteArrayLiteral("True") : QByteArrayLiteral("False"); };
    const QImage held = form.SkinPicture();
    const QSize picture = held.size().expandedTo(QSize(0, 0));
    const QList<QByteArray> values = {form.cmbPattern->Text().toUtf8(),
                                      form.cmbTileSet->Text().toUtf8(),
                                      QByteArray::number(e.BackgroundColour),
                                      QByteArray::fromStdString(e.BackgroundImage),
                                      text(e.BackgroundIsImage),
                                      text(e.ImageStretch),
                                      text(e.SoundOn),
                                      QByteArray::number(picture.width()) + 'x' + QByteArray::number(picture.height())};
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const QByteArray report = values.join('|') + '\n' + QByteArray::number(qint64(usage.ru_maxrss)) + '\n' +
                              QByteArray::number(held.sizeInBytes() / 1024) + '\n';
    std::fwrite(report.constData(), 1, size_t(report.size()), stdout);
    std::fflush(stdout);
    return form.close() ? 0 : 3;
}

void Write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

bool Fifo(const QString& path) { return ::mkfifo(QFile::encodeName(path).constData(), 0644) == 0; }
bool Link(const QString& target, const QString& path) {
    return ::symlink(QFile::encodeName(target).constData(), QFile::encodeName(path).constData()) == 0;
}
// A character device of the folder's own (a copy of /dev/null's numbers),
// so a save that wrote over it would show here and harm nothing else; an
// ordinary user, who may not make one, gets /dev/null itself.
QString Device(const QDir& folder) {
    const QString path = folder.filePath(QStringLiteral("device"));
    if (::mknod(QFile::encodeName(path).constData(), S_IFCHR | 0666, makedev(1, 3)) == 0) return path;
    return QStringLiteral("/dev/null");
}

// A lock in Qt's layout, last changed `age` seconds ago.
void Lock(const QString& settings, qint64 pid, const QByteArray& host, int age) {
    const QString path = settings + QStringLiteral(".lock");
    Write(path, QByteArray::number(pid) + "\nTavelorn Tiles\n" + host + '\n');
    const timeval then[2] = {{time(nullptr) - age, 0}, {time(nullptr) - age, 0}};
    QVERIFY(::utimes(QFile::encodeName(path).constData(), then) == 0);
}

// A number no process has.
constexpr qint64 NoProcess = 999'999'999;

// Everything about every entry under the folder that a write would change.
QMap<QString, QString> Snapshot(const QString& folder, const QStringList& except) {
    QMap<QString, QString> entries;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (except.contains(path)) continue;
        struct stat s {};
        ::lstat(QFile::encodeName(path).constData(), &s);
        QString entry = QStringLiteral("mode %1 inode %2 size %3 mtime %4.%5 ctime %6.%7")
                            .arg(s.st_mode).arg(s.st_ino).arg(s.st_size)
                            .arg(s.st_mtim.tv_sec).arg(s.st_mtim.tv_nsec).arg(s.st_ctim.tv_sec).arg(s.st_ctim.tv_nsec);
        if (S_ISLNK(s.st_mode)) entry += QStringLiteral(" -> ") + QFile::symLinkTarget(path);
        if (S_ISREG(s.st_mode) && s.st_size < 4096) {
            QFile file(path);
            if (file.open(QIODevice::ReadOnly)) entry += QStringLiteral(" bytes ") + file.readAll().toHex();
        }
        entries.insert(path, entry);
    }
    return entries;
}

// A writer on each FIFO in the folder, waiting in its open for a reader: one
// that no longer waits saw the FIFO opened, which the game never does.
class WaitingWriters {
public:
    explicit WaitingWriters(const QString& folder) {
        for (QDirIterator it(folder, QDir::System | QDir::NoDotAndDotDot); it.hasNext();) {
            struct stat s {};
            if (::lstat(QFile::encodeName(it.next()).constData(), &s) != 0 || !S_ISFIFO(s.st_mode)) continue;
            Writer& w = writers_.emplace_back();
            w.Path = QFile::encodeName(it.filePath());
            w.Handle = ::open(w.Path.constData(), O_PATH | O_CLOEXEC);  // reaches it even if it goes
            w.Thread = std::thread([&w] {
                w.Id = pid_t(::syscall(SYS_gettid));
                const int fd = ::open(w.Path.constData(), O_WRONLY | O_CLOEXEC);
                w.Opened = true;
                if (fd >= 0) ::close(fd);
            });
        }
    }
    // Whether each writer is in its open (the call its thread is in, as the
    // kernel tells), within 5 s.
    bool Waiting() const {
        QElapsedTimer clock;
        clock.start();
        const auto inOpen = [](pid_t id) {
            QFile call(QStringLiteral("/proc/self/task/%1/syscall").arg(id));
            return id > 0 && call.open(QIODevice::ReadOnly) &&
                   call.readAll().startsWith(QByteArray::number(SYS_openat) + ' ');
        };
        for (const Writer& w : writers_)
            for (; !inOpen(w.Id); QThread::msleep(1))
                if (clock.elapsed() > 5000) return false;
        return true;
    }
    QStringList Opened() const {
        QStringList opened;
        for (const Writer& w : writers_)
            if (w.Opened) opened << QFile::decodeName(w.Path);
        return opened;
    }
    ~WaitingWriters() {
        for (Writer& w : writers_) {
            const QByteArray handle = "/proc/self/fd/" + QByteArray::number(w.Handle);
            const int reader = ::open(handle.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
            w.Thread.join();
            ::close(reader), ::close(w.Handle);
        }
    }

private:
    struct Writer {
        QByteArray Path;
        int Handle = -1;
        std::thread Thread;
        std::atomic<pid_t> Id{0};
        std::atomic<bool> Opened{false};
    };
    std::list<Writer> writers_;  // each stays where its thread finds it
};

using Setup = std::function<void(const QDir& folder, const QString& settings)>;

// Values as bytes, NULs and all.
template <size_t N>
QByteArray Text(const char (&bytes)[N]) {
    return QByteArray(bytes, N - 1);
}

QByteArray Picture(const QString& path) {
    return "[Settings]\nBackground=True\nBackground%20Image=" + QFile::encodeName(path) + "\n";
}

// A picture of 3 x 2 pixels under a name in Latin-1 ("caf\xE9.bmp"), as an
// old file may be called; gives that name's bytes.
QByteArray Latin1Picture(const QDir& folder) {
    const QString plain = folder.filePath(QStringLiteral("plain.bmp"));
    QImage picture(3, 2, QImage::Format_RGB32);
    picture.fill(Qt::red);
    const QByteArray name = QFile::encodeName(folder.path()) + "/caf\xE9.bmp";
    if (!picture.save(plain) || ::rename(QFile::encodeName(plain).constData(), name.constData()) != 0) return {};
    return name;
}

}  // namespace

Q_DECLARE_METATYPE(Setup)

class HostileFilesTest : public QObject {
    Q_OBJECT
private slots:
    void theGameStartsAndClosesInTimeAndWritesOnlyItsOwnFile_data() {
        QTest::addColumn<Setup>("setup");
        QTest::addColumn<QByteArray>("values");  // as read at the start; empty: not checked
        QTest::addColumn<QByteArray>("saved");   // what the saved file holds; null: it is left as it was
        QTest::addColumn<QStringList>("gone");   // files the close removes: a left-over lock or save

        const auto none = [](const QDir&, const QString&) {};
        QTest::newRow("no file yet") << Setup(none) << Defaults << Saved << QStringList();
        QTest::newRow("settings file a FIFO")
            << Setup([](const QDir&, const QString& s) { QVERIFY(Fifo(s)); }) << Defaults << QByteArray() << QStringList();
        QTest::newRow("settings file a symlink to a device")
            << Setup([](const QDir& d, const QString& s) { QVERIFY(Link(Device(d), s)); }) << Defaults << QByteArray() << QStringList();
        QTest::newRow("settings file a directory") << Setup([](const QDir& d, const QString& s) {
            QVERIFY(d.mkdir(Settings));
            Write(s + QStringLiteral("/inside"), "kept");
        }) << Defaults << QByteArray() << QStringList();
        QTest::newRow("settings file a dangling symlink")
            << Setup([](const QDir& d, const QString& s) { QVERIFY(Link(d.filePath(QStringLiteral("gone/x.ini")), s)); })
            << Defaults << QByteArray() << QStringList();
        QTest::newRow("settings file a symlink to a FIFO") << Setup([](const QDir& d, const QString& s) {
            QVERIFY(Fifo(d.filePath(QStringLiteral("pipe"))));
            QVERIFY(Link(d.filePath(QStringLiteral("pipe")), s));
        }) << Defaults << QByteArray() << QStringList();
        QTest::newRow("lock a directory")
            << Setup([](const QDir& d, const QString&) { QVERIFY(d.mkdir(Settings + QStringLiteral(".lock"))); })
            << Defaults << QByteArray() << QStringList();
        QTest::newRow("lock a FIFO")
            << Setup([](const QDir&, const QString& s) { QVERIFY(Fifo(s + QStringLiteral(".lock"))); }) << Defaults
            << QByteArray() << QStringList();
        QTest::newRow("lock a dangling symlink") << Setup([](const QDir& d, const QString& s) {
            QVERIFY(Link(d.filePath(QStringLiteral("nowhere")), s + QStringLiteral(".lock")));
        }) << Defaults << QByteArray() << QStringList();
        QTest::newRow("lock a symlink to a file") << Setup([](const QDir& d, const QString& s) {
            Write(d.filePath(QStringLiteral("victim")), "not a lock");
            QVERIFY(Link(d.filePath(QStringLiteral("victim")), s + QStringLiteral(".lock")));
        }) << Defaults << QByteArray() << QStringList();
        QTest::newRow("lock held by a live program") << Setup([](const QDir&, const QString& s) {
            Write(s + QStringLiteral(".lock"), QByteArray::number(qint64(::getpid())) + "\nother\n\n");
        }) << Defaults << QByteArray() << QStringList();
        QTest::newRow("settings file of 64 MB") << Setup([](const QDir&, const QString& s) {
            Write(s, "[Settings]\nPattern=Tree\n");
            QVERIFY(::truncate(QFile::encodeName(s).constData(), 64 << 20) == 0);
        }) << Defaults << Saved << QStringList();
        QTest::newRow("binary values are text")
            << Setup([](const QDir&, const QString& s) {
                   Write(s, "[Settings]\nPattern=@Variant(\\0\\0\\0\\x2\\0\\0\\0\\x5)\nTileSet=@ByteArray(Animals)\n"
                            "Background%20Colour=@Variant(\\0\\0\\0\\x7f\\0\\x2\\x3\\x4)\nSound=@Rect(1 2 3 4)\n"
                            "Background=@Variant(\\0\\0\\0\\x1\\x1)\n");
               })
            << Text("@Variant(\0\0\0\x02\0\0\0\x05)|@ByteArray(Animals)|32768||False|False|True|0x0")
            << Saved << QStringList();
        QTest::newRow("a value that declares 9 GB")
            << Setup([](const QDir&, const QString& s) {
                   QFile input(QStringLiteral(TT_REGRESSIONS "/settings/variant-out-of-memory.ini"));
                   QVERIFY(input.open(QIODevice::ReadOnly));
                   Write(s, input.readAll());
               })
            << QByteArray() << Saved << QStringList();
        // As Qt's own settings wrote them: escaped keys, "@@" for a leading
        // "@", a quoted value with commas and spaces, "@String" for a NUL.
        QTest::newRow("a file the game wrote before")
            << Setup([](const QDir&, const QString& s) {
                   Write(s, "[Settings]\nBackground%20Colour=-16777216\nBackground%20Image=\"/pics/a, b.jpg \"\n"
                            "Background=False\nImage%20Stretch=True\nSound=False\nPattern=@@Variant(x)\n"
                            "TileSet=@String(\\0Cards)\n");
               })
            << Text("@Variant(x)|\0Cards|-16777216|/pics/a, b.jpg |False|True|False|0x0") << Saved << QStringList();
        QTest::newRow("picture a FIFO") << Setup([](const QDir& d, const QString& s) {
            QVERIFY(Fifo(d.filePath(QStringLiteral("pipe.jpg"))));
            Write(s, Picture(d.filePath(QStringLiteral("pipe.jpg"))));
        }) << QByteArray() << Saved << QStringList();
        QTest::newRow("picture a symlink to a device") << Setup([](const QDir& d, const QString& s) {
            QVERIFY(Link(Device(d), d.filePath(QStringLiteral("pic.bmp"))));
            Write(s, Picture(d.filePath(QStringLiteral("pic.bmp"))));
        }) << QByteArray() << Saved << QStringList();
        QTest::newRow("picture a directory") << Setup([](const QDir& d, const QString& s) {
            QVERIFY(d.mkdir(QStringLiteral("pic.gif")));
            Write(s, Picture(d.filePath(QStringLiteral("pic.gif"))));
        }) << QByteArray() << Saved << QStringList();
        // Small files of the largest pictures we hold: a JPEG whose every
        // scan is another pass over its 64 million pixels, and pictures whose
        // decoders give one byte a pixel, or keep a copy of their own.
        using namespace picture_files;
        const auto picture = [](const char* name, QByteArray (*make)()) {
            return Setup([name, make](const QDir& d, const QString& s) {
                Write(d.filePath(QLatin1String(name)), make());
                Write(s, Picture(d.filePath(QLatin1String(name))));
            });
        };
        const auto held = [](const char* name, const char* size) {
            return "Classic|Scanned Tiles|32768|{folder}/" + QByteArray(name) + "|True|False|True|" + size;
        };
        QTest::newRow("picture a JPEG of 2000 empty scans")
            << picture("scans.jpg", [] { return OneLevelJpeg(8192, 1, true, 2000); }) << held("scans.jpg", "0x0")
            << Saved << QStringList();
        QTest::newRow("picture a one-colour GIF of 8192 x 8192")
            << picture("one.gif", [] { return OneColourGif(8192, 8192); }) << held("one.gif", "8192x8192") << Saved
            << QStringList();
        QTest::newRow("picture a run-length bitmap of 8192 x 8192")
            << picture("one.bmp", [] { return OneColourBmp(8192, 8192); }) << held("one.bmp", "8192x8192") << Saved
            << QStringList();
        QTest::newRow("picture a grey JPEG of 8192 x 8192")
            << picture("grey.jpg", [] { return OneLevelJpeg(8192, 1, false); }) << held("grey.jpg", "8192x8192")
            << Saved << QStringList();
        QTest::newRow("picture a colour JPEG of 8192 x 8192")
            << picture("colour.jpg", [] { return OneLevelJpeg(8192, 3, false); }) << held("colour.jpg", "8192x8192")
            << Saved << QStringList();
        // A lock is left over when its owner is gone, when the number now
        // belongs to a program that is not the game, or when it is older
        // than any save; another host's, by its age alone.
        const QStringList lock = {Settings + QStringLiteral(".lock")};
        QTest::newRow("lock of a program that is gone")
            << Setup([](const QDir&, const QString& s) { Lock(s, NoProcess, QByteArray(), 0); }) << Defaults << Saved
            << lock;
        QTest::newRow("lock whose number a live program that is not the game took over")
            << Setup([](const QDir&, const QString& s) { Lock(s, ::getppid(), QSysInfo::machineHostName().toUtf8(), 0); })
            << Defaults << Saved << lock;
        QTest::newRow("lock of a live run of the game, a minute old")
            << Setup([](const QDir&, const QString& s) { Lock(s, ::getpid(), QByteArray(), 60); }) << Defaults << Saved
            << lock;
        QTest::newRow("lock of another host, a minute old")
            << Setup([](const QDir&, const QString& s) { Lock(s, ::getpid(), "elsewhere", 60); }) << Defaults << Saved
            << lock;
        QTest::newRow("lock of another host, dated a minute ahead")
            << Setup([](const QDir&, const QString& s) { Lock(s, NoProcess, "elsewhere", -60); }) << Defaults << Saved
            << lock;
        QTest::newRow("lock of another host, just made")
            << Setup([](const QDir&, const QString& s) { Lock(s, NoProcess, "elsewhere", 0); }) << Defaults
            << QByteArray() << QStringList();
        QTest::newRow("a save's file left by a kill") << Setup([](const QDir&, const QString& s) {
            Write(s + QStringLiteral(".saving-") + QString::number(NoProcess), "[Settings]\nSound=False\n");
        }) << Defaults << Saved << QStringList{Settings + QStringLiteral(".saving-") + QString::number(NoProcess)};
        QTest::newRow("a file named as a save's that is no left-over of one") << Setup([](const QDir&, const QString& s) {
            Write(s + QStringLiteral(".saving-old"), "kept");
            Write(s + QStringLiteral(".saving-") + QString::number(::getpid()) + QStringLiteral(".bak"), "kept");
        }) << Defaults << Saved << QStringList();
        // An old picture's name in Latin-1: shown, and written back as the
        // very bytes it was read as.
        QTest::newRow("picture path that is no UTF-8") << Setup([](const QDir& d, const QString& s) {
            Write(s, "[Settings]\nBackground=True\nBackground%20Image=" + Latin1Picture(d) + "\n");
        }) << QByteArray("Classic|Scanned Tiles|32768|{picture}|True|False|True|3x2")
           << QByteArray("Background%20Image={picture}\n")
           << QStringList();
    }

    void theGameStartsAndClosesInTimeAndWritesOnlyItsOwnFile() {
        QFETCH(Setup, setup);
        QFETCH(QByteArray, values);
        QFETCH(QByteArray, saved);
        QFETCH(QStringList, gone);
        QTemporaryDir folder;
        const QDir dir(folder.path());
        const QString settings = dir.filePath(Settings);
        setup(dir, settings);
        const QByteArray latin1 = QFile::encodeName(folder.path()) + "/caf\xE9.bmp";
        const auto cleanUp = qScopeGuard([&] { ::unlink(latin1.constData()); });  // Qt could not name it
        values.replace("{picture}", latin1).replace("{folder}", QFile::encodeName(folder.path()));
        saved.replace("{picture}", latin1);
        QStringList except;
        for (const QString& name : gone) {
            QVERIFY2(QFileInfo::exists(dir.filePath(name)), qPrintable(name));
            except << dir.filePath(name);
        }
        if (!saved.isNull()) except << settings;
        const QMap<QString, QString> before = Snapshot(folder.path(), except);
        const WaitingWriters writers(folder.path());
        QVERIFY2(writers.Waiting(), "a writer on a FIFO was not waiting in its open within 5 s");

        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TT_HOSTILE_SETTINGS"), settings);
        child.setProcessEnvironment(env);
        QElapsedTimer clock;
        clock.start();
        child.start(QCoreApplication::applicationFilePath(), {});
        const bool finished = child.waitForFinished(TimeLimitMs);
        if (!finished) child.kill(), child.waitForFinished();
        QVERIFY2(finished, "the game did not start and close in time");
        const QList<QByteArray> out = child.readAllStandardOutput().split('\n');
        QCOMPARE(child.exitCode(), 0);
        qInfo("%lld ms, %s KB at most, %ld KB with no settings file", clock.elapsed(), out.value(1).constData(), Baseline());
        if (!values.isEmpty()) QCOMPARE(out.value(0), values);
        QVERIFY2(Baseline() > 0, "the game with no settings file did not start and close within 30 s");
        // The settings file never costs more than a few MB of memory, and a
        // picture no more than its own pixels besides; a JPEG its decoder
        // stops partway (its work is counted as it reads) no more than the
        // loader's bound for the picture it declares, all 8192 x 8192 here.
        const long held = out.value(2).toLong();
        const bool stoppedJpeg = held == 0 && QByteArray(QTest::currentDataTag()).contains("JPEG");
        const long decoding = stoppedJpeg ? long((4 * qint64(8192) * 8192 + MaxJpegWorkingBytes) / 1024) : 0;
        QVERIFY2(out.value(1).toLong() < Baseline() + 8 * 1024 + held + decoding, out.value(1).constData());

        QCOMPARE(Snapshot(folder.path(), except), before);
        QVERIFY2(writers.Opened().isEmpty(), qPrintable("FIFO opened: " + writers.Opened().join(", ")));
        for (const QString& name : gone) QVERIFY2(!QFileInfo::exists(dir.filePath(name)), qPrintable(name));
        if (!saved.isNull()) {
            QFile file(settings);
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QByteArray text = file.readAll();
            QVERIFY(text.size() < 1024 && text.startsWith(Saved));
            QVERIFY2(text.contains(saved), text.constData());
        }
    }

private:
    // The memory the game takes with no settings file at all, in KB.
    static long Baseline() {
        static const long baseline = [] {
            QTemporaryDir folder;
            QProcess child;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QStringLiteral("TT_HOSTILE_SETTINGS"), QDir(folder.path()).filePath(Settings));
            child.setProcessEnvironment(env);
            child.start(QCoreApplication::applicationFilePath(), {});
            if (!child.waitForFinished(30000)) return -1L;
            return child.readAllStandardOutput().split('\n').value(1).toLong();
        }();
        return baseline;
    }
};

int main(int argc, char** argv) {
    const QString settings = qEnvironmentVariable("TT_HOSTILE_SETTINGS");
    QApplication app(argc, argv);
    if (!settings.isEmpty()) return StartAndClose(settings);
    HostileFilesTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "HostileFilesTest.moc"
