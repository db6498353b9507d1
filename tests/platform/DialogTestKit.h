// Helpers for the tests of the game's boxes and of the common dialogs.
#pragma once

#include <QApplication>
#include <QTimer>
#include <functional>

// Runs `action` on the modal window of type T once the event loop shows it.
template <typename T>
void WhenModal(std::function<void(T*)> action) {
    auto* poll = new QTimer;
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, [poll, action] {
        if (auto* modal = qobject_cast<T*>(QApplication::activeModalWidget())) {
            poll->stop();
            poll->deleteLater();
            action(modal);
        }
    });
    poll->start();
}

// The offscreen platform keeps a mouse grab inside Qt and cannot pass size
// hints on, and says so each time; those notices are dropped from the log.
inline QtMessageHandler& PreviousMessageHandler() {
    static QtMessageHandler previous = nullptr;
    return previous;
}

inline void QuietOffscreenNotices() {
    PreviousMessageHandler() = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext& context, const QString& message) {
            if (message.contains(QStringLiteral("does not support grabbing the mouse")) ||
                message.contains(QStringLiteral("does not support propagateSizeHints")))
                return;
            PreviousMessageHandler()(type, context, message);
        });
}
