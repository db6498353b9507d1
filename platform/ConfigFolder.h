// The user's configuration folder, where the settings are kept.
#pragma once

#include <QString>

// XDG_CONFIG_HOME when it is an absolute path (a part of it that is not
// there, followed by "..", left out with it); else ".config" in the home
// folder: HOME when it is absolute, else the one the user database gives.
// A home must be an existing folder other than the root (a symlink to one
// is taken as it is given). Empty when there is none: the game then keeps
// no settings.
QString UserConfigFolder();
