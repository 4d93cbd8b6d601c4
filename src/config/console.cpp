#include "config/console.h"

#include <algorithm>

namespace setforge::config::console {
namespace {

bool isBlank(char c, const Reading& reading) {
    const auto byte = static_cast<unsigned char>(c);
    return byte <= ' ' || (reading.highBytesAreBlanks && byte >= 0x80);
}

bool standsAlone(char c, const Reading& reading) {
    return reading.singleChars.find(c) != std::string_view::npos;
}

// The argument starting at `begin` (not a blank, not a comment).
Argument argumentAt(std::string_view command, std::size_t begin, const Reading& reading) {
    const char first = command[begin];
    if (first == '"') {
        const std::size_t close = command.find('"', begin + 1);
        const std::size_t end = close == std::string_view::npos ? command.size() : close;
        return {command.substr(begin + 1, end - begin - 1), {begin, std::min(end + 1, command.size())}, true};
    }
    std::size_t end = begin + 1;
    if (!standsAlone(first, reading)) {
        while (end < command.size() && !isBlank(command[end], reading) && !standsAlone(command[end], reading) &&
               !(reading.quoteEndsWord && command[end] == '"')) {
            ++end;
        }
    }
    return {command.substr(begin, end - begin), {begin, end}, false};
}

} // namespace

Tokens tokenize(std::string_view command, const Reading& reading) {
    Tokens tokens;
    std::size_t i = 0;
    while (true) {
        while (i < command.size() && isBlank(command[i], reading)) {
            ++i;
        }
        if (i == command.size()) {
            return tokens;
        }
        if (command.substr(i, 2) == "//") {
            tokens.commentAt = i;
            return tokens;
        }
        if (reading.limits && tokens.args.size() == MaxArguments) {
            tokens.cut = true;
            return tokens;
        }
        const Argument argument = argumentAt(command, i, reading);
        if (reading.limits && argument.text.size() > MaxArgumentChars) {
            tokens.cut = true;
            return tokens;
        }
        // Only a quote left open spans one byte more than its text.
        tokens.unclosedQuote = argument.quoted && argument.span.end - argument.span.begin == argument.text.size() + 1;
        tokens.args.push_back(argument);
        i = argument.span.end;
    }
}

} // namespace setforge::config::console
