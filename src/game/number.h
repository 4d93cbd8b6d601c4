#pragma once

#include <string_view>

namespace setforge::game {

// The C library's isspace in the "C" locale, which atof, strtol and sscanf skip.
[[nodiscard]] constexpr bool isCSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// The number a console variable keeps for `text`: atof as the "C" locale reads it (blanks, a sign,
// then the longest decimal, 0x hexadecimal, inf or nan number; anything after it ignored, no number
// is 0), as a float. The game always reads a '.' as the decimal point; the C library's own atof
// follows the process's locale, and in a German one it reads "2.5" as 2.
[[nodiscard]] float variableNumber(std::string_view text);

} // namespace setforge::game
