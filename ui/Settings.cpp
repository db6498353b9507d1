#include "Settings.h"

#include <QFileInfo>
#include <QImage>
#include <QLockFile>
#include <QSettings>

#include "frmMain.h"

#include "PictureLoader.h"

namespace {
const QString AppName = QStringLiteral("Tavelorn Tiles");
const QString Section = QStringLiteral("Settings/");

// The store's read with a default: the stored text, or the default's text
// when the key is missing.
QString GetSetting(QSettings& store, const QString& key, const QString& fallback) {
    const QVariant value = store.value(Section + key);
    if (!value.isValid()) return fallback;
    // A hand-edited value with an unquoted comma reads back as a list.
    if (value.userType() == QMetaType::QStringList) return value.toStringList().join(QStringLiteral(", "));
    return value.toString();
}

void SaveSetting(QSettings& store, const QString& key, const QString& text) { store.setValue(Section + key, text); }

// A program killed just as it took the store's lock leaves an empty lock
// file that names no owner. The store would wait half a minute for it to go
// stale, with the window frozen at its close; no one holds it, so clear it.
void ClearOwnerlessLock(const QString& settingsFile) {
    const QString path = settingsFile + QStringLiteral(".lock");
    if (!QFileInfo::exists(path)) return;
    QLockFile lock(path);
    qint64 pid = 0;
    QString host, app;
    if (!lock.getLockInfo(&pid, &host, &app)) lock.removeStaleLockFile();
}

bool ReadBoolean(QSettings& store, const QString& key, bool fallback) {
    return ParseBoolean(GetSetting(store, key, BooleanText(fallback))).value_or(fallback);
}
}  // namespace

QString DefaultSettingsFile() {
    return QSettings(QSettings::IniFormat, QSettings::UserScope, AppName, AppName).fileName();
}

QString BooleanText(bool value) { return value ? QStringLiteral("True") : QStringLiteral("False"); }

std::optional<bool> ParseBoolean(const QString& text) {
    if (text.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) return true;
    if (text.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) return false;
    return std::nullopt;
}

QString ColourText(int32_t value) { return QString::number(value); }

std::optional<int32_t> ParseColour(const QString& text) {
    bool ok = false;
    const qlonglong value = text.trimmed().toLongLong(&ok, 10);
    if (!ok || value < INT32_MIN || value > INT32_MAX) return std::nullopt;
    return static_cast<int32_t>(value);
}

void LoadSettings(frmMain& form) {
    QSettings store(form.SettingsFile(), QSettings::IniFormat);
    modTile& engine = form.Engine();

    form.cmbPattern->SetText(GetSetting(store, QStringLiteral("Pattern"), QStringLiteral("Classic")));
    form.cmbTileSet->SetText(GetSetting(store, QStringLiteral("TileSet"), QStringLiteral("Scanned Tiles")));
    form.cmbTileSet_click();

    constexpr int32_t DefaultColour = 32768;
    engine.BackgroundColour =
        ParseColour(GetSetting(store, QStringLiteral("Background Colour"), ColourText(DefaultColour)))
            .value_or(DefaultColour);
    engine.BackgroundImage = GetSetting(store, QStringLiteral("Background Image"), QString()).toStdString();
    engine.BackgroundIsImage = ReadBoolean(store, QStringLiteral("Background"), false);
    engine.ImageStretch = ReadBoolean(store, QStringLiteral("Image Stretch"), false);
    engine.SoundOn = ReadBoolean(store, QStringLiteral("Sound"), true);

    if (engine.BackgroundIsImage)
        form.SetSkinPicture(LoadPicture(QString::fromStdString(engine.BackgroundImage)));

    form.btnSound->setEnabled(!engine.SoundOn);
    form.btnNoSound->setEnabled(engine.SoundOn);
}

void SaveSettings(frmMain& form) {
    ClearOwnerlessLock(form.SettingsFile());
    QSettings store(form.SettingsFile(), QSettings::IniFormat);
    const modTile& engine = form.Engine();
    SaveSetting(store, QStringLiteral("Background Colour"), ColourText(engine.BackgroundColour));
    SaveSetting(store, QStringLiteral("Background Image"), QString::fromStdString(engine.BackgroundImage));
    SaveSetting(store, QStringLiteral("Background"), BooleanText(engine.BackgroundIsImage));
    SaveSetting(store, QStringLiteral("Image Stretch"), BooleanText(engine.ImageStretch));
    SaveSetting(store, QStringLiteral("Sound"), BooleanText(engine.SoundOn));
    SaveSetting(store, QStringLiteral("Pattern"), form.cmbPattern->Text());
    SaveSetting(store, QStringLiteral("TileSet"), form.cmbTileSet->Text());
    // QSettings writes through a temporary file renamed over the old one; a
    // failure leaves the old file whole and the close goes on.
    store.sync();
}
