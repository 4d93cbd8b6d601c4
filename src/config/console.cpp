#include "config/console.h"

#include <algorithm>

namespace setforge::config::console {
namespace {

bool isBlank(char c, const Reading& reading) {
    const auto byte = static_cast<unsigned char>(c);
    return byte <= ' ' || (reading.highBytesAreBlanks && byte >= 0x80);
}

// A few characters at most: a plain loop beats a library search called per byte.
bool standsAlone(char c, const Reading& reading) {
    return std::ranges::any_of(reading.singleChars, [c](char single) { return single == c; });
}

} // namespace

std::size_t skipBlanks(std::string_view command, std::size_t i, const Reading& reading) {
    while (i < command.size() && isBlank(command[i], reading)) {
        ++i;
    }
    return i;
}

Argument argumentAt(std::string_view command, std::size_t begin, const Reading& reading) {
    const char first = command[begin];
    if (first == '"') {
        const std::size_t close = command.find('"', begin + 1);
        if (close == std::string_view::npos) {
            return {command.substr(begin + 1), {begin, command.size()}, true, true};
        }
        return {command.substr(begin + 1, close - begin - 1), {begin, close + 1}, true};
    }
    if (standsAlone(first, reading)) {
        return {command.substr(begin, 1), {begin, begin + 1}};
    }
    const auto endsWord = [&](char c) {
        return isBlank(c, reading) || standsAlone(c, reading) || (reading.quoteEndsWord && c == '"');
    };
    const auto rest = command.substr(begin + 1);
    // Most readings end a word only at a blank; that search is the hot path of reading a file.
    const bool blanksOnly = reading.singleChars.empty() && !reading.highBytesAreBlanks && !reading.quoteEndsWord;
    const auto stop = blanksOnly
                          ? std::ranges::find_if(rest, [](char c) { return static_cast<unsigned char>(c) <= ' '; })
                          : std::ranges::find_if(rest, endsWord);
    const std::size_t end = begin + 1 + static_cast<std::size_t>(stop - rest.begin());
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

} // namespace setforge::config::console
