#include "game/bindings.h"

#include "game/keys.h"

#include "game/ascii.h"
#include "game/console.h"

#include <algorithm>

namespace setforge::game {
namespace {

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
    return gameKeyId(a) == gameKeyId(b);
}

} // namespace

std::vector<console::Tokens> lineCommands(std::string_view line) {
    std::vector<console::Tokens> commands;
    console::forEachCommand(line, [&](const console::Command& command) {
        console::Tokens tokens = console::tokenize(line.substr(command.begin, command.end - command.begin));
        if (!tokens.args.empty()) {
            commands.push_back(std::move(tokens));
        }
    });
    return commands;
}

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
        for (const console::Tokens& command : lineCommands(line)) {
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

} // namespace setforge::game
