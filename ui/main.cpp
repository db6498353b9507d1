// Main: the start-up of the game.
#include <QApplication>
#include <QIcon>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "CommonDialog.h"
#include "DisplayGuard.h"
#include "GameName.h"
#include "Random.h"
#include "SessionSignals.h"
#include "Settings.h"
#include "SoundPlayer.h"
#include "frmMain.h"

namespace {
// The tile mask and tile body of every tile set come from the "MahJongg"
// sheet and stay put for the whole run.
void PutTileBodyAndMask(frmMain& form) {
    form.picMask.Resize(41, 47);
    BitBlt(form.picMask, 0, 0, 41, 47, form.TileSet, 297, 182, SRCCOPY);
    form.picPaint.Resize(41, 47);
    BitBlt(form.picPaint, 0, 0, 41, 47, form.TileSet, 297, 132, SRCCOPY);
}
}  // namespace

int main(int argc, char** argv) {
    DisplayGuard display(argc, argv);
    QApplication app(argc, argv);
    display.Opened();
    QApplication::setApplicationName(GameName());
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/pictures/app.png")));
    SessionSignals session;
    ForgetQtDialogStateBetweenRuns();

    SystemClock clock;
    ClockRandom random;
    QtSoundPlayer sound;
    QtCommonDialog dialog;

    const QString settingsFile = DefaultSettingsFile();
    if (settingsFile.isEmpty())
        std::fputs("Tavelorn Tiles: settings will not be kept: XDG_CONFIG_HOME is no absolute path and there is "
                   "no usable home folder\n",
                   stderr);
    frmMain form(MainServices{sound, dialog, clock, random, settingsFile});
    QObject::connect(&session, &SessionSignals::CloseRequested, &form, [&form] { CloseForSession(form); });
    PutTileBodyAndMask(form);
    form.show();
    const int code = app.exec();

    // The settings are saved by now. A sound thread held in a sound server
    // that never answers cannot be ended or waited for, and the libraries'
    // clean-up at exit would run under its feet: end the process here.
    if (!sound.Close(std::chrono::milliseconds(300))) {
        std::fflush(nullptr);
        std::_Exit(code);
    }
    return code;
}
