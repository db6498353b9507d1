#include "frmSkin.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include "BoxLook.h"
#include "CommonDialog.h"
#include "DialogPlacement.h"
#include "KeptBytes.h"
#include "PictureLoader.h"
#include "modTile.h"

const QString GraphicFileTitle = QStringLiteral("Select Graphic File");
const QString GraphicFileFilter =
    QStringLiteral("Bitmap Files (*.bmp)|*.BMP|GIF Files (*.gif)|*.GIF|jpeg Files (*.jpg)|*.JPG");

namespace {

// Places a control given in the dialog's own coordinates inside `parent`,
// which may be a frame lying somewhere in the dialog.
void Place(QWidget* control, QWidget* dialog, int x, int y, int w, int h) {
    const QPoint origin = control->parentWidget()->mapTo(dialog, QPoint(0, 0));
    control->setGeometry(x - origin.x(), y - origin.y(), w, h);
}

// A frame without a caption: an etched line round its area.
QFrame* CaptionlessFrame(QWidget* parent) {
    auto* frame = new QFrame(parent);
    frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
    frame->setLineWidth(1);
    frame->setMidLineWidth(0);
    return frame;
}

}  // namespace

frmSkin::frmSkin(QWidget* mainWindow, modTile& engine, SkinHolder& holder, CommonDialog& dialog)
    : QDialog(mainWindow),
      CommonDialog1(dialog),
      engine_(engine),
      holder_(holder),
      beep_([] { QApplication::beep(); }) {
    setWindowTitle(QStringLiteral("Background"));
    DressBox(*this);
    resize(475, 377);
    BuildControls();
    Form_Load(mainWindow);
}

frmSkin::~frmSkin() {
    if (CommonDialog1.Owner == this) CommonDialog1.Owner = nullptr;
}

void frmSkin::BuildControls() {
    // Created back to front: a control made later lies over one made earlier.
    Frame1 = CaptionlessFrame(this);
    Place(Frame1, this, 8, 8, 457, 329);
    Option1 = new QRadioButton(QStringLiteral("Solid Background"), Frame1);
    Place(Option1, this, 24, 32, 113, 17);
    Frame2 = CaptionlessFrame(Frame1);
    Place(Frame2, this, 48, 48, 401, 105);
    Shape1 = new QFrame(Frame2);
    Place(Shape1, this, 64, 72, 65, 65);
    Shape1->setFrameStyle(QFrame::Box | QFrame::Plain);
    Shape1->setLineWidth(1);
    Shape1->setAutoFillBackground(true);
    Option2 = new QRadioButton(QStringLiteral("Image from file"), Frame1);
    Place(Option2, this, 24, 168, 145, 17);

    btnColour = new QPushButton(QStringLiteral("Choose Colour"), this);
    Place(btnColour, this, 144, 72, 153, 25);

    Frame3 = CaptionlessFrame(this);
    Place(Frame3, this, 48, 184, 401, 129);
    lblFile = new QLabel(Frame3);
    Place(lblFile, this, 56, 200, 385, 17);
    btnFile = new QPushButton(QStringLiteral("Choose File"), Frame3);
    Place(btnFile, this, 56, 224, 153, 25);
    picPreview = new QLabel(Frame3);
    Place(picPreview, this, 232, 224, 113, 81);
    picPreview->setScaledContents(true);
    chkStretch = new QCheckBox(QStringLiteral("Stretch Image"), Frame3);
    Place(chkStretch, this, 56, 280, 145, 17);

    btnOK = new QPushButton(QStringLiteral("OK"), this);
    Place(btnOK, this, 8, 344, 65, 25);
    btnOK->setDefault(true);
    btnCancel = new QPushButton(QStringLiteral("Cancel"), this);
    Place(btnCancel, this, 88, 344, 65, 25);

    // The frames and the label take no focus; the rest in the design's order.
    setTabOrder(Option1, Option2);
    setTabOrder(Option2, btnFile);
    setTabOrder(btnFile, btnOK);
    setTabOrder(btnOK, btnCancel);
    setTabOrder(btnCancel, btnColour);
    setTabOrder(btnColour, chkStretch);

    // A mode is chosen by a click, by the arrow keys or by Form_Load alike.
    connect(Option1, &QRadioButton::toggled, this, [this](bool on) { if (on) Option1_Click(); });
    connect(Option2, &QRadioButton::toggled, this, [this](bool on) { if (on) Option2_Click(); });
    connect(btnColour, &QPushButton::clicked, this, &frmSkin::btnColour_Click);
    connect(btnFile, &QPushButton::clicked, this, &frmSkin::btnFile_Click);
    connect(btnOK, &QPushButton::clicked, this, &frmSkin::btnOK_Click);
    connect(btnCancel, &QPushButton::clicked, this, &frmSkin::btnCancel_Click);
}

