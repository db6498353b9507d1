// The end-of-game box: "GAME OVER" on a teal panel and an "OK" button.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

class frmGameOver : public QDialog {
    Q_OBJECT
public:
    explicit frmGameOver(QWidget* mainWindow);

    QPushButton* Command1;
    QLabel* Label2;     // the panel behind the text
    QLabel* lblWhoWon;  // in front of the panel

    void Command1_Click();

protected:
    void reject() override;  // Esc and the close box work through Command1

private:
    void Form_Load(QWidget* mainWindow);
};
