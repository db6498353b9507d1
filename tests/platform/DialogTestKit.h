// Helpers for the tests of the game's boxes and of the common dialogs.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>
#include <source_location>

// How long a test waits for a modal window before it fails: far more than a
// loaded machine under the sanitizers needs, far less than the test's limit.
constexpr int ModalLimitMs = 10000;

// Closes whatever modal window is up, so the loop that shows it ends.
inline void CloseModalWindow() {
    QWidget* modal = QApplication::activeModalWidget();
    if (auto* dialog = qobject_cast<QDialog*>(modal))
        dialog->reject();
    else if (modal)
        modal->close();
}

// The wait WhenModal starts; it ends when this goes out of scope.
struct ModalWait {
    struct State {
        QTimer poll;      // looks for the window
        QTimer watchdog;  // runs while the action does, and after it
        QElapsedTimer clock;
        bool done = false;
        bool failed = false;
        QPointer<QWidget> acted;  // the window the action ran on
    };
    std::unique_ptr<State> state = std::make_unique<State>();

    // True once the action has run.
    bool Done() const { return state && state->done; }
};

// Runs `action` on the modal window of type T once the event loop shows it;
// the action is to end that window. If none is up within `limitMs`, or the
// window is still open `limitMs` after the action began (a box the action
// opened included), the test fails saying so where WhenModal was called,
// and the modal windows are closed: the test then stops where it stands
// instead of waiting for ever.
template <typename T>
[[nodiscard]] ModalWait WhenModal(std::function<void(T*)> action, int limitMs = ModalLimitMs,
                                  std::source_location where = std::source_location::current()) {
    ModalWait wait;
    ModalWait::State* state = wait.state.get();
    const auto fail = [state, limitMs, where](const char* what) {
        if (state->failed) return;
        state->failed = true;
        const QByteArray message = QByteArray(T::staticMetaObject.className()) + what +
                                   QByteArray::number(limitMs) + " ms";
        QTest::qFail(message.constData(), where.file_name(), int(where.line()));
    };
    state->poll.setInterval(5);
    state->watchdog.setInterval(5);
    state->clock.start();
    QObject::connect(&state->poll, &QTimer::timeout, [state, action, limitMs, fail] {
        if (auto* modal = qobject_cast<T*>(QApplication::activeModalWidget())) {
            state->poll.stop();
            state->done = true;
            state->acted = modal;
            state->clock.restart();
            state->watchdog.start();
            action(modal);
            return;
        }
        if (state->clock.elapsed() < limitMs) return;
        state->poll.stop();
        fail(" did not come up as a modal window within ");
        CloseModalWindow();
    });
    QObject::connect(&state->watchdog, &QTimer::timeout, [state, limitMs, fail] {
        if (!state->acted || !state->acted->isVisible()) {
            state->watchdog.stop();
        } else if (state->clock.elapsed() >= limitMs) {
            fail(" was still open after the test acted on it, for ");
            CloseModalWindow();  // the topmost first, until the window itself is gone
        }
    });
    state->poll.start();
    return wait;
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

// The texts of a box that do not stand in the boxes' regular font (8.25
// points, normal weight), each as "<text> <points> <weight>".
inline QStringList TextsOutOfTheRegularFont(const QWidget& box) {
    QStringList out;
    for (const QWidget* w : box.findChildren<const QWidget*>()) {
        QString text;
        if (const auto* label = qobject_cast<const QLabel*>(w))
            text = label->text();
        else if (const auto* button = qobject_cast<const QAbstractButton*>(w))
            text = button->text();
        else if (const auto* field = qobject_cast<const QLineEdit*>(w))
            text = field->text();
        else if (const auto* box = qobject_cast<const QPlainTextEdit*>(w))
            text = box->toPlainText();
        else
            continue;
        const QFont font = w->font();
        if (font.pointSizeF() != 8.25 || font.weight() != QFont::Normal)
            out << QStringLiteral("%1 %2 %3").arg(text.left(16)).arg(font.pointSizeF()).arg(font.weight());
    }
    return out;
}
