// A drop-down list with an editable text field, as the player knows it: a
// name picked from the drop-down (or stepped to with the arrow keys) is a
// choice and raises Click; typing only changes the text, and neither Enter
// nor leaving the field is a choice or adds an entry to the list.
#pragma once

#include <QComboBox>

class ChoiceList final : public QComboBox {
    Q_OBJECT
public:
    explicit ChoiceList(QWidget* parent);

    QString Text() const { return currentText(); }
    void SetText(const QString& text);

signals:
    void Click();

protected:
    void wheelEvent(QWheelEvent* event) override;
};
