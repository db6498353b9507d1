#include "frmAbout.h"

#include <QDesktopServices>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

#include "BoxLook.h"
#include "DialogPlacement.h"

namespace {
constexpr int32_t LinkBlue = 0xFF0000;
constexpr int32_t LinkRed = 0xFF;
constexpr int Twips = TwipsPerPixel;
}  // namespace

LinkBox::LinkBox(QWidget* parent) : QLineEdit(parent) {
    setMouseTracking(true);
}

void LinkBox::mouseMoveEvent(QMouseEvent* event) {
    if (OnMouseMove) OnMouseMove(event->position().x(), event->position().y());
}

void LinkBox::mousePressEvent(QMouseEvent* event) {
    pressed_ = rect().contains(event->position().toPoint());
}

void LinkBox::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = pressed_ && rect().contains(event->position().toPoint());
    pressed_ = false;
    if (click && OnClick) OnClick();
}

void LinkBox::mouseDoubleClickEvent(QMouseEvent* /*event*/) {
    // The second press of a double click is the double click, not another
    // click: the address is opened once.
    pressed_ = false;
}

frmAbout::frmAbout(QWidget* mainWindow)
    : QDialog(mainWindow), openLink_([](const QUrl& url) { QDesktopServices::openUrl(url); }) {
    setWindowTitle(QStringLiteral("About Tavelorn Tiles"));
    DressBox(*this);
    resize(4935 / Twips, 4935 / Twips);

    cmdCancel = new QPushButton(QStringLiteral("OK"), this);
    cmdCancel->setGeometry(1920 / Twips, 4440 / Twips, 975 / Twips, 375 / Twips);
    cmdCancel->setDefault(true);
    connect(cmdCancel, &QPushButton::clicked, this, &frmAbout::cmdCancel_Click);

    picIcon = new QLabel(this);
    picIcon->setGeometry(240 / Twips, 120 / Twips, 540 / Twips, 540 / Twips);
    picIcon->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    picIcon->setLineWidth(2);
    picIcon->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    picIcon->setPixmap(QPixmap(QStringLiteral(":/pictures/about.bmp")));

    lblTitle = new QLabel(QStringLiteral("Tavelorn Tiles"), this);
    lblTitle->setGeometry(1080 / Twips, 120 / Twips, 2445 / Twips, 480 / Twips);
    lblTitle->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblTitle->setFont(SansSerifFont(12, true));
    QPalette black = lblTitle->palette();
    black.setColor(QPalette::WindowText, Qt::black);
    lblTitle->setPalette(black);

    lblVersion = new QLabel(this);
    lblVersion->setGeometry(1080 / Twips, 840 / Twips, 2775 / Twips, 255 / Twips);
    lblVersion->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    txtURL = new LinkBox(this);
    txtURL->setGeometry(1200 / Twips, 3360 / Twips, 2415 / Twips, 255 / Twips);
    txtURL->setReadOnly(true);
    txtURL->setFrame(false);
    txtURL->setAlignment(Qt::AlignHCenter);
    QFont link = SansSerifFont(8.25, false);
    link.setUnderline(true);
    txtURL->setFont(link);
    txtURL->setText(QStringLiteral(TT_HOME_PAGE));
    txtURL->setCursorPosition(0);
    SetLinkColour(LinkBlue);
    txtURL->OnMouseMove = [this](qreal x, qreal y) { txtURL_MouseMove(x, y); };
    txtURL->OnClick = [this] { txtURL_Click(); };

    setTabOrder(cmdCancel, txtURL);
    cmdCancel->setFocus();
    Form_Load(mainWindow);
}

frmAbout::~frmAbout() {
    Form_Unload();
}

void frmAbout::Form_Load(QWidget* mainWindow) {
    OverLink = false;
    CentreOver(*this, mainWindow, Halving::Floor);
    lblVersion->setText(QStringLiteral("Version: %1.%2.%3")
                            .arg(TT_VERSION_MAJOR)
                            .arg(TT_VERSION_MINOR)
                            .arg(TT_VERSION_PATCH));
}

void frmAbout::SetLinkColour(int32_t bgr) {
    QPalette palette = txtURL->palette();
    palette.setColor(QPalette::Text, ColourFromBgr(bgr));
    // On the box's own face colour, so the address reads as a link, not a field.
    palette.setColor(QPalette::Base, palette.color(QPalette::Window));
    txtURL->setPalette(palette);
}

void frmAbout::txtURL_MouseMove(qreal x, qreal y) {
    // A point on the right or bottom edge still counts as inside.
    if (x < 0 || y < 0 || x > txtURL->width() || y > txtURL->height()) {
        txtURL->releaseMouse();
        OverLink = false;
        SetLinkColour(LinkBlue);
    } else if (!OverLink) {
        OverLink = true;
        txtURL->grabMouse();
        SetLinkColour(LinkRed);
        txtURL->setCursor(Qt::ArrowCursor);
    }
}

void frmAbout::txtURL_Click() {
    txtURL->releaseMouse();
    OverLink = false;
    SetLinkColour(LinkBlue);
    // Nothing is reported when no handler takes the address.
    if (openLink_) openLink_(QUrl(txtURL->text()));
}

void frmAbout::cmdCancel_Click() {
    done(QDialog::Accepted);
}

void frmAbout::Form_Unload() {
    if (OverLink) {
        txtURL->releaseMouse();
        OverLink = false;
    }
}

void frmAbout::done(int result) {
    Form_Unload();
    QDialog::done(result);
}

void frmAbout::reject() {
    cmdCancel_Click();
}
