// The seven settings between runs: defaults, the round trip, values that do
// not convert, a picture that will not load, and a store that cannot be
// written, with the reason said.
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QScopeGuard>
#include <QSysInfo>
#include <QTemporaryFile>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <dirent.h>
#include <random>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "HangGuard.h"
#include "KeptBytes.h"
#include "MainWindowFixture.h"
#include "Settings.h"
#include "SettingsLock.h"

namespace {
// What `run` says on standard error.
QString Said(const std::function<void()>& run) {
    QTemporaryFile said;
    if (!said.open()) return QStringLiteral("(standard error could not be caught)");
    const int kept = dup(2);
    dup2(said.handle(), 2);
    run();
    dup2(kept, 2);
    close(kept);
    said.seek(0);
    return QString::fromUtf8(said.readAll());
}

// The superuser enters and writes any folder: `run` runs as the user
// nobody, and the test is itself again before anything is checked.
// Whether it could become nobody and back.
bool AsNobody(const std::function<void()>& run) {
    const uid_t user = geteuid();
    const gid_t group = getegid();
    const bool switched = user != 0 || (setegid(65534) == 0 && seteuid(65534) == 0);
    if (switched) run();
    return switched && seteuid(user) == 0 && setegid(group) == 0;
}

// Every entry under `folder`, symlinks not followed, by their paths from it,
// each byte of a name that is no UTF-8 kept as the game keeps it.
QStringList Tree(const QString& folder) {
    QStringList entries;
    const std::function<void(const QByteArray&)> walk = [&](const QByteArray& under) {
        DIR* dir = ::opendir((EncodeKeepingBytes(folder) + under).constData());
        if (!dir) return;
        while (const dirent* entry = ::readdir(dir)) {
            const QByteArray name = entry->d_name;
            if (name == "." || name == "..") continue;
            entries << DecodeKeepingBytes(under.mid(1) + (under.isEmpty() ? "" : "/") + name);
            if (entry->d_type == DT_DIR) walk(under + '/' + name);
        }
        ::closedir(dir);
    };
    walk(QByteArray());
    entries.sort();
    return entries;
}
}  // namespace

class SettingsTest : public QObject {
    Q_OBJECT
private slots:
    void aFirstRunTakesTheDefaults();
    void aSaveThenALoadGivesBackAllSevenValues();
    void aPicturePathComesBackByteForByte();
    void theStoreIsAnIniFileWithTheTextForms();
    void unknownLayoutAndTileSetNamesAreKeptAndWrittenBack();
    void aValueThatDoesNotConvertTakesItsDefault_data();
    void aValueThatDoesNotConvertTakesItsDefault();
    void aPictureThatWillNotLoadLeavesTheGameRunning_data();
    void aPictureThatWillNotLoadLeavesTheGameRunning();
    void aStoredPictureIsLoadedIntoTheBackgroundHolder();
    void aFailedWriteLeavesTheOldFileWholeAndTheCloseGoesOn();
    void aReadOnlyFolderLeavesTheOldFileWhole_data();
    void aReadOnlyFolderLeavesTheOldFileWhole();
    void theConfigurationFolderIsMadeAsTheKernelWalksItOrItsFailingPartIsNamed_data();
    void theConfigurationFolderIsMadeAsTheKernelWalksItOrItsFailingPartIsNamed();
    void theStoreFollowsTheUsersConfigurationFolder();
    void aChangeMeetsTheFileAndLockAsTheyStand_data();
    void aChangeMeetsTheFileAndLockAsTheyStand();
    void theLockNamesItsOwnerAsQtsLockFilesDo();
};

void SettingsTest::aFirstRunTakesTheDefaults() {
    MainWindowFixture f;
    frmMain& form = f.Open();
    const modTile& engine = form.Engine();
    QCOMPARE(form.cmbPattern->Text(), QString("Classic"));
    QCOMPARE(form.cmbTileSet->Text(), QString("Scanned Tiles"));
    QCOMPARE(engine.BackgroundColour, 32768);
    QCOMPARE(engine.BackgroundImage, std::string());
    QVERIFY(!engine.BackgroundIsImage);
    QVERIFY(!engine.ImageStretch);
    QVERIFY(engine.SoundOn);
    QVERIFY(!form.btnSound->isEnabled());
    QVERIFY(form.btnNoSound->isEnabled());
    QVERIFY(form.picSkin.Empty());
    QVERIFY(form.chkEasy->isChecked());
}

