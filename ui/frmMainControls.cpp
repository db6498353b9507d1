// The game controls: new game, layout and tile-set lists, undo, the sound
// buttons, the clock, and the hint.
#include "SoundPlayer.h"
#include "frmMain.h"

void frmMain::btnNew_Click() {
    engine_.NewGame();
    HintShown = false;
    HintIndex = -1;
    SelectedTile = -1;
    picBoard->Refresh();
}

void frmMain::cmbPattern_Click() {
    SettingChanged();
    if (!Activated) return;
    btnNew_Click();
}

void frmMain::btnBack_Click() {
    if (engine_.TilesLeft < 144) {
        engine_.UndoPair();
        HintShown = false;
        picBoard->Refresh();
        SelectedTile = -1;
        HintIndex = -1;
    } else {
        services_.Sound.Beep();
    }
}

void frmMain::btnSound_Click() {
    engine_.SoundOn = true;
    btnSound->setEnabled(false);
    btnNoSound->setEnabled(true);
    SettingChanged();
}

void frmMain::btnNoSound_Click() {
    engine_.SoundOn = false;
    btnSound->setEnabled(true);
    btnNoSound->setEnabled(false);
    SettingChanged();
}

void frmMain::cmbTileSet_click() {
    SettingChanged();
    if (!Activated) return;
    const QString text = cmbTileSet->Text();
    const std::pair<const char*, Surface*> sheets[] = {
        {"MahJongg", &TileSet}, {"Cards", &TileSet2}, {"Animals", &TileSet3}, {"Icons", &TileSet4},
        {"Scanned Tiles", &TileSet0}};
    for (const auto& [name, holder] : sheets) {
        if (text == QLatin1String(name)) {
            engine_.TileSetDC = holder;
            break;
        }
    }
    RepaintBoard();
    // The selection stays, and stays lit, now with the new set's face. (A
    // pick made while a removed pair's sound plays finds the removed tile
    // still selected, and lights nothing.)
    if (IsOpenTile(SelectedTile)) engine_.HighlightTile(SelectedTile);
    picBoard->Refresh();
}

QString ElapsedText(int64_t seconds) {
    // Whole days are not shown. The clock runs on universal seconds, so the
    // difference stays right across midnight and across a change of zone or
    // of daylight-saving time.
    constexpr int64_t Day = 24 * 60 * 60;
    const int64_t s = ((seconds % Day) + Day) % Day;
    return QStringLiteral("%1:%2:%3")
        .arg(s / 3600, 2, 10, QLatin1Char('0'))
        .arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(s % 60, 2, 10, QLatin1Char('0'));
}

void frmMain::Timer1_Timer() { lblTime->setText(ElapsedText(services_.TimeOfDay.Now() - engine_.StartTime)); }

void frmMain::CreateMatches() {
    MatchListCount = 0;
    for (int16_t i = 1; i <= engine_.OpenCount; ++i) {
        for (int16_t j = static_cast<int16_t>(i + 1); j <= engine_.OpenCount; ++j) {
            if (!engine_.TilesMatch(engine_.OpenTiles[i], engine_.OpenTiles[j])) continue;
            // The list holds 100 pairs; no board opens enough tiles for more,
            // but it is never written past its end.
            if (MatchListCount >= 100) break;
            ++MatchListCount;
            MatchTileA[MatchListCount] = engine_.OpenTiles[i];
            MatchTileB[MatchListCount] = engine_.OpenTiles[j];
        }
    }
    HintIndex = 0;
}

void frmMain::btnHint_Click() {
    if (HintIndex < 0) CreateMatches();
    if (HintIndex >= MatchListCount) HintIndex = 0;
    if (engine_.MatchesLeft > 0 && MatchListCount > 0) {
        ++HintIndex;
        engine_.UnhighlightTile(MatchTileA[HintIndex]);
        engine_.HighlightTile(MatchTileA[HintIndex]);
        engine_.HighlightTile(MatchTileB[HintIndex]);
        SelectedTile = -1;
        HintShown = true;
        picBoard->Refresh();
        engine_.StartTime -= 60;
    }
}
