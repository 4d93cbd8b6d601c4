#pragma once

#include "config/settings_state.h"

#include <cstddef>
#include <cstdint>
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

// What the program opens, measured on the config as it would write it again (CR LF line ends,
// UTF-8), so that every file it saves from an opened one opens again. The free-text box's cost grows
// with the lines (about 4 us and 0.5 KB each) and with the length of the longest lines (a 64 KB line
// takes 80 ms to lay out); within these limits any file opens in well under a second.
inline constexpr std::size_t LargestConfigBytes = 1u << 20;
inline constexpr std::size_t MostConfigLines = 50'000;
inline constexpr std::size_t LongestConfigLine = 4'096; // bytes, line end excluded
// At most this much is read from disk: UTF-16 takes up to twice the bytes of its text in UTF-8.
inline constexpr std::size_t LargestFileRead = 2 * LargestConfigBytes + 2;

// Why a file of `fileBytes` bytes is not opened (German), naming its size and the limit.
[[nodiscard]] std::string tooLargeMessage(std::uint64_t fileBytes);

// Why these bytes are not a config to load (German), or nullopt. A few NUL bytes are tolerated,
// since an editor may leave one behind; more mean the file is not text (unless it is UTF-16).
[[nodiscard]] std::optional<std::string> notAConfigReason(std::string_view bytes);

// Why the config `written` (composed from an opened file of `fileBytes` bytes) is beyond what the
// program opens, naming the file's size and the limit (German), or nullopt.
[[nodiscard]] std::optional<std::string> beyondOpenLimits(std::string_view written, std::uint64_t fileBytes);

// What the window is to tell the player after opening these bytes (German), or nullopt: a UTF-16
// file is one the game could not read before and will read once it is saved.
[[nodiscard]] std::optional<std::string> openingNotice(std::string_view bytes);

// A config file read for the window: its state, or why it is not opened.
struct LoadedConfig {
    SettingsState state;
    std::optional<std::string> refusal; // German, set when nothing is to be loaded
    std::optional<std::string> notice;  // German, to tell the player once it is loaded
};
[[nodiscard]] LoadedConfig loadUserconfig(std::string_view bytes);

// The German text telling the user that the file was not loaded, and why.
[[nodiscard]] std::string loadFailureMessage(std::string_view path, std::string_view reason);

} // namespace setforge::config