void SettingsTest::aSaveThenALoadGivesBackAllSevenValues() {
    MainWindowFixture f;
    {
        frmMain& form = f.Open();
        modTile& engine = form.Engine();
        form.cmbPattern->SetText("Dam");
        form.cmbTileSet->SetText("Animals");
        engine.BackgroundColour = -16777216;
        engine.BackgroundImage = "/no/such/picture.jpg";
        engine.BackgroundIsImage = false;
        engine.ImageStretch = true;
        form.btnNoSound_Click();
        form.chkEasy->setChecked(false);
        form.close();
    }
    frmMain& form = f.Open();
    const modTile& engine = form.Engine();
    QCOMPARE(form.cmbPattern->Text(), QString("Dam"));
    QCOMPARE(form.cmbTileSet->Text(), QString("Animals"));
    QVERIFY(engine.TileSetDC == &form.TileSet3);
    QCOMPARE(engine.BackgroundColour, -16777216);
    QCOMPARE(engine.BackgroundImage, std::string("/no/such/picture.jpg"));
    QVERIFY(!engine.BackgroundIsImage);
    QVERIFY(engine.ImageStretch);
    QVERIFY(!engine.SoundOn);
    QVERIFY(form.btnSound->isEnabled());
    QVERIFY(!form.btnNoSound->isEnabled());
    QVERIFY(form.chkEasy->isChecked());  // never stored
}

// Any bytes at all as the picture's path (an old name in Latin-1, a byte
// order mark anywhere, broken UTF-8, control bytes) are saved and loaded
// back as the very same bytes; drawn from a fixed seed, weighted towards
// the bytes that make and break UTF-8 sequences.
void SettingsTest::aPicturePathComesBackByteForByte() {
    MainWindowFixture f;
    frmMain& form = f.Open(false);
    std::mt19937 draw(0x9A7E);
    // Whole and broken sequences, a byte order mark, Latin-1, a character
    // outside the BMP whose low half looks like a kept byte, what the file's
    // layout gives a meaning to; and any byte.
    const QByteArrayList pieces = {"\xEF\xBB\xBF", "\xC0\x80", "\xC1\xBF", "\xC3\xA9", "\xC3", "\xE9", "\x80", "\xED\xA0\x80", "\xF0\x9F\x98\x80",
                                   "\xF0\x9F\x93\xB7", "\xF0\x9F", "\xFF", "\\", "\"", ",", "=", ";", "@", " ", "\n",
                                   QByteArray(1, '\0')};
    for (int round = 0; round < 300; ++round) {
        std::string path;
        const int length = int(draw() % 8);
        for (int k = 0; k < length; ++k)
            path += draw() % 4 ? pieces[int(draw() % pieces.size())].toStdString() : std::string(1, char(draw() % 256));
        form.Engine().BackgroundImage = path;
        SaveSettings(form);
        form.Engine().BackgroundImage.clear();
        form.Activated = true;
        LoadSettings(form);
        form.Activated = false;
        QCOMPARE(QByteArray::fromStdString(form.Engine().BackgroundImage).toHex(' '),
                 QByteArray::fromStdString(path).toHex(' '));
    }
}

void SettingsTest::theStoreIsAnIniFileWithTheTextForms() {
    MainWindowFixture f;
    frmMain& form = f.Open();
    form.Engine().BackgroundColour = -5;
    form.Engine().BackgroundIsImage = true;
    form.close();
    QFile file(f.SettingsFile());
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    QVERIFY2(text.startsWith("[Settings]"), qPrintable(text));
    for (const char* line : {"Background%20Colour=-5", "Background=True", "Image%20Stretch=False", "Sound=True",
                             "Pattern=Classic", "TileSet=Scanned Tiles", "Background%20Image="})
        QVERIFY2(text.contains(QString(line)), line);
}

