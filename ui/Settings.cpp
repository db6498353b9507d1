#include "Settings.h"

#include <QImage>

#include "frmMain.h"

#include "ConfigFolder.h"
#include "GameName.h"
#include "KeptBytes.h"
#include "PictureLoader.h"
#include "SettingsFile.h"

namespace {
const QString Section = QStringLiteral("Settings");

// The store's read with a default: the stored text, or the default's text
// when the key is missing.
QString GetSetting(const QHash<QString, QString>& store, const QString& key, const QString& fallback) {
    return store.value(Section + u'/' + key, fallback);
}

bool ReadBoolean(const QHash<QString, QString>& store, const QString& key, bool fallback) {
    return ParseBoolean(GetSetting(store, key, BooleanText(fallback))).value_or(fallback);
}

// The seven values as SaveSettings writes them, in its order. The picture's
// path goes back as the very bytes it was read as.
SettingsValues Values(frmMain& form) {
    const modTile& engine = form.Engine();
    return {{QStringLiteral("Background Colour"), ColourText(engine.BackgroundColour)},
            {QStringLiteral("Background Image"), DecodeKeepingBytes(engine.BackgroundImage)},
            {QStringLiteral("Background"), BooleanText(engine.BackgroundIsImage)},
            {QStringLiteral("Image Stretch"), BooleanText(engine.ImageStretch)},
            {QStringLiteral("Sound"), BooleanText(engine.SoundOn)},
            {QStringLiteral("Pattern"), form.cmbPattern->Text()},
            {QStringLiteral("TileSet"), form.cmbTileSet->Text()}};
}
}  // namespace

QString DefaultSettingsFile() {
    // Where Qt's own settings put an application's INI file for this user;
    // worked out without opening anything.
    const QString folder = UserConfigFolder();
    if (folder.isEmpty()) return QString();
    return folder + u'/' + GameName() + u'/' + GameName() + QStringLiteral(".ini");
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
    const QHash<QString, QString> store = ReadSettingsFile(form.SettingsFile());
    modTile& engine = form.Engine();

    form.cmbPattern->SetText(GetSetting(store, QStringLiteral("Pattern"), QStringLiteral("Classic")));
    form.cmbTileSet->SetText(GetSetting(store, QStringLiteral("TileSet"), QStringLiteral("Scanned Tiles")));
    form.cmbTileSet_click();

    constexpr int32_t DefaultColour = 32768;
    engine.BackgroundColour =
        ParseColour(GetSetting(store, QStringLiteral("Background Colour"), ColourText(DefaultColour)))
            .value_or(DefaultColour);
    engine.BackgroundImage = EncodeKeepingBytes(GetSetting(store, QStringLiteral("Background Image"), QString())).toStdString();
    engine.BackgroundIsImage = ReadBoolean(store, QStringLiteral("Background"), false);
    engine.ImageStretch = ReadBoolean(store, QStringLiteral("Image Stretch"), false);
    engine.SoundOn = ReadBoolean(store, QStringLiteral("Sound"), true);

    if (engine.BackgroundIsImage)
        form.SetSkinPicture(LoadPicture(DecodeKeepingBytes(engine.BackgroundImage)));

    form.btnSound->setEnabled(!engine.SoundOn);
    form.btnNoSound->setEnabled(engine.SoundOn);
}

bool SaveSettings(frmMain& form) { return WriteSettingsFile(form.SettingsFile(), Section, Values(form)); }

void SaveChangedSettings(frmMain& form) { WriteChangedSettingsFile(form.SettingsFile(), Section, Values(form)); }
