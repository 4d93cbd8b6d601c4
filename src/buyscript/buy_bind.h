#pragma once

// A buy bind already in the player's lines, read back so the buy window can edit it where it stands.
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace setforge::buyscript {

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

} // namespace setforge::buyscript