void SettingsTest::unknownLayoutAndTileSetNamesAreKeptAndWrittenBack() {
    MainWindowFixture f;
    f.Store("Pattern", "Castle");
    f.Store("TileSet", "Marble");
    frmMain& form = f.Open();
    QCOMPARE(form.cmbPattern->Text(), QString("Castle"));
    QCOMPARE(form.cmbTileSet->Text(), QString("Marble"));
    QVERIFY(form.Engine().TileSetDC == &form.TileSet0);
    QCOMPARE(form.Engine().TilesLeft, int16_t(144));
    form.close();
    QCOMPARE(f.Stored("Pattern"), QString("Castle"));
    QCOMPARE(f.Stored("TileSet"), QString("Marble"));
}

void SettingsTest::aValueThatDoesNotConvertTakesItsDefault_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("loaded");  // what is written back
    QTest::newRow("colour not a number") << "Background Colour" << "green" << "32768";
    QTest::newRow("colour with a fraction") << "Background Colour" << "12.5" << "32768";
    QTest::newRow("colour beyond 32 bits") << "Background Colour" << "2147483648" << "32768";
    QTest::newRow("colour below 32 bits") << "Background Colour" << "-2147483649" << "32768";
    QTest::newRow("colour empty") << "Background Colour" << "" << "32768";
    QTest::newRow("colour at the bottom") << "Background Colour" << "-2147483648" << "-2147483648";
    QTest::newRow("boolean a number") << "Background" << "1" << "False";
    QTest::newRow("boolean in lower case") << "Background" << "true" << "True";
    QTest::newRow("boolean shouted") << "Image Stretch" << "TRUE" << "True";
    QTest::newRow("boolean word") << "Image Stretch" << "yes" << "False";
    QTest::newRow("sound empty") << "Sound" << "" << "True";
    QTest::newRow("sound off in lower case") << "Sound" << "false" << "False";
}

void SettingsTest::aValueThatDoesNotConvertTakesItsDefault() {
    QFETCH(QString, key);
    QFETCH(QString, stored);
    QFETCH(QString, loaded);
    MainWindowFixture f;
    f.Store(key, stored);
    frmMain& form = f.Open();
    QCOMPARE(form.Engine().TilesLeft, int16_t(144));
    form.close();
    QCOMPARE(f.Stored(key), loaded);
}

void SettingsTest::aPictureThatWillNotLoadLeavesTheGameRunning_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("empty path") << "" << QByteArray();
    QTest::newRow("missing file") << "missing.bmp" << QByteArray();
    QTest::newRow("not a picture") << "notes.jpg" << QByteArray("just some words");
    QTest::newRow("damaged bitmap") << "broken.bmp" << QByteArray("BM\x10\x00\x00\x00garbage", 14);
}

void SettingsTest::aPictureThatWillNotLoadLeavesTheGameRunning() {
    QFETCH(QString, file);
    QFETCH(QByteArray, content);
    MainWindowFixture f;
    QString path;
    if (!file.isEmpty()) {
        path = f.Folder.filePath(file);
        if (!content.isEmpty()) {
            QFile out(path);
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write(content);
        }
    }
    f.Store("Background", "True");
    f.Store("Background Image", path);
    frmMain& form = f.Open();
    QVERIFY(form.picSkin.Empty());
    QVERIFY(form.SkinPicture().isNull());
    QVERIFY(form.Engine().BackgroundIsImage);
    QCOMPARE(form.Engine().TilesLeft, int16_t(144));
    form.Engine().RefreshBoard();  // painting without a picture is safe
    form.close();
    QCOMPARE(f.Stored("Background Image"), path);
}

void SettingsTest::aStoredPictureIsLoadedIntoTheBackgroundHolder() {
    MainWindowFixture f;
    QImage picture(30, 20, QImage::Format_RGB32);
    picture.fill(QColor(10, 20, 30));
    const QString path = f.Folder.filePath("sky.bmp");
    QVERIFY(picture.save(path));
    f.Store("Background", "True");
    f.Store("Background Image", path);
    frmMain& form = f.Open();
    QCOMPARE(form.picSkin.ScaleWidth(), 30);
    QCOMPARE(form.picSkin.ScaleHeight(), 20);
    QCOMPARE(form.picSkin.Pixel(5, 5), uint32_t(0x1E140A));  // &HBBGGRR

    // Stored without "Background": the path is kept, no picture is loaded.
    MainWindowFixture plain;
    plain.Store("Background Image", path);
    frmMain& other = plain.Open();
    QVERIFY(other.picSkin.Empty());
    other.close();
    QCOMPARE(plain.Stored("Background Image"), path);
}

