#pragma once

#include "config/settings_state.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace setforge::config {

// What the save dialog is asked to show.
struct SaveDialogRequest {
    std::string title;
    std::string filterDescription;
    std::string filterPattern; // a literal file name, not a wildcard
    std::string proposedName;
    bool confirmOverwrite = true;
    std::string startFolder; // "" lets the dialog look for the game's folder
};

struct WriteResult {
    bool ok = false;
    std::string error; // the system's reason when !ok
};

// The two services saving needs from the platform.
class SaveServices {
public:
    virtual ~SaveServices() = default;
    // The chosen path, or nullopt when the user cancelled.
    virtual std::optional<std::string> askSavePath(const SaveDialogRequest& request) = 0;
    // Replaces the file at `path` with `bytes` whole, or leaves it as it was.
    virtual WriteResult writeFileAtomically(const std::string& path, std::string_view bytes) = 0;
};

enum class SaveOutcome { Cancelled, Saved, Failed };

struct SaveResult {
    SaveOutcome outcome = SaveOutcome::Cancelled;
    std::string path;
    std::string error;
};

// The dialog's values; the proposed name is set anew for every save.
[[nodiscard]] SaveDialogRequest userconfigDialogRequest();

// Asks for a path, then takes the snapshot (after the dialog, so it sees the controls as they are
// now), composes and writes. Cancel and an empty path write nothing.
SaveResult saveUserconfig(SaveServices& services, const std::function<SettingsState()>& snapshot,
                          const SaveDialogRequest& request = userconfigDialogRequest());

// The German text telling the user that the config was not saved, and why.
[[nodiscard]] std::string saveFailureMessage(const SaveResult& result);

} // namespace setforge::config
