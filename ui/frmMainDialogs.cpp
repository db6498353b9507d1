// The buttons that open the dialogs, and the end-of-game box.
#include "frmMain.h"

#if __has_include("frmHelp.h")
#include "frmHelp.h"
#endif
#if __has_include("frmGameOver.h")
#include "frmGameOver.h"
#endif
#if __has_include("frmAbout.h")
#include "frmAbout.h"
#endif

void frmMain::btnBackground_Click() {
#ifdef TT_HAVE_SKIN
    ShowModal<frmSkin>(engine_, static_cast<SkinHolder&>(*this), services_.Dialog);
    engine_.RefreshBoard();
    picBoard->Refresh();
#endif
}

void frmMain::Command1_Click() {
#if __has_include("frmHelp.h")
    ShowModal<frmHelp>();
#endif
}

void frmMain::btnAbout_Click() {
#if __has_include("frmAbout.h")
    ShowModal<frmAbout>();
#endif
}

void frmMain::ShowGameOver() {
#if __has_include("frmGameOver.h")
    ShowModal<frmGameOver>();
#endif
}
