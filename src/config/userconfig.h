#pragma once

#include "config/settings_state.h"

#include <string>
#include <string_view>

namespace setforge::config {

// The whole text of userconfig.cfg for `state`, UTF-8, every line ended by "\r\n":
// the name line, one line per setting with a current choice in catalogue order,
// "// User Angaben", then the free text as one piece.
[[nodiscard]] std::string composeUserconfig(const SettingsState& state);

// The nickname as it may stand between the quotes of the name line: the game's console
// cannot escape a quote, so `"` becomes `'`, and each CR or LF becomes a blank.
[[nodiscard]] std::string nameLineSafe(std::string_view nickname);

// UTF-8 to Windows-1252 bytes; one '?' for each code point the code page cannot hold
// and for each malformed UTF-8 sequence.
[[nodiscard]] std::string toWindows1252(std::string_view utf8);

} // namespace setforge::config
