#pragma once

#include <string>
#include <string_view>

namespace setforge::config {

// How a config file's bytes were written.
enum class TextEncoding {
    Utf8,      // well-formed UTF-8 (ASCII included), with or without a byte-order mark
    MixedUtf8, // UTF-8 with single bytes of another code page among it, read as Windows-1252
    Utf16LE,   // UTF-16 with its byte-order mark: the game reads none of it
    Utf16BE,
};

struct ConfigText {
    std::string text; // UTF-8, no byte-order mark
    TextEncoding encoding = TextEncoding::Utf8;
};

// A config file's bytes as UTF-8 text. Every well-formed UTF-8 sequence stays as it is; only a
// byte outside any well-formed sequence is read as Windows-1252, so one stray byte from an old
// editor cannot garble the umlauts around it. A UTF-16 file with its byte-order mark is decoded
// (an unpaired surrogate becomes U+FFFD).
[[nodiscard]] ConfigText decodeConfigBytes(std::string_view bytes);

} // namespace setforge::config
