#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace setforge::config {

// What the open dialog is asked to show.
struct OpenDialogRequest {
    std::string title;
    std::string filterDescription;
    std::string filterPattern;
    std::string startFolder; // "" lets the dialog look for the game's folder
};

[[nodiscard]] OpenDialogRequest userconfigOpenRequest();

// A config is a short text: a larger file is refused before it is read whole.
inline constexpr std::size_t LargestConfigBytes = 16u << 20;
inline constexpr std::string_view TooLargeForAConfig = "Die Datei ist größer als 16 MB und damit keine Config.";

// Why these bytes are not a config to load (German), or nullopt. A few NUL bytes are tolerated,
// since an editor may leave one behind; more mean the file is not text.
[[nodiscard]] std::optional<std::string> notAConfigReason(std::string_view bytes);

// The German text telling the user that the file was not loaded, and why.
[[nodiscard]] std::string loadFailureMessage(std::string_view path, std::string_view reason);

} // namespace setforge::config
