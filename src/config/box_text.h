#pragma once

#include <string>
#include <string_view>

namespace setforge::config {

// The free-text box turns a lone CR, U+2028 and U+2029 into line breaks and loses NUL and the other
// C0 controls, yet the game reads each of them as part of its line. So the box shows each such
// character as a visible picture followed by U+FE0E (an invisible variation selector, which no one
// types): a C0 control as its Unicode control picture (CR as U+240D, NUL as U+2400), U+2028 as
// U+2424 and U+2029 as U+00B6. A picture the player types himself has no selector behind it and
// stays what he typed; a U+FE0E of the text itself is doubled. TAB and LF stay as they are, and
// "\r\n" stays the line break it is.

// The text as the box is to show it. Valid UTF-8 in, valid UTF-8 out; other bytes pass unchanged.
[[nodiscard]] std::string encodeForBox(std::string_view text);

// The text as the box shows it back in its original characters: decodeFromBox(encodeForBox(x)) == x.
[[nodiscard]] std::string decodeFromBox(std::string_view boxText);

} // namespace setforge::config
