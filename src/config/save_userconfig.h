#pragma once

#include "config/settings_state.h"

#include <string>

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

enum class SaveOutcome { Cancelled, Saved, Failed };

struct SaveResult {
    SaveOutcome outcome = SaveOutcome::Cancelled;
    std::string path;
    std::string error;
};

// The dialog's values; the proposed name is set anew for every save.
[[nodiscard]] SaveDialogRequest userconfigDialogRequest();

// The German text telling the user that the config was not saved, and why.
[[nodiscard]] std::string saveFailureMessage(const SaveResult& result);

} // namespace setforge::config
