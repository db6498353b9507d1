// The main window as a window: its controls, load, activation, resize and
// close. The board click, the game controls, the hint and the settings each
// have a file of their own.
#include "frmMain.h"

#include <QApplication>
#include <QCloseEvent>
#include <QIcon>
#include <QImage>
#include <QResizeEvent>
#include <QScreen>
#include <QShowEvent>
#include <algorithm>

#include "ButtonPicture.h"
#include "Settings.h"
#include "SoundPlayer.h"
#include "SurfaceImage.h"
#include "WindowBound.h"

namespace {
QPushButton* PictureButton(QWidget* parent, const QString& picture, const QString& tip, int left, int top) {
    auto* button = new QPushButton(parent);
    button->setGeometry(left, top, 25, 25);
    button->setIcon(QIcon(ButtonPicture(picture)));
    button->setIconSize(QSize(16, 16));
    button->setToolTip(tip);
    button->setFocusPolicy(Qt::TabFocus);
    return button;
}

QLabel* Label(QWidget* parent, const QString& caption, int left, int top, int width, int height) {
    auto* label = new QLabel(caption, parent);
    label->setGeometry(left, top, width, height);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

QLabel* Frame(QWidget* parent, int left, int top, int width, int height) {
    QLabel* frame = Label(parent, QString(), left, top, width, height);
    frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    frame->setLineWidth(1);
    return frame;
}

// The desktop's own sans-serif at the design's 8 points (11 pixels), a
// little narrowed: the controls' sizes were made for a narrow font, and the
// captions must fit them unclipped.
QFont ControlFont() {
    QFont font = QApplication::font();
    font.setPixelSize(11);
    font.setStretch(87);
    return font;
}

void LoadSheet(const QString& path, Surface& holder) { ImageToSurface(QImage(path), holder); }
}  // namespace

frmMain::frmMain(MainServices services)
    : services_(std::move(services)), engine_(*this, services_.Random, services_.TimeOfDay) {
    setWindowTitle(QStringLiteral("Tavelorn Tiles"));
    setWindowIcon(QIcon(QStringLiteral(":/pictures/app.png")));
    setFont(ControlFont());
    BuildControls();
    LoadSheets();
    engine_.picBoard = &boardPicture_;
    engine_.picMask = &picMask;
    engine_.picPaint = &picPaint;
    engine_.picSkin = &picSkin;
    resize(601, 460);
    FollowTheScreens();
    Form_Load();
}

void frmMain::FollowTheScreens() {
    // A screen added, removed or resized moves the window's bound with it.
    const auto watch = [this](QScreen* screen) {
        connect(screen, &QScreen::geometryChanged, this, &frmMain::FitTheScreens);
        FitTheScreens();
    };
    for (QScreen* screen : QGuiApplication::screens()) watch(screen);
    connect(qApp, &QGuiApplication::screenAdded, this, watch);
    connect(qApp, &QGuiApplication::screenRemoved, this, &frmMain::FitTheScreens,
            Qt::QueuedConnection);  // once it is gone
    FitTheScreens();
}

void frmMain::FitTheScreens() {
    QList<QSize> screens;
    for (const QScreen* screen : QGuiApplication::screens()) screens << screen->geometry().size();
    setMaximumSize(WindowBound(ScreenBound(screens), size(), maximumSize(),
                               windowState().testAnyFlags(Qt::WindowMaximized | Qt::WindowFullScreen)));
}

frmMain::~frmMain() = default;

void frmMain::BuildControls() {
    // Frames first, so they lie beneath the buttons they surround.
    Label8 = Frame(this, 8, 8, 113, 33);
    Label9 = Frame(this, 416, 8, 41, 33);
    Label10 = Frame(this, 468, 8, 77, 33);
    Label11 = Frame(this, 556, 8, 41, 33);
    Label4 = Frame(this, 0, 432, 249, 25);

    btnNew = PictureButton(this, QStringLiteral(":/buttons/new.bmp"), QStringLiteral("New Game"), 16, 12);
    btnHint = PictureButton(this, QStringLiteral(":/buttons/hint.bmp"), QStringLiteral("Hint"), 52, 12);
    btnBack = PictureButton(this, QStringLiteral(":/buttons/back.bmp"), QStringLiteral("Undo"), 88, 12);

    Label5 = Label(this, QStringLiteral("Tile Layout:"), 136, 6, 81, 17);
    cmbPattern = new ChoiceList(this);
    cmbPattern->setGeometry(136, 22, 89, 21);
    Label6 = Label(this, QStringLiteral("Play Mode:"), 240, 6, 57, 17);
    chkEasy = new QCheckBox(QStringLiteral("Easy"), this);
    chkEasy->setGeometry(240, 22, 49, 17);
    Label7 = Label(this, QStringLiteral("Tile Set:"), 304, 6, 65, 17);
    cmbTileSet = new ChoiceList(this);
    cmbTileSet->setGeometry(304, 22, 97, 21);

    btnBackground = PictureButton(this, QStringLiteral(":/buttons/background.bmp"),
                                  QStringLiteral("Background Colour / Image"), 424, 12);
    btnSound = PictureButton(this, QStringLiteral(":/buttons/sound.bmp"), QStringLiteral("Sound Fx On"), 476, 12);
    btnNoSound = PictureButton(this, QStringLiteral(":/buttons/nosound.bmp"), QStringLiteral("Sound Fx Off"), 512, 12);
    Command1 = PictureButton(this, QStringLiteral(":/buttons/help.bmp"), QStringLiteral("How to Play"), 564, 12);

    picBoard = new BoardView(boardPicture_, this);
    picBoard->move(8, 48);
    picBoard->SetWidth(585);
    picBoard->SetHeight(377);

    Label1 = Label(this, QStringLiteral("Tiles:"), 16, 438, 25, 17);
    lblTiles = Label(this, QString(), 48, 438, 33, 17);
    Label2 = Label(this, QStringLiteral("Matches:"), 112, 438, 49, 17);
    lblMatch = Label(this, QString(), 160, 438, 33, 17);
    Label3 = Label(this, QStringLiteral("Time:"), 240, 438, 33, 17);
    lblTime = Label(this, QString(), 272, 438, 49, 17);
    btnAbout = new QPushButton(QStringLiteral("About"), this);
    btnAbout->setGeometry(520, 432, 73, 25);

    Timer1.setInterval(1000);
    Timer1.start();

    connect(picBoard, &BoardView::MouseUp, this, &frmMain::picBoard_MouseUp);
    connect(btnNew, &QPushButton::clicked, this, &frmMain::btnNew_Click);
    connect(btnHint, &QPushButton::clicked, this, &frmMain::btnHint_Click);
    connect(btnBack, &QPushButton::clicked, this, &frmMain::btnBack_Click);
    connect(cmbPattern, &ChoiceList::Click, this, &frmMain::cmbPattern_Click);
    connect(cmbTileSet, &ChoiceList::Click, this, &frmMain::cmbTileSet_click);
    connect(btnBackground, &QPushButton::clicked, this, &frmMain::btnBackground_Click);
    connect(btnSound, &QPushButton::clicked, this, &frmMain::btnSound_Click);
    connect(btnNoSound, &QPushButton::clicked, this, &frmMain::btnNoSound_Click);
    connect(Command1, &QPushButton::clicked, this, &frmMain::Command1_Click);
    connect(btnAbout, &QPushButton::clicked, this, &frmMain::btnAbout_Click);
    connect(&Timer1, &QTimer::timeout, this, &frmMain::Timer1_Timer);
}

void frmMain::LoadSheets() {
    LoadSheet(QStringLiteral(":/sheets/mahjongg.bmp"), TileSet);
    LoadSheet(QStringLiteral(":/sheets/scanned.bmp"), TileSet0);
    LoadSheet(QStringLiteral(":/sheets/cards.bmp"), TileSet2);
    LoadSheet(QStringLiteral(":/sheets/animals.bmp"), TileSet3);
    LoadSheet(QStringLiteral(":/sheets/icons.bmp"), TileSet4);
}

void frmMain::Form_Load() {
    Activated = false;

    cmbPattern->clear();
    for (const char* name : {"Classic", "Mountain", "Great Wall", "Block", "Shuriken", "Dam", "Random", "Tree",
                             "Pyramid", "Key", "Tavelorn"})
        cmbPattern->addItem(QString::fromLatin1(name));
    cmbPattern->setMaxVisibleItems(cmbPattern->count());  // every name at once, no scrolling
    cmbPattern->SetText(QStringLiteral("Default"));

    cmbTileSet->clear();
    for (const char* name : {"MahJongg", "Scanned Tiles", "Cards", "Animals", "Icons"})
        cmbTileSet->addItem(QString::fromLatin1(name));
    cmbTileSet->SetText(QStringLiteral("Scanned Tiles"));

    engine_.TileSetDC = &TileSet0;
    chkEasy->setChecked(true);

    engine_.SoundOn = true;
    btnSound->setEnabled(false);
    btnNoSound->setEnabled(true);

    Activated = true;
    LoadSettings(*this);
    Activated = false;

    engine_.NewGame();
    HintIndex = -1;
    loaded_ = true;
}

void frmMain::Form_Activate() {
    // The selection goes, and its mark with it: a tile left lit with nothing
    // selected would take the next click as a first one.
    if (SelectedTile >= 0) RepaintBoard();
    SelectedTile = -1;
    picBoard->Refresh();
    Activated = true;
}

void frmMain::Form_Resize() {
    // A window system that sets a size past the maximum (no window manager
    // to keep to it) still gets a board no larger than the maximum.
    const int16_t W = static_cast<int16_t>(std::min(width(), maximumWidth()));
    const int16_t H = static_cast<int16_t>(std::min(height(), maximumHeight()));

    int16_t w = static_cast<int16_t>(W - 15);
    if (w < 0) w = 0;
    picBoard->SetWidth(w);
    Label4->resize(max(static_cast<int16_t>(w - 81), 0), Label4->height());
    btnAbout->move(max(static_cast<int16_t>(w - 65), 0), btnAbout->y());

    int16_t h = static_cast<int16_t>(H - 79);
    if (h < 0) h = 0;
    picBoard->SetHeight(h);

    int16_t b = static_cast<int16_t>(H - 24);
    if (b < 0) b = 0;
    Label4->move(Label4->x(), b - 4);
    btnAbout->move(btnAbout->x(), b - 4);
    for (QLabel* label : {Label1, lblTiles, Label2, lblMatch, Label3, lblTime}) label->move(label->x(), b + 2);

    engine_.CenterBoard();
    engine_.RedrawBoard();
    HintShown = false;
    SelectedTile = -1;
}

void frmMain::Form_QueryUnload() { SaveSettings(*this); }

void frmMain::SettingChanged() {
    if (loaded_) SaveChangedSettings(*this);
}

void frmMain::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // A maximised window refitted by the window manager: the bound may come down.
    if (windowState().testAnyFlags(Qt::WindowMaximized | Qt::WindowFullScreen)) FitTheScreens();
    Form_Resize();
}

