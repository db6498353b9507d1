// The "How to Play" box: the rules in a text box and an "OK" button.
// Built afresh for each showing and destroyed after, so text the player
// typed into it is gone the next time.
#pragma once

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

// The help text: three paragraphs, 603 characters, lines broken "\r\n".
extern const QString HelpText;

class frmHelp : public QDialog {
    Q_OBJECT
public:
    explicit frmHelp(QWidget* mainWindow);

    QPushButton* btnOK;
    QPlainTextEdit* Text1;

    void btnOK_Click();

protected:
    void reject() override;  // Esc and the close box work through btnOK
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Form_Load(QWidget* mainWindow);
};