void SettingsTest::aFailedWriteLeavesTheOldFileWholeAndTheCloseGoesOn() {
    MainWindowFixture f;
    f.Store("Pattern", "Key");
    QFile before(f.SettingsFile());
    QVERIFY(before.open(QIODevice::ReadOnly));
    const QByteArray old = before.readAll();
    before.close();

    frmMain& form = f.Open();
    form.cmbPattern->SetText("Block");
    // No file may grow past a few bytes: every write fails as on a full
    // disk, whoever runs the test.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit tiny = saved;
    tiny.rlim_cur = 8;
    setrlimit(RLIMIT_FSIZE, &tiny);
    const bool closed = form.close();
    setrlimit(RLIMIT_FSIZE, &saved);
    QVERIFY(closed);
    QFile after(f.SettingsFile());
    QVERIFY(after.open(QIODevice::ReadOnly));
    QCOMPARE(after.readAll(), old);
    QCOMPARE(QDir(f.Folder.path()).entryList(QDir::Files), QStringList({"Tavelorn Tiles.ini"}));
}

void SettingsTest::aReadOnlyFolderLeavesTheOldFileWhole_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("reason");  // %1: the folder
    QTest::newRow("a folder it may not write to") << 0555 << "the folder %1 is not writable";
    QTest::newRow("a folder it may not enter")
        << 0 << "it cannot be reached (" + QString::fromLocal8Bit(std::strerror(EACCES)) + ')';
}

