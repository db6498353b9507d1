// The "Background" dialog: a solid colour, or a picture file stretched or
// drawn as it is. It works on copies of the background settings and writes
// them back only on OK. Built afresh for each showing and destroyed after.
#pragma once

#include <QDialog>
#include <QImage>
#include <QString>
#include <cstdint>
#include <functional>

class CommonDialog;
class QCheckBox;
class QFrame;
class QLabel;
class QPushButton;
class QRadioButton;
class modTile;

// Holds the committed background picture (the main window's picSkin).
struct SkinHolder {
    virtual ~SkinHolder() = default;
    virtual QImage SkinPicture() const = 0;
    virtual void SetSkinPicture(const QImage&) = 0;
};

extern const QString GraphicFileTitle;
extern const QString GraphicFileFilter;

class frmSkin : public QDialog {
    Q_OBJECT
public:
    frmSkin(QWidget* mainWindow, modTile& engine, SkinHolder& holder, CommonDialog& dialog);
    ~frmSkin() override;

    // What tells the player that a picked file is no picture.
    void SetBeep(std::function<void()> beep) { beep_ = std::move(beep); }

    // Working values.
    int32_t ChosenColour = 0;
    QString ChosenFile;
    QImage PreviewPicture;  // the picture of picPreview

    QFrame* Frame1;
    QRadioButton* Option1;
    QFrame* Frame2;
    QFrame* Shape1;
    QPushButton* btnColour;
    QRadioButton* Option2;
    QFrame* Frame3;
    QLabel* lblFile;
    QPushButton* btnFile;
    QLabel* picPreview;
    QCheckBox* chkStretch;
    QPushButton* btnOK;
    QPushButton* btnCancel;
    CommonDialog& CommonDialog1;

    bool GetExistingFileName();

    void Option1_Click();
    void Option2_Click();
    void btnColour_Click();
    void btnFile_Click();
    void btnOK_Click();
    void btnCancel_Click();

protected:
    void reject() override;  // Esc and the close box work through btnCancel

private:
    void BuildControls();
    void Form_Load(QWidget* mainWindow);
    void ApplyModeEnabling(bool pictureMode);
    void FillSwatch(int32_t colour);
    void ShowPreview(const QImage& picture);

    modTile& engine_;
    SkinHolder& holder_;
    std::function<void()> beep_;
};
