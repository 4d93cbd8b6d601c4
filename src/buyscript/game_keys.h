#pragma once

#include <string>
#include <string_view>

namespace setforge::buyscript {

// True when the game's `bind` finds the key: one of its key names (any case), or one single
// printable ASCII character other than '"' and the blank.
[[nodiscard]] bool isGameKey(std::string_view key);

// The key as it goes into the bind line: as typed, except that a single upper-case letter is
// written in lower case. The game reports letter keys in lower case, so `bind "Q"` would bind a key
// that is never pressed.
[[nodiscard]] std::string bindableKey(std::string_view key);

// The German message for a key the game does not know.
[[nodiscard]] std::string unknownKeyMessage(std::string_view key);

} // namespace setforge::buyscript
