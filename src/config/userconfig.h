#pragma once

#include "config/settings_state.h"

#include <optional>
#include <string>
#include <string_view>

namespace setforge::config {

// The exact bytes of userconfig.cfg for `state`: UTF-8 without a byte-order mark, every line
// ended by "\r\n". The name line (left out for an empty or blank nickname), one line per setting
// with a current choice in catalogue order, "// User Angaben", then the free text as one piece.
// Ill-formed UTF-8 coming in is written as one '?' per maximal ill-formed subpart.
[[nodiscard]] std::string composeUserconfig(const SettingsState& state);

// The comment line between the window's lines and the free text; reading drops it once.
inline constexpr std::string_view ManualMarker = "// User Angaben";

// The nickname as it may stand between the quotes of the name line: the game's console
// cannot escape a quote, so `"` becomes `'`, and each CR or LF becomes a blank.
[[nodiscard]] std::string nameLineSafe(std::string_view nickname);

// True when the nickname writes no name line: `name ""` would erase the player's name.
[[nodiscard]] bool isBlankNickname(std::string_view nickname);

// Why the game would refuse the name line for this nickname (German, says what to change), or
// nullopt when it takes it. The game's userinfo refuses values holding '\' or "..", and values of
// 127 bytes and more.
[[nodiscard]] std::optional<std::string> nicknameRefusal(std::string_view nickname);

// A config file's bytes as UTF-8 text: a leading byte-order mark dropped, bytes that are not
// well-formed UTF-8 read as Windows-1252 (older tools and Windows editors wrote that).
[[nodiscard]] std::string userconfigText(std::string_view fileBytes);

// The window's inputs for an existing config. A setting or the nickname fills its control only
// where the game's result stays exactly the same once the file is written again: its last line
// in the file is one plain command with one of the window's choices, and nothing before it can
// change the same variable. Every other line stays in the free text, in the file's order; a file
// this program wrote comes back byte for byte.
[[nodiscard]] SettingsState parseUserconfig(std::string_view fileBytes);

} // namespace setforge::config
