#include "frmGameOver.h"

#include <QLabel>
#include <QPushButton>

#include "BoxLook.h"
#include "DialogPlacement.h"

frmGameOver::frmGameOver(QWidget* mainWindow) : QDialog(mainWindow) {
    // No title text: an empty title would have the window system show the
    // program's name in its place, so the title bar is given a blank.
    setWindowTitle(QStringLiteral(" "));
    DressBox(*this);
    resize(312, 168);

    Command1 = new QPushButton(QStringLiteral("OK"), this);
    Command1->setGeometry(120, 136, 73, 25);
    Command1->setDefault(true);
    connect(Command1, &QPushButton::clicked, this, &frmGameOver::Command1_Click);

    Label2 = new QLabel(this);
    Label2->setGeometry(8, 8, 297, 121);
    Label2->setFrameStyle(QFrame::Box | QFrame::Plain);
    Label2->setLineWidth(1);
    Label2->setAutoFillBackground(true);
    QPalette panel = Label2->palette();
    panel.setColor(QPalette::Window, ColourFromBgr(0x808000));
    panel.setColor(QPalette::WindowText, Qt::black);
    Label2->setPalette(panel);

    lblWhoWon = new QLabel(QStringLiteral("GAME OVER"), this);
    lblWhoWon->setGeometry(16, 48, 281, 41);
    lblWhoWon->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    lblWhoWon->setFont(SansSerifFont(24, true));
    QPalette text = lblWhoWon->palette();
    text.setColor(QPalette::WindowText, palette().color(QPalette::HighlightedText));
    lblWhoWon->setPalette(text);
    lblWhoWon->raise();

    Command1->setFocus();
    Form_Load(mainWindow);
}

void frmGameOver::Form_Load(QWidget* mainWindow) {
    CentreOver(*this, mainWindow, Halving::Floor);
}

void frmGameOver::Command1_Click() {
    done(QDialog::Accepted);
}

void frmGameOver::reject() {
    Command1_Click();
}
