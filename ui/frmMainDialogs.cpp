// The buttons that open the dialogs, and the end-of-game box.
#include "SoundPlayer.h"
#include "frmAbout.h"
#include "frmGameOver.h"
#include "frmHelp.h"
#include "frmMain.h"

void frmMain::btnBackground_Click() {
    {
        frmSkin box(this, engine_, *this, services_.Dialog);
        box.SetBeep([this] { services_.Sound.Beep(); });
        box.exec();
    }
    SettingChanged();
    Reactivate();
    RepaintBoard();
    picBoard->Refresh();
}

void frmMain::Command1_Click() { ShowModal<frmHelp>(); }

void frmMain::btnAbout_Click() { ShowModal<frmAbout>(); }

void frmMain::ShowGameOver() { ShowModal<frmGameOver>(); }
