#include "game/number.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace setforge::game {

float variableNumber(std::string_view text) {
    std::size_t at = 0;
    while (at < text.size() && isCSpace(text[at])) {
        ++at;
    }
    const bool negative = at < text.size() && text[at] == '-';
    if (at < text.size() && (text[at] == '-' || text[at] == '+')) {
        ++at;
    }
    std::string_view rest = text.substr(at);
    auto format = std::chars_format::general;
    if (rest.size() > 2 && rest[0] == '0' && (rest[1] == 'x' || rest[1] == 'X')) {
        rest.remove_prefix(2);
        format = std::chars_format::hex;
    }
    if (!rest.empty() && (rest[0] == '-' || rest[0] == '+')) {
        return 0; // from_chars would take a second sign, atof does not
    }
    double value = 0;
    const auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), value, format);
    if (error == std::errc::invalid_argument) {
        value = 0; // no number at all, or "0x" with no hexadecimal digit after it: atof reads the 0
    } else if (error == std::errc::result_out_of_range) {
        // atof gives HUGE_VAL when the number is too large and 0 when it is too small; the exponent
        // says which, and without one so does a whole part of zeros.
        const std::string_view number = rest.substr(0, static_cast<std::size_t>(end - rest.data()));
        const std::size_t exponent = number.find_first_of(format == std::chars_format::hex ? "pP" : "eE");
        const bool tiny = exponent != std::string_view::npos
                              ? exponent + 1 < number.size() && number[exponent + 1] == '-'
                              : number.find_first_not_of("0.") == std::string_view::npos ||
                                    number.find_first_of("123456789") > number.find('.');
        value = tiny ? 0.0 : HUGE_VAL;
    }
    return static_cast<float>(negative ? -value : value);
}

} // namespace setforge::game
