// Files a hostile or unlucky user may leave where the game looks: each case
// starts the game in a child process with its settings file there, and the
// game must show its window and close within the time limit, with the
// values it should have, writing nothing but its own settings file (and
// that only where a save may go through). Every other file in the folder
// keeps its bytes, inode and times.
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QtTest>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include "MainWindowFixture.h"

namespace {

constexpr int TimeLimitMs = 6000;
const QString Settings = QStringLiteral("Tavelorn Tiles.ini");
const QString Defaults = QStringLiteral("Classic|Scanned Tiles|32768||False|False|True");

// The child's work: start with the settings file, tell the values read and
// the memory taken, close. Exit code 0 when the close went through.
int StartAndClose(const QString& path) {
    RecordingSound sound;
    HandClock clock;
    CountingRandom random;
    ScriptedDialog dialog;
    frmMain form(MainServices{sound, dialog, clock, random, path});
    form.show();
    QCoreApplication::processEvents();
    const modTile& e = form.Engine();
    const auto text = [](bool b) { return b ? QStringLiteral("True") : QStringLiteral("False"); };
    const QStringList values = {form.cmbPattern->Text(), form.cmbTileSet->Text(), QString::number(e.BackgroundColour),
                                QString::fromStdString(e.BackgroundImage), text(e.BackgroundIsImage),
                                text(e.ImageStretch), text(e.SoundOn)};
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const QByteArray report = values.join(u'|').toUtf8() + '\n' + QByteArray::number(qint64(usage.ru_maxrss)) + '\n';
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

// Everything about every entry under the folder that a write would change.
QMap<QString, QString> Snapshot(const QString& folder, const QString& except) {
    QMap<QString, QString> entries;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (path == except) continue;
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

using Setup = std::function<void(const QDir& folder, const QString& settings)>;

// Values as bytes, NULs and all.
template <size_t N>
QString Text(const char (&bytes)[N]) {
    return QString::fromUtf8(bytes, N - 1);
}

QByteArray Picture(const QString& path) {
    return "[Settings]\nBackground=True\nBackground%20Image=" + QFile::encodeName(path) + "\n";
}

}  // namespace

Q_DECLARE_METATYPE(Setup)

class HostileFilesTest : public QObject {
    Q_OBJECT
private slots:
    void theGameStartsAndClosesInTimeAndWritesOnlyItsOwnFile_data() {
        QTest::addColumn<Setup>("setup");
        QTest::addColumn<QString>("values");  // as read at the start; empty: not checked
        QTest::addColumn<bool>("saves");      // whether the close writes the settings file

        const auto none = [](const QDir&, const QString&) {};
        QTest::newRow("no file yet") << Setup(none) << Defaults << true;
        QTest::newRow("settings file a FIFO")
            << Setup([](const QDir&, const QString& s) { QVERIFY(Fifo(s)); }) << Defaults << false;
        QTest::newRow("settings file a symlink to a device")
            << Setup([](const QDir& d, const QString& s) { QVERIFY(Link(Device(d), s)); }) << Defaults << false;
        QTest::newRow("settings file a directory") << Setup([](const QDir& d, const QString& s) {
            QVERIFY(d.mkdir(Settings));
            Write(s + QStringLiteral("/inside"), "kept");
        }) << Defaults << false;
        QTest::newRow("settings file a dangling symlink")
            << Setup([](const QDir& d, const QString& s) { QVERIFY(Link(d.filePath(QStringLiteral("gone/x.ini")), s)); })
            << Defaults << false;
        QTest::newRow("settings file a symlink to a FIFO") << Setup([](const QDir& d, const QString& s) {
            QVERIFY(Fifo(d.filePath(QStringLiteral("pipe"))));
            QVERIFY(Link(d.filePath(QStringLiteral("pipe")), s));
        }) << Defaults << false;
        QTest::newRow("lock a directory")
            << Setup([](const QDir& d, const QString&) { QVERIFY(d.mkdir(Settings + QStringLiteral(".lock"))); })
            << Defaults << false;
        QTest::newRow("lock a FIFO")
            << Setup([](const QDir&, const QString& s) { QVERIFY(Fifo(s + QStringLiteral(".lock"))); }) << Defaults
            << false;
        QTest::newRow("lock a dangling symlink") << Setup([](const QDir& d, const QString& s) {
            QVERIFY(Link(d.filePath(QStringLiteral("nowhere")), s + QStringLiteral(".lock")));
        }) << Defaults << false;
        QTest::newRow("lock a symlink to a file") << Setup([](const QDir& d, const QString& s) {
            Write(d.filePath(QStringLiteral("victim")), "not a lock");
            QVERIFY(Link(d.filePath(QStringLiteral("victim")), s + QStringLiteral(".lock")));
        }) << Defaults << false;
        QTest::newRow("lock held by a live program") << Setup([](const QDir&, const QString& s) {
            Write(s + QStringLiteral(".lock"), QByteArray::number(qint64(::getpid())) + "\nother\n\n");
        }) << Defaults << false;
        QTest::newRow("settings file of 64 MB") << Setup([](const QDir&, const QString& s) {
            Write(s, "[Settings]\nPattern=Tree\n");
            QVERIFY(::truncate(QFile::encodeName(s).constData(), 64 << 20) == 0);
        }) << Defaults << true;
        QTest::newRow("binary values are text")
            << Setup([](const QDir&, const QString& s) {
                   Write(s, "[Settings]\nPattern=@Variant(\\0\\0\\0\\x2\\0\\0\\0\\x5)\nTileSet=@ByteArray(Animals)\n"
                            "Background%20Colour=@Variant(\\0\\0\\0\\x7f\\0\\x2\\x3\\x4)\nSound=@Rect(1 2 3 4)\n"
                            "Background=@Variant(\\0\\0\\0\\x1\\x1)\n");
               })
            << Text("@Variant(\0\0\0\x02\0\0\0\x05)|@ByteArray(Animals)|32768||False|False|True")
            << true;
        QTest::newRow("a value that declares 9 GB")
            << Setup([](const QDir&, const QString& s) {
                   QFile input(QStringLiteral(TT_REGRESSIONS "/settings/variant-out-of-memory.ini"));
                   QVERIFY(input.open(QIODevice::ReadOnly));
                   Write(s, input.readAll());
               })
            << QString() << true;
        // As Qt's own settings wrote them: escaped keys, "@@" for a leading
        // "@", a quoted value with commas and spaces, "@String" for a NUL.
        QTest::newRow("a file the game wrote before")
            << Setup([](const QDir&, const QString& s) {
                   Write(s, "[Settings]\nBackground%20Colour=-16777216\nBackground%20Image=\"/pics/a, b.jpg \"\n"
                            "Background=False\nImage%20Stretch=True\nSound=False\nPattern=@@Variant(x)\n"
                            "TileSet=@String(\\0Cards)\n");
               })
            << Text("@Variant(x)|\0Cards|-16777216|/pics/a, b.jpg |False|True|False") << true;
        QTest::newRow("picture a FIFO") << Setup([](const QDir& d, const QString& s) {
            QVERIFY(Fifo(d.filePath(QStringLiteral("pipe.jpg"))));
            Write(s, Picture(d.filePath(QStringLiteral("pipe.jpg"))));
        }) << QString() << true;
        QTest::newRow("picture a symlink to a device") << Setup([](const QDir& d, const QString& s) {
            QVERIFY(Link(Device(d), d.filePath(QStringLiteral("pic.bmp"))));
            Write(s, Picture(d.filePath(QStringLiteral("pic.bmp"))));
        }) << QString() << true;
        QTest::newRow("picture a directory") << Setup([](const QDir& d, const QString& s) {
            QVERIFY(d.mkdir(QStringLiteral("pic.gif")));
            Write(s, Picture(d.filePath(QStringLiteral("pic.gif"))));
        }) << QString() << true;
    }

    void theGameStartsAndClosesInTimeAndWritesOnlyItsOwnFile() {
        QFETCH(Setup, setup);
        QFETCH(QString, values);
        QFETCH(bool, saves);
        QTemporaryDir folder;
        const QString settings = QDir(folder.path()).filePath(Settings);
        setup(QDir(folder.path()), settings);
        const QMap<QString, QString> before = Snapshot(folder.path(), saves ? settings : QString());

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
        qInfo("%lld ms, %s KB at most", clock.elapsed(), out.value(1).constData());
        if (!values.isEmpty()) QCOMPARE(QString::fromUtf8(out.value(0)), values);
        // The settings file never costs more than a few MB of memory.
        QVERIFY2(Baseline() > 0, "the game with no settings file did not start and close within 30 s");
        QVERIFY2(out.value(1).toLong() < Baseline() + 8 * 1024, out.value(1).constData());

        QCOMPARE(Snapshot(folder.path(), saves ? settings : QString()), before);
        if (saves) {
            QFile file(settings);
            QVERIFY(file.open(QIODevice::ReadOnly));
            QVERIFY(file.size() < 1024 && file.readAll().startsWith("[Settings]\n"));
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
