#include "game/console.h"

#include "game/ascii.h"

namespace setforge::game::console {
namespace {

bool standsAlone(char c, const Reading& reading) {
    for (const char single : reading.singleChars) {
        if (single == c) {
            return true;
        }
    }
    return false;
}

} // namespace

std::size_t skipBlanks(std::string_view command, std::size_t i, const Reading& reading) {
    for (; i < command.size(); ++i) {
        const auto byte = static_cast<unsigned char>(command[i]);
        if (byte > ' ' && !((reading.highBytesAreBlanks || reading.highBytesSkippedBeforeArgument) && byte >= 0x80)) {
            break;
        }
    }
    return i;
}

// Where the bare word from `begin` ends. Reading a file spends its time here: the common reading
// ends a word only at a blank, so that case is a plain search.
std::size_t wordEnd(std::string_view command, std::size_t begin, const Reading& reading) {
    std::size_t end = begin + 1;
    if (reading.singleChars.empty() && !reading.highBytesAreBlanks && !reading.quoteEndsWord) {
        while (end < command.size() && static_cast<unsigned char>(command[end]) > ' ') {
            ++end;
        }
        return end;
    }
    for (; end < command.size(); ++end) {
        const char c = command[end];
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= ' ' || (reading.highBytesAreBlanks && byte >= 0x80) || standsAlone(c, reading) ||
            (reading.quoteEndsWord && c == '"')) {
            break;
        }
    }
    return end;
}

Argument argumentAt(std::string_view command, std::size_t begin, const Reading& reading) {
    if (command[begin] == '"') {
        const std::size_t close = command.find('"', begin + 1);
        if (close == std::string_view::npos) {
            return {command.substr(begin + 1), {begin, command.size()}, true, true};
        }
        return {command.substr(begin + 1, close - begin - 1), {begin, close + 1}, true};
    }
    const std::size_t end = standsAlone(command[begin], reading) ? begin + 1 : wordEnd(command, begin, reading);
    return {command.substr(begin, end - begin), {begin, end}};
}

Tokens tokenize(std::string_view command, const Reading& reading) {
    Tokens tokens;
    static_cast<Ending&>(tokens) = readArguments(command, reading, [&](const Argument& argument) {
        tokens.args.push_back(argument);
        return true;
    });
    return tokens;
}

std::optional<Argument> firstArgument(std::string_view command, const Reading& reading) {
    const std::size_t i = skipBlanks(command, 0, reading);
    if (i == command.size() || command.substr(i, 2) == "//") {
        return std::nullopt;
    }
    return argumentAt(command, i, reading);
}

std::optional<std::string_view> execFile(const std::vector<Argument>& args) {
    if (args.size() != 2 || !equalsIgnoringCase(args[0].text, "exec")) {
        return std::nullopt;
    }
    return args[1].text;
}

} // namespace setforge::game::console
