// The game's name as the desktop and other runs of the game know it: the
// window's class, the folder and file of the settings, and the program
// named in the settings' lock.
#pragma once

#include <QString>

inline QString GameName() { return QStringLiteral("Tavelorn Tiles"); }
