#include "frmHelp.h"

#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>

#include "BoxLook.h"
#include "DialogPlacement.h"

const QString HelpText = QStringLiteral(
    "Tavelorn Tiles is the solitaire version of MahJongg. There are 144 "
    "tiles that are shuffled and then laid out in a pattern. Tiles are then "
    "removed in matching pairs until no further pairs can be removed. The object "
    "of the game is to remove all tiles and clear the board. "
    "\r\n\r\n"
    "Tiles can only be removed if they are open. A tile is deemed to be open if "
    "there is no tile on top of it, and no tile touching it, either to the left, or "
    "to the right."
    "\r\n\r\n"
    "When using the MahJongg or Scanned TileSets, "
    "any flower tile matches any flower tile of the same set. Other than this "
    "exception, matching tiles are identical.");

frmHelp::frmHelp(QWidget* mainWindow) : QDialog(mainWindow) {
    setWindowTitle(QStringLiteral("How to Play"));
    DressBox(*this);
    resize(312, 322);

    btnOK = new QPushButton(QStringLiteral("OK"), this);
    btnOK->setGeometry(112, 288, 89, 25);
    btnOK->setDefault(true);
    connect(btnOK, &QPushButton::clicked, this, &frmHelp::btnOK_Click);

    Text1 = new QPlainTextEdit(this);
    Text1->setGeometry(8, 8, 289, 273);
    Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Text1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Text1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Text1->setTabChangesFocus(true);  // Tab moves on to the button
    Text1->setPlainText(QStringLiteral("Text1"));

    Text1->installEventFilter(this);

    setTabOrder(btnOK, Text1);
    btnOK->setFocus();
    Form_Load(mainWindow);
}

void frmHelp::Form_Load(QWidget* mainWindow) {
    CentreOver(*this, mainWindow, Halving::KeepHalf);
    // The text box keeps its lines apart with bare line feeds.
    QString shown = HelpText;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    Text1->setPlainText(shown);
}

void frmHelp::btnOK_Click() {
    done(QDialog::Accepted);
}

void frmHelp::reject() {
    btnOK_Click();
}

bool frmHelp::eventFilter(QObject* watched, QEvent* event) {
    // The text box stands on a box with a default button: Enter presses the
    // button, and Ctrl+Enter is what breaks a line.
    if (watched == Text1 && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            if (key->modifiers() & Qt::ControlModifier)
                Text1->insertPlainText(QStringLiteral("\n"));
            else
                btnOK->click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