void frmSkin::Form_Load(QWidget* mainWindow) {
    CentreOver(*this, mainWindow, Halving::KeepHalf);
    ChosenColour = engine_.BackgroundColour;
    // The path as the bytes it holds, so an OK without a new choice keeps
    // it as it was, a name that is no UTF-8 too.
    ChosenFile = DecodeKeepingBytes(engine_.BackgroundImage);
    FillSwatch(ChosenColour);
    CommonDialog1.CancelError = true;
    CommonDialog1.Owner = this;
    // A byte of the path that is no UTF-8 shows as U+FFFD.
    lblFile->setText(QString::fromStdString(engine_.BackgroundImage));
    ShowPreview(holder_.SkinPicture());
    chkStretch->setChecked(engine_.ImageStretch);
    if (engine_.BackgroundIsImage) {
        Option2->setChecked(true);
        ApplyModeEnabling(true);
    } else {
        Option1->setChecked(true);
        ApplyModeEnabling(false);
    }
}

void frmSkin::ApplyModeEnabling(bool pictureMode) {
    btnColour->setEnabled(!pictureMode);
    btnFile->setEnabled(pictureMode);
    lblFile->setEnabled(pictureMode);
    chkStretch->setEnabled(pictureMode);
}

void frmSkin::FillSwatch(int32_t colour) {
    QPalette palette = Shape1->palette();
    palette.setColor(QPalette::Window, ColourFromBgr(colour));
    palette.setColor(QPalette::WindowText, Qt::black);
    Shape1->setPalette(palette);
}

void frmSkin::ShowPreview(const QImage& picture) {
    PreviewPicture = picture;
    if (picture.isNull())
        picPreview->clear();
    else
        // The box's own size, not the whole picture once more.
        picPreview->setPixmap(QPixmap::fromImage(
            picture.scaled(picPreview->size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
}

void frmSkin::Option1_Click() {
    ApplyModeEnabling(false);
}

void frmSkin::Option2_Click() {
    ApplyModeEnabling(true);
}

void frmSkin::btnColour_Click() {
    CommonDialog1.Color = ChosenColour;
    const int error = CommonDialog1.ShowColor();
    if (error == cdlCancel) return;
    // A choice, or a failure of the dialog: take whatever colour it holds now.
    ChosenColour = CommonDialog1.Color;
    FillSwatch(ChosenColour);
}

bool frmSkin::GetExistingFileName() {
    CommonDialog1.DialogTitle = GraphicFileTitle;
    CommonDialog1.FilterIndex = 3;
    CommonDialog1.Filter = GraphicFileFilter;
    CommonDialog1.FileName = QString();
    CommonDialog1.CancelError = true;
    CommonDialog1.Flags = cdlOFNFileMustExist;
    if (CommonDialog1.ShowOpen() != 0) return false;
    if (CommonDialog1.FileName.isEmpty()) return false;
    ChosenFile = CommonDialog1.FileName;
    return true;
}

void frmSkin::btnFile_Click() {
    const QString previous = ChosenFile;
    if (!GetExistingFileName()) return;
    const QImage picture = LoadPicture(ChosenFile);
    if (picture.isNull()) {
        // A file that is no picture changes nothing, so OK can never commit
        // a path and a picture that disagree.
        ChosenFile = previous;
        beep_();
        return;
    }
    lblFile->setText(ChosenFile);
    ShowPreview(picture);
}

void frmSkin::btnOK_Click() {
    if (Option1->isChecked()) {
        engine_.BackgroundIsImage = false;
        engine_.BackgroundColour = ChosenColour;
    } else {
        engine_.BackgroundIsImage = true;
        engine_.BackgroundImage = EncodeKeepingBytes(ChosenFile).toStdString();
        holder_.SetSkinPicture(PreviewPicture);
    }
    engine_.ImageStretch = chkStretch->isChecked();
    done(QDialog::Accepted);
}

void frmSkin::btnCancel_Click() {
    done(QDialog::Rejected);
}

void frmSkin::reject() {
    btnCancel_Click();
}
