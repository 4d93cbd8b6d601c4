#pragma once

// Which key the game has bound to what after it ran a config, and the buy binds among them.
#include <cstddef>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace setforge::config {

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

// A bind of a chain of buy aliases: its key, the check boxes of the aliases it buys, and the words
// of the chain that are no buy alias of the catalogue, kept in their order.
struct BuyBind {
    std::string key;
    std::set<std::string> ticked;
    std::vector<std::string> unknown;
};

// The buy bind that is the one command on `line`: `bind KEY "a;b;…"` where every piece of the chain
// is a single word and at least one is a buy alias. nullopt for any other line.
[[nodiscard]] std::optional<BuyBind> buyBindOnLine(std::string_view line);

} // namespace setforge::config
