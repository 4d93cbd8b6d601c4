#include "config/windows1252.h"

#include "config/utf8.h"

#include <array>
#include <cstdint>

namespace setforge::config {
namespace {

// clang-format off
// Code points of the bytes 0x80..0x9F; 0 marks the five bytes the code page leaves undefined.
constexpr std::array<char32_t, 32> HighControlBlock {{
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
}};
// clang-format on

} // namespace

std::string windows1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (const char c : bytes) {
        const auto b = static_cast<std::uint8_t>(c);
        if (b < 0x80) {
            out += c;
        } else if (b < 0xA0 && HighControlBlock[b - 0x80] != 0) {
            appendUtf8(out, HighControlBlock[b - 0x80]);
        } else {
            appendUtf8(out, b); // Latin-1 block, and the undefined bytes as C1 controls
        }
    }
    return out;
}

} // namespace setforge::config
