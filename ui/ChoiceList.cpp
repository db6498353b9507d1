#include "ChoiceList.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QWheelEvent>

ChoiceList::ChoiceList(QWidget* parent) : QComboBox(parent) {
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);  // typed text stays as typed
    setFocusPolicy(Qt::StrongFocus);  // the wheel alone gives no focus
    lineEdit()->installEventFilter(this);
    connect(this, &QComboBox::activated, this, [this] {
        if (!editing_) emit Click();
    });
}

void ChoiceList::SetText(const QString& text) {
    // A text that names an entry selects it, so the arrow keys step on
    // from there; no Click comes of it.
    const int entry = findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (entry >= 0) setCurrentIndex(entry);
    setEditText(text);
    lineEdit()->setCursorPosition(0);
}

bool ChoiceList::eventFilter(QObject* watched, QEvent* event) {
    // The combo box treats a finished edit whose text names an entry as a
    // pick of that entry. Finishing an edit is Enter or leaving the field;
    // those events are delivered with the guard up, and it comes down once
    // they are done, so no Click comes of them.
    const bool finishes =
        event->type() == QEvent::FocusOut ||
        (event->type() == QEvent::KeyPress && (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Return ||
                                              static_cast<QKeyEvent*>(event)->key() == Qt::Key_Enter));
    if (watched == lineEdit() && finishes && !editing_) {
        editing_ = true;
        QMetaObject::invokeMethod(this, [this] { editing_ = false; }, Qt::QueuedConnection);
    }
    return QComboBox::eventFilter(watched, event);
}

void ChoiceList::wheelEvent(QWheelEvent* event) {
    // A turn of the wheel over the list is a choice only while the list has
    // the focus: passing over it must not throw the game in play away.
    if (!hasFocus()) {
        event->ignore();
        return;
    }
    QComboBox::wheelEvent(event);
}
