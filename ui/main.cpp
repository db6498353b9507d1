// Main: the start-up of the game.
#include <QApplication>
#include <QIcon>

#include "CommonDialog.h"

#include "Random.h"
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
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tavelorn Tiles"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/pictures/app.png")));

    SystemClock clock;
    ClockRandom random;
    QtSoundPlayer sound;
    QtCommonDialog dialog;

    frmMain form(MainServices{sound, dialog, clock, random, DefaultSettingsFile()});
    PutTileBodyAndMask(form);
    form.show();
    return app.exec();
}
