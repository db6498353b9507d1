// The settings file's text: a value written by the game reads back as the
// very same text, both by our reader and by Qt's own settings; and a file
// edited by hand, whatever its line ends, reads as the keys and values it
// holds.
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include "IniText.h"

class IniTextTest : public QObject {
    Q_OBJECT
private slots:
    void aWrittenValueReadsBackAsTheSameText_data() {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("written");
        QTest::newRow("plain") << "Scanned Tiles" << QByteArray("Scanned Tiles");
        QTest::newRow("a leading @ is doubled") << "@@x" << QByteArray("@@@x");
        QTest::newRow("a name in Qt's own text form") << "@String(x)" << QByteArray("@@String(x)");
        QTest::newRow("an @ further in") << "a@b" << QByteArray("a@b");
        QTest::newRow("backslashes") << "C:\\new\\tiles\\" << QByteArray("C:\\\\new\\\\tiles\\\\");
        QTest::newRow("commas and an end space") << "/pics/a, b.jpg " << QByteArray("\"/pics/a, b.jpg \"");
        QTest::newRow("a NUL before a hex digit") << QString(QChar(0)) + u'a' << QByteArray("\\0\\x61");
        QTest::newRow("a NUL before a digit") << QString(QChar(0)) + u'0' << QByteArray("\\0\\x30");
    }
    void aWrittenValueReadsBackAsTheSameText() {
        QFETCH(QString, value);
        QFETCH(QByteArray, written);
        QCOMPARE(IniValue(value), written);
        const QByteArray file = "[Settings]\nPattern=" + IniValue(value) + "\n";
        QCOMPARE(ReadIniText(file).value(QStringLiteral("Settings/Pattern")), value);
        QTemporaryDir folder;
        QFile out(folder.filePath(QStringLiteral("t.ini")));
        QVERIFY(out.open(QIODevice::WriteOnly) && out.write(file) == file.size());
        out.close();
        QCOMPARE(QSettings(out.fileName(), QSettings::IniFormat).value(QStringLiteral("Settings/Pattern")).toString(),
                 value);
    }

    void aHandEditedFileReadsAsItsKeysAndValues_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("LF") << QByteArray("[Settings]\nSound=False\nPattern=Dam\n");
        QTest::newRow("CRLF") << QByteArray("[Settings]\r\nSound=False\r\nPattern=Dam\r\n");
        QTest::newRow("CR alone") << QByteArray("[Settings]\rSound=False\rPattern=Dam");
        QTest::newRow("CR alone, a comment before the keys")
            << QByteArray("[Settings]\r; off\rSound=False\rPattern=Dam\r");
        QTest::newRow("CRLF with a BOM, comments and blank lines")
            << QByteArray("\xEF\xBB\xBF; mine\r\n\r\n[Settings]\r\n; off\r\nSound = False \r\n\r\nPattern=Dam\r\n");
    }
    void aHandEditedFileReadsAsItsKeysAndValues() {
        QFETCH(QByteArray, text);
        const QHash<QString, QString> expected{{QStringLiteral("Settings/Sound"), QStringLiteral("False")},
                                               {QStringLiteral("Settings/Pattern"), QStringLiteral("Dam")}};
        QCOMPARE(ReadIniText(text), expected);
    }
};

QTEST_MAIN(IniTextTest)
#include "IniTextTest.moc"
