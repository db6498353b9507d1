#include "ChoiceList.h"

#include <QLineEdit>
#include <QWheelEvent>

ChoiceList::ChoiceList(QWidget* parent) : QComboBox(parent) {
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);  // typed text stays as typed
    setFocusPolicy(Qt::StrongFocus);  // the wheel alone gives no focus
    // The combo box takes a finished edit (Enter, or the field losing the
    // focus, as it does when the window is disabled for a deal) whose text
    // names an entry as a pick of that entry. Here typing only changes the
    // text: the field's end of an edit is no business of the box.
    disconnect(lineEdit(), &QLineEdit::editingFinished, this, nullptr);
    disconnect(lineEdit(), &QLineEdit::returnPressed, this, nullptr);
    connect(this, &QComboBox::activated, this, &ChoiceList::Click);
}

void ChoiceList::SetText(const QString& text) {
    // A text that names an entry selects it, so the arrow keys step on
    // from there; no Click comes of it.
    const int entry = findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (entry >= 0) setCurrentIndex(entry);
    setEditText(text);
    lineEdit()->setCursorPosition(0);
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
