#pragma once

#include "config/save_userconfig.h"

#include <functional>

class QWidget;

namespace setforge::platform {

class WindowServices;

// "Config erstellen": asks for a path, then takes the snapshot (after the dialog, so it sees the
// controls as they are now), composes and writes the file whole. Cancel and an empty path write
// nothing. A userconfig.cfg for a folder whose config.cfg does not run it asks first ("Abbrechen" writes
// nothing). The path is UTF-8 outside and a QString inside; the bytes pass through untouched.
config::SaveResult saveUserconfig(WindowServices& services, QWidget* dialogParent,
                                  const std::function<config::SettingsState()>& snapshot,
                                  const config::SaveDialogRequest& request = config::userconfigDialogRequest());

} // namespace setforge::platform
