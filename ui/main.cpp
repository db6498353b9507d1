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
#include "TileBody.h"
#include "frmMain.h"

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
    // Every tile set is painted with the "MahJongg" sheet's body and mask,
    // for the whole run.
    TakeTileBodyAndMask(form.TileSet, form.picPaint, form.picMask);
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
