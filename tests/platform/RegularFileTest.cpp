// Reading a file the player named: a regular file is read whole up to the
// size limit, the limit itself included; anything larger, or anything that
// is not a regular file, is not read at all.
#include <QTemporaryDir>
#include <QtTest>
#include <sys/stat.h>

#include "RegularFile.h"

class RegularFileTest : public QObject {
    Q_OBJECT
private slots:
    void aRegularFileIsReadUpToTheLimitAndNothingElseIs_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("size");
        QTest::addColumn<bool>("read");
        QTest::newRow("empty") << "file" << 0 << true;
        QTest::newRow("a byte under the limit") << "file" << 99 << true;
        QTest::newRow("exactly the limit") << "file" << 100 << true;
        QTest::newRow("a byte over the limit") << "file" << 101 << false;
        QTest::newRow("far over the limit") << "file" << 100000 << false;
        QTest::newRow("a FIFO") << "fifo" << 0 << false;
        QTest::newRow("a directory") << "directory" << 0 << false;
        QTest::newRow("missing") << "missing" << 0 << false;
    }
    void aRegularFileIsReadUpToTheLimitAndNothingElseIs() {
        QFETCH(QString, kind);
        QFETCH(int, size);
        QFETCH(bool, read);
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("settings.ini"));
        QByteArray bytes(size, 'x');
        for (int i = 0; i < size; ++i) bytes[i] = char('a' + i % 26);
        if (kind == QLatin1String("file")) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == size);
        } else if (kind == QLatin1String("fifo")) {
            QVERIFY(::mkfifo(QFile::encodeName(path).constData(), 0644) == 0);
        } else if (kind == QLatin1String("directory")) {
            QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("settings.ini")));
        }
        const std::optional<QByteArray> data = ReadRegularFile(path, 100);
        QCOMPARE(data.has_value(), read);
        if (read) QCOMPARE(*data, bytes);
    }
};

QTEST_MAIN(RegularFileTest)
#include "RegularFileTest.moc"
