#include "DisplayGuard.h"

#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
// Qt's message handler is a plain function, so what it needs lies here,
// written only while the application is being built.
struct HeldMessage {
    QtMsgType Type;
    QString Text;
    const char* File;  // the context's texts are Qt's static strings
    int Line;
    const char* Function;
    const char* Category;
};
struct Held {
    QtMessageHandler Previous = nullptr;
    QString Asked;  // the platform asked for, as Qt would read it
    QList<HeldMessage> Messages;
    bool Active = false;
};
Held held;

QString Environment(const char* name) { return QString::fromLocal8Bit(qgetenv(name)); }

// What was tried, as the player can check it: the platform and its display.
QString Tried(const QString& platform) {
    QString text = QStringLiteral("tried the platform \"%1\"").arg(platform);
    const auto display = [&](const char* name) {
        text += qEnvironmentVariableIsSet(name) ? QStringLiteral(" with %1=%2").arg(QLatin1String(name), Environment(name))
                                                : QStringLiteral(" with %1 unset").arg(QLatin1String(name));
    };
    if (platform.startsWith(QLatin1String("xcb"))) display("DISPLAY");
    if (platform.startsWith(QLatin1String("wayland"))) display("WAYLAND_DISPLAY");
    return text;
}

[[noreturn]] void NoDisplay(const QString& fatal) {
    static const QRegularExpression pluginName(QStringLiteral("platform plugin \"([^\"]*)\""));
    QString platform = held.Asked;
    QString reason;
    for (const HeldMessage& message : held.Messages) {
        // The platform's own error is a warning or worse; debug and info
        // lines (a plugin search, advice) say nothing of what failed.
        if (message.Type == QtDebugMsg || message.Type == QtInfoMsg) continue;
        const QRegularExpressionMatch match = pluginName.match(message.Text);
        if (match.hasMatch())
            platform = match.captured(1);
        else if (reason.isEmpty())
            reason = message.Text.trimmed();
    }
    if (reason.isEmpty()) {
        // Qt's own last word advises reinstalling; the plugins it lists say more.
        static const QRegularExpression available(QStringLiteral("Available platform plugins are: ([^\n]*)\\."));
        const QRegularExpressionMatch match = available.match(fatal);
        reason = match.hasMatch() ? QStringLiteral("no such platform; there are: %1").arg(match.captured(1))
                                  : fatal.section(u'\n', 0, 0).trimmed();
    }
    const QString line =
        QStringLiteral("Tavelorn Tiles needs a graphical display: %1 (%2)").arg(Tried(platform), reason);
    std::fprintf(stderr, "%s\n", line.toLocal8Bit().constData());
    std::fflush(stderr);
    std::_Exit(1);
}

void HoldMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtFatalMsg) NoDisplay(message);
    held.Messages.append({type, message, context.file, context.line, context.function, context.category});
}

QString AskedPlatform(int argc, char** argv) {
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "-platform") == 0 || std::strcmp(argv[i], "--platform") == 0)
            return QString::fromLocal8Bit(argv[i + 1]);
    const QString fromEnvironment = Environment("QT_QPA_PLATFORM");
    return fromEnvironment.isEmpty() ? QStringLiteral("default") : fromEnvironment;
}
}  // namespace

DisplayGuard::DisplayGuard(int argc, char** argv) {
    held.Asked = AskedPlatform(argc, argv);
    held.Active = true;
    held.Previous = qInstallMessageHandler(HoldMessage);
}

DisplayGuard::~DisplayGuard() { Opened(); }

void DisplayGuard::Opened() {
    if (!held.Active) return;
    held.Active = false;
    qInstallMessageHandler(held.Previous);
    for (const HeldMessage& message : held.Messages) {
        const QMessageLogContext context(message.File, message.Line, message.Function, message.Category);
        qt_message_output(message.Type, context, message.Text);
    }
    held.Messages.clear();
}
