// The display check at start-up: Qt's messages are held back while the
// application is being built, go out in order once it stands, and from then
// on pass straight to whoever handled them before.
#include <QScopeGuard>
#include <QtTest>

#include "DisplayGuard.h"

namespace {
QStringList seen;
void Record(QtMsgType, const QMessageLogContext&, const QString& message) { seen << message; }
}  // namespace

class DisplayGuardTest : public QObject {
    Q_OBJECT
private slots:
    void messagesAreHeldUntilTheApplicationStandsThenPassStraightThrough() {
        const QtMessageHandler before = qInstallMessageHandler(Record);
        const auto restore = qScopeGuard([before] { qInstallMessageHandler(before); });
        char name[] = "tavelorn-tiles";
        char* argv[] = {name, nullptr};
        {
            DisplayGuard guard(1, argv);
            guard.Opened();
            qWarning("after a start with nothing to hold");
        }
        QCOMPARE(seen, QStringList({"after a start with nothing to hold"}));
        seen.clear();
        {
            DisplayGuard guard(1, argv);
            qWarning("first");
            qInfo("second");
            QCOMPARE(seen, QStringList());
            guard.Opened();
            QCOMPARE(seen, QStringList({"first", "second"}));
            qWarning("third");
        }
        qWarning("fourth");
        QCOMPARE(seen, QStringList({"first", "second", "third", "fourth"}));
    }
};

QTEST_MAIN(DisplayGuardTest)
#include "DisplayGuardTest.moc"
