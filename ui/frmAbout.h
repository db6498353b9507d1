// The About box: the game's picture, title, version and a link to its home
// page. The link is a one-line text box dressed as a hyperlink: blue and
// underlined, red while the pointer is over it. To see the pointer leave,
// the link takes the pointer capture while the pointer is over it.
#pragma once

#include <QDialog>
#include <QLineEdit>
#include <QUrl>
#include <functional>

class QLabel;
class QPushButton;

// The link box: reports its pointer moves (also those it receives while it
// holds the capture) and its clicks.
class LinkBox : public QLineEdit {
    Q_OBJECT
public:
    explicit LinkBox(QWidget* parent);

    std::function<void(qreal x, qreal y)> OnMouseMove;
    std::function<void()> OnClick;

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    bool pressed_ = false;
};

class frmAbout : public QDialog {
    Q_OBJECT
public:
    using LinkOpener = std::function<void(const QUrl&)>;

    explicit frmAbout(QWidget* mainWindow);
    ~frmAbout() override;

    // What opens the address; the desktop's default handler unless replaced.
    void SetLinkOpener(LinkOpener opener) { openLink_ = std::move(opener); }

    QLabel* picIcon;
    QLabel* lblTitle;
    QLabel* lblVersion;
    LinkBox* txtURL;
    QPushButton* cmdCancel;

    bool OverLink = false;

    void txtURL_MouseMove(qreal x, qreal y);
    void txtURL_Click();
    void cmdCancel_Click();

    void done(int result) override;  // every close passes here: Form_Unload

protected:
    void reject() override;  // Esc and the close box work through cmdCancel

private:
    void Form_Load(QWidget* mainWindow);
    void Form_Unload();
    void SetLinkColour(int32_t bgr);

    LinkOpener openLink_;
};