void SettingsTest::aReadOnlyFolderLeavesTheOldFileWhole() {
    QFETCH(int, mode);
    QFETCH(QString, reason);
    MainWindowFixture f;
    f.Store("Pattern", "Key");
    QFile before(f.SettingsFile());
    QVERIFY(before.open(QIODevice::ReadOnly));
    const QByteArray old = before.readAll();
    frmMain& form = f.Open();
    form.cmbPattern->SetText("Block");
    QVERIFY(::chmod(QFile::encodeName(f.Folder.path()).constData(), mode_t(mode)) == 0);
    bool closed = false, asNobody = false;
    const QString said = Said([&] { asNobody = AsNobody([&] { closed = form.close(); }); });
    QFile::setPermissions(f.Folder.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY2(asNobody, "could not become the user nobody and back");
    QVERIFY(closed);
    QCOMPARE(said, "Tavelorn Tiles: settings not saved to " + f.SettingsFile() + ": " +
                       reason.replace("%1", f.Folder.path()) + '\n');
    QFile after(f.SettingsFile());
    QVERIFY(after.open(QIODevice::ReadOnly));
    QCOMPARE(after.readAll(), old);
    QCOMPARE(QDir(f.Folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList({"Tavelorn Tiles.ini"}));
}

// XDG_CONFIG_HOME in a folder of the test's that holds "file", "loop" (a
// symlink to itself) and "link" (a symlink to "deep/inner"); the save and the
// next start run as the user nobody. The folders are made part by part as
// the kernel walks the path, ".." and all, with the modes the user's umask
// gives, and the next start reads the settings back; where a part cannot
// be, it is named, and nothing is made.
void SettingsTest::theConfigurationFolderIsMadeAsTheKernelWalksItOrItsFailingPartIsNamed_data() {
    QTest::addColumn<QByteArray>("config");
    QTest::addColumn<QString>("reason");    // %1: that folder; empty: saved
    QTest::addColumn<QStringList>("made");  // the folder the save goes into first, then any other made
    const auto unmade = [](const QByteArray& name, int error) {
        return "the folder %1/" + QString::fromLatin1(name) + " could not be made (" +
               QString::fromLocal8Bit(std::strerror(error)) + ')';
    };
    const QByteArray longName(NAME_MAX + 1, 'n');
    QTest::newRow("a plain folder") << QByteArray("cfg") << QString() << QStringList{"cfg"};
    QTest::newRow("a part not there, then ..: no folder for it") << QByteArray("missing/../cfg") << QString()
                                                               << QStringList{"cfg"};
    QTest::newRow("parts not there, then ..: beside the symlink's target")
        << QByteArray("link/gone/./more//../../cfg") << QString() << QStringList{"deep/inner/cfg"};
    QTest::newRow("a symlink, then ..: beside its target") << QByteArray("link/../cfg") << QString()
                                                           << QStringList{"deep/cfg"};
    QTest::newRow("from the root, then ..: the root's own") << QByteArray("/..%1/cfg") << QString() << QStringList{"cfg"};
    QTest::newRow("from the root, a part not there, then .. twice")
        << QByteArray("/tt-not-there/../..%1/cfg") << QString() << QStringList{"cfg"};
    QTest::newRow("the root's ..: the root itself, where no one else may write")
        << QByteArray("/..") << QStringLiteral("the folder /../Tavelorn Tiles may not be made here") << QStringList();
    QTest::newRow("a character outside the BMP")
        << QByteArray("\xF0\x9F\x93\xB7") << QString() << QStringList{QString::fromUtf8("\xF0\x9F\x93\xB7")};
    QTest::newRow("two-byte leads C0 and C1, no UTF-8") << QByteArray("\xC0\x80\xC1\xBF") << QString()
                                                       << QStringList{DecodeKeepingBytes("\xC0\x80\xC1\xBF")};
    QTest::newRow("a regular file, then ..") << QByteArray("file/../cfg") << QStringLiteral("%1/file is not a folder")
                                             << QStringList();
    QTest::newRow("a regular file") << QByteArray("file") << QStringLiteral("%1/file is not a folder") << QStringList();
    QTest::newRow("a symlink loop") << QByteArray("loop") << unmade("loop", ELOOP) << QStringList();
    QTest::newRow("a name over 255 bytes") << longName << unmade(longName, ENAMETOOLONG) << QStringList();
    QTest::newRow("a path over PATH_MAX: no folder made on its way")
        << QByteArray("a/").repeated(PATH_MAX / 2)
        << "it could not be written (" + QString::fromLocal8Bit(std::strerror(ENAMETOOLONG)) + ')' << QStringList();
}

void SettingsTest::theConfigurationFolderIsMadeAsTheKernelWalksItOrItsFailingPartIsNamed() {
    QFETCH(QByteArray, config);
    QFETCH(QString, reason);
    QFETCH(QStringList, made);
    QTemporaryDir folder;
    const QByteArray top = QFile::encodeName(folder.path());
    QVERIFY(QDir(folder.path()).mkpath("deep/inner") && QFile(folder.filePath("file")).open(QIODevice::WriteOnly));
    QVERIFY(::symlink("loop", top + "/loop") == 0 && ::symlink("deep/inner", top + "/link") == 0);
    for (const QByteArray& writable : {top, top + "/deep", top + "/deep/inner"})  // for nobody to make folders in
        QVERIFY(geteuid() != 0 || ::chown(writable.constData(), 65534, 65534) == 0);
    QStringList tree = Tree(folder.path());
    // A path from the root names the test's folder, leading slash and all,
    // as %1; it must not lead under the folder the game was started from.
    qputenv("XDG_CONFIG_HOME", config.startsWith('/') ? QByteArray(config).replace("%1", top) : top + '/' + config);
    const QString startedFrom = QDir::currentPath();
    QVERIFY(QDir::setCurrent(folder.filePath("deep")));
    const auto backToStart = qScopeGuard([&] { QDir::setCurrent(startedFrom); });
    MainWindowFixture f;
    QString said;
    int32_t readBack = 0;
    QVERIFY2(AsNobody([&] {
                 frmMain form(MainServices{f.Sound, f.Dialog, f.TimeOfDay, f.Random, DefaultSettingsFile()});
                 form.Engine().BackgroundColour = 12345;
                 said = Said([&] { SaveSettings(form); });
                 frmMain next(MainServices{f.Sound, f.Dialog, f.TimeOfDay, f.Random, DefaultSettingsFile()});
                 readBack = next.Engine().BackgroundColour;
             }),
             "could not become the user nobody and back");
    QCOMPARE(said, reason.isEmpty() ? QString()
                                    : "Tavelorn Tiles: settings not saved to " + DefaultSettingsFile() + ": " +
                                          reason.replace("%1", folder.path()) + '\n');
    QCOMPARE(readBack, reason.isEmpty() ? 12345 : 32768);
    const mode_t umasked = ::umask(0);
    ::umask(umasked);
    QStringList folders = made, files;
    if (!made.isEmpty())
        folders << made[0] + "/Tavelorn Tiles", files << made[0] + "/Tavelorn Tiles/Tavelorn Tiles.ini";
    for (const QString& entry : folders + files) {
        struct stat info {};
        QVERIFY(::stat(top + '/' + EncodeKeepingBytes(entry), &info) == 0);
        QCOMPARE(int(info.st_mode & 07777), (files.contains(entry) ? 0666 : 0777) & ~int(umasked));
    }
    tree << folders << files;
    tree.sort();
    QCOMPARE(Tree(folder.path()), tree);
}

void SettingsTest::theStoreFollowsTheUsersConfigurationFolder() {
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", home.path().toUtf8());
    QVERIFY(DefaultSettingsFile().startsWith(home.path() + "/"));
    QVERIFY(DefaultSettingsFile().endsWith(".ini"));
    QVERIFY(DefaultSettingsFile().contains("Tavelorn Tiles"));
}


// A change the player makes meets the file and its lock as they stand: it
// is stored unless a lock of another live run stands in its way (one whose
// program file was replaced while it runs too; a lock of this very process
// is left over: its number was reused), it never holds
// the window for the close's 2 s, and when it stores nothing the file is
// untouched (bytes, inode and time). The file keeps its mode, and a
// symlink stays one, its target holding the values.
void SettingsTest::aChangeMeetsTheFileAndLockAsTheyStand_data() {
    QTest::addColumn<QString>("scene");
    QTest::addColumn<int>("colour");  // the background colour chosen; the file holds 32768
    QTest::addColumn<bool>("stored");
    QTest::addColumn<bool>("lockLeft");
    QTest::newRow("nothing in the way, the file's length the same") << "plain" << 12345 << true << false;
    QTest::newRow("the same value chosen again") << "plain" << 32768 << false << false;
    QTest::newRow("a file of mode 0600") << "private" << 12345 << true << false;
    QTest::newRow("a file that is a symlink") << "symlink" << 12345 << true << false;
    QTest::newRow("a lock of this very process") << "own lock" << 12345 << true << false;
    QTest::newRow("a lock just made, its owner not yet written") << "new lock" << 12345 << false << true;
    QTest::newRow("a lock of a live copy of the game") << "live lock" << 12345 << false << true;
    QTest::newRow("a lock of a live copy whose program file was replaced") << "replaced lock" << 12345 << false << true;
}

void SettingsTest::aChangeMeetsTheFileAndLockAsTheyStand() {
    QFETCH(QString, scene);
    QFETCH(int, colour);
    QFETCH(bool, stored);
    QFETCH(bool, lockLeft);
    MainWindowFixture f;
    frmMain& form = f.Open(false);
    const QByteArray file = QFile::encodeName(f.SettingsFile()), lock = file + ".lock";
    const QByteArray target = scene == "symlink" ? QFile::encodeName(f.Folder.filePath("elsewhere.ini")) : file;
    if (target != file)
        QVERIFY(QFile(QString::fromLocal8Bit(target)).open(QIODevice::WriteOnly) &&
                ::symlink(target.constData(), file.constData()) == 0);
    // A copy of this very program that lives on, as another run would.
    pid_t live = 0;
    QProcess copy;
    const auto end = qScopeGuard([&live, &copy] {
        if (live > 0) ::kill(live, SIGKILL), ::waitpid(live, nullptr, 0);
        copy.kill(), copy.waitForFinished();
    });
    if (scene == "live lock" && (live = ::fork()) == 0)
        for (;;) ::pause();
    const auto owner = [](qint64 pid) {
        return QByteArray::number(pid) + "\nTavelorn Tiles\n" + QSysInfo::machineHostName().toUtf8() + '\n';
    };

    struct stat before {}, after {}, link {};
    QByteArray bytes;
    qint64 took = 0;
    // A lock with no owner counts its age in whole seconds: the change
    // must come within the second the lock was made, so it is made as a
    // second begins, and made again should the second end meanwhile.
    for (int attempt = 0; attempt < 5; ++attempt) {
        ::unlink(lock.constData());
        form.Engine().BackgroundColour = 32768;
        QVERIFY(SaveSettings(form));
        if (scene == "private") QVERIFY(::chmod(file.constData(), 0600) == 0);
        const time_t second = std::time(nullptr);
        if (scene == "new lock")
            while (std::time(nullptr) == second) QThread::msleep(1);
        const time_t made = std::time(nullptr);
        if (scene == "replaced lock") {
            // A copy of this program takes the lock, and its file is removed
            // while it runs, as when the game is rebuilt or upgraded.
            const QString program = f.Folder.filePath(QFileInfo(QCoreApplication::applicationFilePath()).fileName());
            QVERIFY(QFile::copy(QCoreApplication::applicationFilePath(), program));
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert("TT_HOLD_LOCK", QString::fromLocal8Bit(lock));
            copy.setProcessEnvironment(env);
            copy.start(program, {});
            QVERIFY2(copy.waitForReadyRead(10000) && copy.readLine() == "held\n", "the copy held no lock within 10 s");
            QVERIFY(QFile::remove(program));
            char exe[PATH_MAX] = {};
            const QByteArray proc = "/proc/" + QByteArray::number(copy.processId()) + "/exe";
            QVERIFY(::readlink(proc.constData(), exe, sizeof exe - 1) > 0);
            QVERIFY2(QByteArray(exe).endsWith(" (deleted)"), exe);
        } else if (scene.endsWith("lock")) {
            QFile out(QString::fromLocal8Bit(lock));
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write(scene == "own lock" ? owner(::getpid()) : scene == "live lock" ? owner(live) : QByteArray());
        }
        QVERIFY(::lstat(file.constData(), &link) == 0 && ::stat(target.constData(), &before) == 0);
        QFile old(QString::fromLocal8Bit(target));
        QVERIFY(old.open(QIODevice::ReadOnly));
        bytes = old.readAll();
        QElapsedTimer clock;
        clock.start();
        form.Engine().BackgroundColour = colour;
        const HangGuard guard(std::chrono::seconds(5), "a change held the window for 5 s");
        SaveChangedSettings(form);
        took = clock.elapsed();
        if (scene != "new lock" || std::time(nullptr) == made) break;
    }
    QVERIFY2(took < 1000, qPrintable(QStringLiteral("the change held the window for %1 ms").arg(took)));
    QCOMPARE(QFile::exists(QString::fromLocal8Bit(lock)), lockLeft);
    QVERIFY(::stat(target.constData(), &after) == 0);
    QFile now(QString::fromLocal8Bit(target));
    QVERIFY(now.open(QIODevice::ReadOnly));
    const QByteArray text = now.readAll();
    if (stored) {
        QVERIFY2(text.contains("\nBackground%20Colour=" + QByteArray::number(colour) + '\n'), text.constData());
    } else {
        QCOMPARE(text, bytes);
        QCOMPARE(after.st_ino, before.st_ino);
        QCOMPARE(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
        QCOMPARE(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
    }
    QCOMPARE(after.st_mode, before.st_mode);
    struct stat linkAfter {};
    QVERIFY(::lstat(file.constData(), &linkAfter) == 0);
    QCOMPARE(linkAfter.st_mode & S_IFMT, link.st_mode & S_IFMT);
}

// The lock names its owner as Qt's own lock files do, one a line: the
// process, the program, the host; so an older copy of the game waits for
// it as for its own. It is gone once let go.
void SettingsTest::theLockNamesItsOwnerAsQtsLockFilesDo() {
    MainWindowFixture f;
    const QString path = f.SettingsFile() + QStringLiteral(".lock");
    {
        SettingsLock lock(path);
        QCOMPARE(lock.Take(0), LockResult::Taken);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray::number(qint64(::getpid())) + "\nTavelorn Tiles\n" +
                                     QSysInfo::machineHostName().toUtf8() + '\n');
    }
    QVERIFY(!QFile::exists(path));
}

int main(int argc, char** argv) {
    // The child's work: a live copy of the game that holds the lock.
    if (qEnvironmentVariableIsSet("TT_HOLD_LOCK")) {
        SettingsLock lock(qEnvironmentVariable("TT_HOLD_LOCK"));
        std::puts(lock.Take(0) == LockResult::Taken ? "held" : "not held");
        std::fflush(stdout);
        for (;;) ::pause();
    }
    QApplication app(argc, argv);
    SettingsTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "SettingsTest.moc"
