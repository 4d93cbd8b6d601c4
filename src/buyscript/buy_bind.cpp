#include "buyscript/buy_bind.h"

#include "buyscript/buy_catalogue.h"
#include "game/ascii.h"
#include "game/bindings.h"

#include <algorithm>

namespace setforge::buyscript {
namespace {

std::string_view trimmed(std::string_view text) {
    const std::size_t begin = text.find_first_not_of(" \t");
    if (begin == std::string_view::npos) {
        return {};
    }
    return text.substr(begin, text.find_last_not_of(" \t") - begin + 1);
}

} // namespace

std::optional<BuyBind> buyBindOnLine(std::string_view line) {
    while (line.ends_with('\r') || line.ends_with('\n')) {
        line.remove_suffix(1);
    }
    const std::vector<game::console::Tokens> commands = game::lineCommands(line);
    if (commands.size() != 1 || commands[0].args.size() != 3 ||
        !game::equalsIgnoringCase(commands[0].args[0].text, "bind")) {
        return std::nullopt;
    }
    BuyBind bind{std::string(commands[0].args[1].text), {}, {}};
    const std::string_view chain = commands[0].args[2].text;
    for (std::size_t begin = 0; begin <= chain.size();) {
        const std::size_t end = std::min(chain.find(';', begin), chain.size());
        const std::string_view piece = trimmed(chain.substr(begin, end - begin));
        begin = end + 1;
        if (piece.empty()) {
            continue;
        }
        if (piece.find_first_of(" \t") != std::string_view::npos) {
            return std::nullopt; // a command with arguments: no chain of aliases
        }
        const auto* item = std::ranges::find_if(BuyCatalogue, [piece](const BuyItem& i) {
            return game::equalsIgnoringCase(i.alias.substr(0, i.alias.size() - 1), piece);
        });
        if (item == BuyCatalogue.end()) {
            bind.unknown.emplace_back(piece);
        } else {
            bind.ticked.emplace(item->checkBox);
        }
    }
    if (bind.ticked.empty()) {
        return std::nullopt;
    }
    return bind;
}

} // namespace setforge::buyscript
