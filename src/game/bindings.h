#pragma once

// Which key the game has bound to what after it ran a config.
#include "game/console.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace setforge::game {

struct KeyBinding {
    std::string key;      // as written
    std::string command;  // what the key runs; "" after `unbind`
    std::size_t line = 0; // 1-based line of the text
};

// Every `bind KEY COMMAND` and `unbind KEY` the game runs from `text`, in order, read by the
// console's own rules (commands end at LF and at ';' outside quotes, `//` ends a line's command).
// `unbindall` drops every binding before it. Lines end at LF; a CR before it belongs to the end.
[[nodiscard]] std::vector<KeyBinding> keyBindings(std::string_view text);

// The binding in force for `key` after all of `bindings` ran, or nullptr when it is unbound. Names
// match in any case; a single character only as written, since the game reports letters in lower case.
[[nodiscard]] const KeyBinding* bindingOf(const std::vector<KeyBinding>& bindings, std::string_view key);

// The commands of one line with their arguments, as the console splits and reads them; blank and
// comment-only commands left out.
[[nodiscard]] std::vector<console::Tokens> lineCommands(std::string_view line);

} // namespace setforge::game
