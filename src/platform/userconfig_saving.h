#pragma once

#include "config/save_userconfig.h"

#include <QString>

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

// Ctrl+S: composes and writes the file whole to `path`, with no dialog and no question.
config::SaveResult saveUserconfigTo(WindowServices& services, const QString& path,
                                    const std::function<config::SettingsState()>& snapshot);

} // namespace setforge::platform
