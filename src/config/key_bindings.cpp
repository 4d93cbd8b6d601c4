#include "config/key_bindings.h"

#include "buyscript/buy_catalogue.h"
#include "config/ascii.h"
#include "config/console.h"

#include <algorithm>

namespace setforge::config {
namespace {

// The commands of one line with their arguments, blank and comment-only commands left out.
std::vector<console::Tokens> commandsOf(std::string_view line) {
    std::vector<console::Tokens> commands;
    console::forEachCommand(line, [&](const console::Command& command) {
        console::Tokens tokens = console::tokenize(line.substr(command.begin, command.end - command.begin));
        if (!tokens.args.empty()) {
            commands.push_back(std::move(tokens));
        }
    });
    return commands;
}

// The engine joins a bind's arguments after the key with single blanks.
std::string boundCommand(const console::Tokens& tokens) {
    std::string command;
    for (std::size_t i = 2; i < tokens.args.size(); ++i) {
        if (i > 2) {
            command += ' ';
        }
        command += tokens.args[i].text;
    }
    return command;
}

bool sameKey(std::string_view a, std::string_view b) {
    return a.size() == 1 || b.size() == 1 ? a == b : equalsIgnoringCase(a, b);
}

std::string_view trimmed(std::string_view text) {
    const std::size_t begin = text.find_first_not_of(" \t");
    if (begin == std::string_view::npos) {
        return {};
    }
    return text.substr(begin, text.find_last_not_of(" \t") - begin + 1);
}

} // namespace

std::vector<KeyBinding> keyBindings(std::string_view text) {
    std::vector<KeyBinding> bindings;
    std::size_t lineNumber = 0;
    for (std::size_t begin = 0; begin <= text.size();) {
        std::size_t end = text.find('\n', begin);
        const std::size_t next = end == std::string_view::npos ? text.size() + 1 : end + 1;
        end = end == std::string_view::npos ? text.size() : end;
        std::string_view line = text.substr(begin, end - begin);
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        ++lineNumber;
        for (const console::Tokens& command : commandsOf(line)) {
            const std::string_view verb = command.args[0].text;
            if (equalsIgnoringCase(verb, "unbindall")) {
                bindings.clear();
            } else if (equalsIgnoringCase(verb, "bind") && command.args.size() >= 3) {
                bindings.push_back({std::string(command.args[1].text), boundCommand(command), lineNumber});
            } else if (equalsIgnoringCase(verb, "unbind") && command.args.size() >= 2) {
                bindings.push_back({std::string(command.args[1].text), {}, lineNumber});
            }
        }
        begin = next;
    }
    return bindings;
}

const KeyBinding* bindingOf(const std::vector<KeyBinding>& bindings, std::string_view key) {
    const auto last = std::ranges::find_if(bindings.rbegin(), bindings.rend(),
                                           [key](const KeyBinding& b) { return sameKey(b.key, key); });
    return last == bindings.rend() || last->command.empty() ? nullptr : &*last;
}

std::optional<BuyBind> buyBindOnLine(std::string_view line) {
    while (line.ends_with('\r') || line.ends_with('\n')) {
        line.remove_suffix(1);
    }
    const std::vector<console::Tokens> commands = commandsOf(line);
    if (commands.size() != 1 || commands[0].args.size() != 3 || !equalsIgnoringCase(commands[0].args[0].text, "bind")) {
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
        const auto* item = std::ranges::find_if(buyscript::BuyCatalogue, [piece](const buyscript::BuyItem& i) {
            return equalsIgnoringCase(i.alias.substr(0, i.alias.size() - 1), piece);
        });
        if (item == buyscript::BuyCatalogue.end()) {
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

} // namespace setforge::config
