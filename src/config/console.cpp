#include "config/console.h"

namespace setforge::config::console {
namespace {

bool isBlank(char c, const Reading& reading) {
    const auto byte = static_cast<unsigned char>(c);
    return byte <= ' ' || (reading.highBytesAreBlanks && byte >= 0x80);
}

bool standsAlone(char c, const Reading& reading) {
    return reading.singleChars.find(c) != std::string_view::npos;
}

std::size_t skipBlanks(std::string_view command, std::size_t i, const Reading& reading) {
    while (i < command.size() && isBlank(command[i], reading)) {
        ++i;
    }
    return i;
}

bool commentAt(std::string_view command, std::size_t i) {
    return command.substr(i, 2) == "//";
}

// The argument starting at `begin` (not a blank, not a comment).
Argument argumentAt(std::string_view command, std::size_t begin, const Reading& reading) {
    const char first = command[begin];
    if (first == '"') {
        const std::size_t close = command.find('"', begin + 1);
        if (close == std::string_view::npos) {
            return {command.substr(begin + 1), {begin, command.size()}, true, true};
        }
        return {command.substr(begin + 1, close - begin - 1), {begin, close + 1}, true};
    }
    std::size_t end = begin + 1;
    if (!standsAlone(first, reading)) {
        while (end < command.size() && !isBlank(command[end], reading) && !standsAlone(command[end], reading) &&
               !(reading.quoteEndsWord && command[end] == '"')) {
            ++end;
        }
    }
    return {command.substr(begin, end - begin), {begin, end}};
}

} // namespace

Tokens tokenize(std::string_view command, const Reading& reading) {
    Tokens tokens;
    for (std::size_t i = skipBlanks(command, 0, reading); i < command.size(); i = skipBlanks(command, i, reading)) {
        if (commentAt(command, i)) {
            tokens.commentAt = i;
            break;
        }
        const Argument argument = argumentAt(command, i, reading);
        if (reading.limits && (tokens.args.size() == MaxArguments || argument.text.size() > MaxArgumentChars)) {
            tokens.cut = true;
            break;
        }
        tokens.unclosedQuote = argument.unclosedQuote;
        tokens.args.push_back(argument);
        i = argument.span.end;
    }
    return tokens;
}

std::optional<Argument> firstArgument(std::string_view command, const Reading& reading) {
    const std::size_t i = skipBlanks(command, 0, reading);
    if (i == command.size() || commentAt(command, i)) {
        return std::nullopt;
    }
    return argumentAt(command, i, reading);
}

} // namespace setforge::config::console
