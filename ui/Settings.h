// The seven user settings, kept between runs in an INI file under the user's
// configuration folder: application "Tavelorn Tiles", section "Settings".
#pragma once

#include <QString>
#include <cstdint>
#include <optional>

class frmMain;

// Where the settings live for this user (honours XDG_CONFIG_HOME); empty
// when the user has no folder to keep them in.
QString DefaultSettingsFile();

// Reads the seven values into the main window, the engine and picSkin.
// Every value is read as text; one that does not convert takes its key's
// default, and so do all when the file is missing, irregular or too large.
void LoadSettings(frmMain& form);

// Writes the seven values. The file is replaced whole or not at all; a save
// that cannot be made (the file is no regular file, its lock is held, the
// disk is full) leaves the old file as it was and the close goes on.
// Returns whether it was written.
bool SaveSettings(frmMain& form);

// The same, made while the game is played, each time the player changes a
// setting, so a run that ends without its close (the display gone, a crash,
// a kill) keeps them: written only when the file holds other values, and
// waiting for another run's lock only as long as the window can wait.
void SaveChangedSettings(frmMain& form);

// The text forms of the stored values.
QString BooleanText(bool value);
std::optional<bool> ParseBoolean(const QString& text);  // "True"/"False", any case
QString ColourText(int32_t value);
std::optional<int32_t> ParseColour(const QString& text);  // a whole number in 32 bits
