// The board click and the sounds it plays.
#include <QCoreApplication>
#include <cmath>

#include "SoundPlayer.h"
#include "frmMain.h"

namespace {
// To the nearest whole number, a half going to the even neighbour.
int16_t RoundToInteger(float value) {
    const float rounded = std::nearbyint(value);
    if (!(rounded >= -32768.0f)) return -32768;  // NaN too
    if (rounded > 32767.0f) return 32767;
    return static_cast<int16_t>(rounded);
}
}  // namespace

void frmMain::picBoard_MouseUp(int /*Button*/, int /*Shift*/, float X, float Y) {
    const int16_t x = RoundToInteger(X);
    const int16_t y = RoundToInteger(Y);
    const int16_t t = engine_.HitTest(x, y);

    if (t < 0) {
        RepaintBoard();
        services_.Sound.Beep();
        LastSound.clear();
        SelectedTile = -1;
    } else {
        PlaySound(QStringLiteral("down"));
        // Events run inside that sound's yield may have changed the board (a
        // new game, an undo, another click): the click goes on only with a
        // tile that is still open, and a selection that still stands.
        if (!IsOpenTile(t)) {
            picBoard->Refresh();
            return;
        }
        if (SelectedTile >= 0 && !IsOpenTile(SelectedTile)) SelectedTile = -1;

        if (SelectedTile < 0) {
            if (HintShown) {
                engine_.RefreshBoard();
                HintShown = false;
            }
            engine_.HighlightTile(t);
            SelectedTile = t;
        } else if (t == SelectedTile) {
            engine_.UnhighlightTile(t);
            SelectedTile = -1;
        } else if (engine_.TilesMatch(SelectedTile, t)) {
            // Disabling the board passes the keyboard focus on to the next
            // control; it comes back with the board, unless the player has
            // put it elsewhere meanwhile.
            const bool focused = focusWidget() == picBoard;
            picBoard->setEnabled(false);
            const QWidget* const passedTo = focusWidget();
            engine_.HighlightTile(t);
            HintIndex = -1;
            engine_.RemovePair(SelectedTile, t);
            PlaySound(QStringLiteral("slide"));
            SelectedTile = -1;
            picBoard->setEnabled(true);
            if (focused && focusWidget() == passedTo) picBoard->setFocus();

            if (engine_.TilesLeft == 0 || engine_.MatchesLeft == 0) {
                picBoard->RefreshNow();
                Timer1.stop();
                PlaySound(QStringLiteral("gong"));
                ShowGameOver();
            }
        } else {
            engine_.UnhighlightTile(t);
            engine_.HighlightTile(t);
            SelectedTile = t;
        }
    }
    picBoard->Refresh();
}

void frmMain::PlaySound(QString Sound) {
    if (!engine_.SoundOn) return;
    const QString name =
        (Sound == QLatin1String("down") && LastSound == QLatin1String("down")) ? QStringLiteral("down2") : Sound;
    LastSound = Sound;
    services_.Sound.Play(name);
    QCoreApplication::processEvents();
}
