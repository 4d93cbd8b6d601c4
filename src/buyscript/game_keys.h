#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace setforge::buyscript {

// True when the game's `bind` finds the key: one of its key names (any case), or one single
// printable ASCII character other than '"' and the blank.
[[nodiscard]] bool isGameKey(std::string_view key);

// Up to three of the game's key names nearest to a key it does not know (blanks left out, at most
// two letters changed), nearest first; none when nothing is that close.
[[nodiscard]] std::vector<std::string_view> nearGameKeys(std::string_view key);

// The key as it goes into the bind line: as typed, except that a single upper-case letter is
// written in lower case. The game reports letter keys in lower case, so `bind "Q"` would bind a key
// that is never pressed.
[[nodiscard]] std::string bindableKey(std::string_view key);

// The German message for a key the game does not know.
[[nodiscard]] std::string unknownKeyMessage(std::string_view key);

} // namespace setforge::buyscript
