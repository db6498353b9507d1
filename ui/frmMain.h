// The main window: the board, the buttons and lists that steer the game, the
// counters and the clock. Its handlers are named after control and event.
#pragma once

#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <array>
#include <cstdint>

#include "BoardView.h"
#include "ChoiceList.h"
#include "EngineHost.h"
#include "Surface.h"
#include "modTile.h"

#include "frmSkin.h"

class CommonDialog;
class SoundPlayer;

// What the main window is given rather than making for itself, so that a
// test can hear its sounds, script its dialogs, set its clock and its draws,
// and keep its settings in a folder of its own.
struct MainServices {
    SoundPlayer& Sound;
    CommonDialog& Dialog;
    Clock& TimeOfDay;
    RandomSource& Random;
    QString SettingsFile;  // the INI file of the seven settings
};

// The clock's text for an elapsed time in seconds: "HH:mm:ss", whole days left out.
QString ElapsedText(int64_t seconds);

class frmMain final : public QWidget, public EngineHost, public SkinHolder {
    Q_OBJECT
public:
    // Loads the window: builds its controls and runs Form_Load, which deals
    // the first game. The window is not shown.
    explicit frmMain(MainServices services);
    ~frmMain() override;

    modTile& Engine() { return engine_; }
    // picBoard's persistent picture, what the engine draws the board into.
    Surface& BoardPicture() { return boardPicture_; }
    const QString& SettingsFile() const { return services_.SettingsFile; }

    // ---- Form-level fields -------------------------------------------
    int16_t SelectedTile = 0;
    bool Activated = false;
    bool HintShown = false;  // the hint pair is lit on the board now
    QString LastSound;
    std::array<int16_t, 101> MatchTileA{};
    std::array<int16_t, 101> MatchTileB{};
    int16_t MatchListCount = 0;
    int16_t HintIndex = 0;

    static int16_t max(const int16_t& a, const int16_t& b) { return a > b ? a : b; }
    static int16_t Min(const int16_t& a, const int16_t& b) { return a < b ? a : b; }

    // ---- Events and handlers -----------------------------------------
    void Form_Load();
    void Form_Activate();
    void Form_Resize();
    void Form_QueryUnload();

    void picBoard_MouseUp(int Button, int Shift, float X, float Y);
    void PlaySound(QString Sound);

    void btnNew_Click();
    void cmbPattern_Click();
    void btnBack_Click();
    void btnSound_Click();
    void btnNoSound_Click();
    void cmbTileSet_click();
    void Timer1_Timer();

    void CreateMatches();
    void btnHint_Click();

    void btnBackground_Click();
    void Command1_Click();
    void btnAbout_Click();

    // ---- Controls ------------------------------------------------------
    QLabel* Label8;
    QPushButton* btnNew;
    QPushButton* btnHint;
    QPushButton* btnBack;
    QLabel* Label5;
    ChoiceList* cmbPattern;
    QLabel* Label6;
    QCheckBox* chkEasy;
    QLabel* Label7;
    ChoiceList* cmbTileSet;
    QLabel* Label9;
    QPushButton* btnBackground;
    QLabel* Label10;
    QPushButton* btnSound;
    QPushButton* btnNoSound;
    QLabel* Label11;
    QPushButton* Command1;
    BoardView* picBoard;
    QLabel* Label4;
    QLabel* Label1;
    QLabel* lblTiles;
    QLabel* Label2;
    QLabel* lblMatch;
    QLabel* Label3;
    QLabel* lblTime;
    QPushButton* btnAbout;
    QTimer Timer1;

    // Hidden picture holders: the five tile sheets, the tile mask and body,
    // and the background picture.
    Surface TileSet, TileSet0, TileSet2, TileSet3, TileSet4;
    Surface picMask, picPaint, picSkin;

    // The picture of picSkin (null when it holds none). Setting a null
    // picture empties the surface.
    QImage SkinPicture() const override;
    void SetSkinPicture(const QImage& picture) override;

    // ---- EngineHost ------------------------------------------------------
    void SetFormEnabled(bool enabled) override;
    std::string PatternText() const override;
    int16_t EasyValue() const override;
    void SetTimerEnabled(bool enabled) override;
    void SetTilesCaption(const std::string& text) override;
    void SetMatchCaption(const std::string& text) override;

    // Shows a modal box built for this showing; the window is activated
    // again when it closes.
    template <class Box, class... Args>
    void ShowModal(Args&&... args) {
        {
            Box box(this, std::forward<Args>(args)...);
            box.exec();
        }
        Reactivate();
    }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildControls();
    void LoadSheets();
    // The window never grows wider than the widest screen nor taller than
    // the tallest.
    void FollowTheScreens();
    // Sets the bound for the screens as they are now.
    void FitTheScreens();
    void Reactivate();
    // Every mark goes from the board, a shown hint pair's too.
    void RepaintBoard();
    void ShowGameOver();
    bool IsOpenTile(int16_t i) const;
    // The player changed a setting: it is kept at once.
    void SettingChanged();

    MainServices services_;
    Surface boardPicture_;
    modTile engine_;
    QImage skinPicture_;
    QPointer<QWidget> focusBeforeDisable_;
    bool shown_ = false;
    bool loaded_ = false;  // Form_Load has run: the values are the player's
};
