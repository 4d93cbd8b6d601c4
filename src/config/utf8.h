#pragma once

#include "game/utf8_append.h"

#include <functional>
#include <string>
#include <string_view>

namespace setforge::config {

// True when `bytes` is well-formed UTF-8 (no overlongs, surrogates or code points past U+10FFFF).
[[nodiscard]] bool isValidUtf8(std::string_view bytes);

// `bytes` with each maximal ill-formed subpart replaced by what `replace` appends for it; well-formed
// text is copied unchanged.
[[nodiscard]] std::string
replaceIllFormed(std::string_view bytes,
                 const std::function<void(std::string& out, std::string_view subpart)>& replace);

// `bytes` with every maximal ill-formed subpart replaced by one '?'; well-formed text is unchanged.
// The game refuses a userinfo value that is not UTF-8, so nothing else may reach the file.
[[nodiscard]] std::string sanitizeUtf8(std::string_view bytes);

// Length of the well-formed sequence starting at byte `i`, or 0 when none starts there.
[[nodiscard]] std::size_t wellFormedLengthAt(std::string_view bytes, std::size_t i);

using game::appendUtf8;

} // namespace setforge::config