void frmMain::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) FitTheScreens();
}

void frmMain::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (shown_) return;
    // The first showing, after its resize: the window is now the active one.
    shown_ = true;
    Form_Activate();
}

void frmMain::closeEvent(QCloseEvent* event) {
    Form_QueryUnload();
    event->accept();  // a close is never refused
}

void frmMain::RepaintBoard() {
    engine_.RefreshBoard();
    HintShown = false;
}

void frmMain::Reactivate() {
    activateWindow();
    Form_Activate();
}

bool frmMain::IsOpenTile(int16_t i) const {
    if (i < 1 || i > 144) return false;
    for (int16_t k = 1; k <= engine_.OpenCount; ++k)
        if (engine_.OpenTiles[k] == i) return true;
    return false;
}

// ---- Picture of picSkin --------------------------------------------------

QImage frmMain::SkinPicture() const { return skinPicture_; }

void frmMain::SetSkinPicture(const QImage& picture) {
    // No picture empties the holder, and the board then takes the solid
    // colour: a blank surface of the last picture's size would paint it
    // blank.
    skinPicture_ = picture;
    ShowImage(picture, picSkin);
}

// ---- EngineHost ------------------------------------------------------------

void frmMain::SetFormEnabled(bool enabled) {
    // Disabling the window takes the keyboard focus from its control; it
    // goes back there afterwards, so the arrow keys go on stepping a list.
    if (!enabled) {
        QWidget* focused = QApplication::focusWidget();
        focusBeforeDisable_ = (focused && isAncestorOf(focused)) ? focused : nullptr;
    }
    setEnabled(enabled);
    if (enabled && focusBeforeDisable_ && focusBeforeDisable_->isEnabled()) focusBeforeDisable_->setFocus();
}
std::string frmMain::PatternText() const { return cmbPattern->Text().toStdString(); }
int16_t frmMain::EasyValue() const { return chkEasy->isChecked() ? 1 : 0; }
void frmMain::SetTimerEnabled(bool enabled) {
    if (enabled)
        Timer1.start();
    else
        Timer1.stop();
}
void frmMain::SetTilesCaption(const std::string& text) { lblTiles->setText(QString::fromStdString(text)); }
void frmMain::SetMatchCaption(const std::string& text) { lblMatch->setText(QString::fromStdString(text)); }
