// Any bytes at all as the settings file: loaded into the main window as at
// start-up, a game dealt with what was read, and the settings saved. What
// was saved must load back to the very same seven values, and saving those
// must write the same file again.
#include <QApplication>
#include <QFile>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "MainWindowFixture.h"
#include "Settings.h"

namespace {

struct Values {
    QString Pattern, TileSet;
    int32_t Colour;
    std::string Image;
    bool IsImage, Stretch, Sound;
    bool operator==(const Values&) const = default;
};

Values Read(frmMain& form) {
    const modTile& e = form.Engine();
    return {form.cmbPattern->Text(), form.cmbTileSet->Text(), e.BackgroundColour, e.BackgroundImage,
            e.BackgroundIsImage, e.ImageStretch, e.SoundOn};
}

void Require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "settings fuzz: %s\n", what);
        std::abort();
    }
}

QByteArray Contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// As the window's load does it: the lists act on a choice only while the
// activation flag is up.
void Load(frmMain& form) {
    form.Activated = true;
    LoadSettings(form);
    form.Activated = false;
}

MainWindowFixture* fixture = nullptr;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(*argc, *argv);
    fixture = new MainWindowFixture;
    fixture->Open(false);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    frmMain& form = *fixture->Form;
    {
        QFile file(fixture->SettingsFile());
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) std::abort();
        file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    }
    Load(form);
    // The plain deal: the solvable one only costs time here, and the layout
    // named by the stored text is built and centred either way.
    form.chkEasy->setChecked(false);
    form.btnNew_Click();
    modTile& engine = form.Engine();
    Require(engine.TilesLeft == 144 && engine.UndoTop == 0, "a whole new game");
    SaveSettings(form);

    const Values saved = Read(form);
    const QByteArray file = Contents(fixture->SettingsFile());
    Load(form);
    Require(Read(form) == saved, "the saved values load back unchanged");
    SaveSettings(form);
    Require(Contents(fixture->SettingsFile()) == file, "saving them again writes the same file");
    QCoreApplication::processEvents();
    return 0;
}
