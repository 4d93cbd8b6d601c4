#include "config/userconfig.h"

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

constexpr char Unmappable = '?';

char encodeCodePoint(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
        return static_cast<char>(cp);
    }
    for (std::size_t i = 0; i < HighControlBlock.size(); ++i) {
        if (HighControlBlock[i] != 0 && HighControlBlock[i] == cp) {
            return static_cast<char>(0x80 + i);
        }
    }
    return Unmappable;
}

struct LeadByte {
    int length;             // bytes in the whole sequence, 0 when the byte cannot start one
    std::uint8_t low, high; // allowed range of the second byte (rules out overlongs and surrogates)
};

LeadByte classify(std::uint8_t b) {
    if (b >= 0xC2 && b <= 0xDF)
        return {2, 0x80, 0xBF};
    if (b == 0xE0)
        return {3, 0xA0, 0xBF};
    if (b == 0xED)
        return {3, 0x80, 0x9F};
    if (b >= 0xE1 && b <= 0xEF)
        return {3, 0x80, 0xBF};
    if (b == 0xF0)
        return {4, 0x90, 0xBF};
    if (b >= 0xF1 && b <= 0xF3)
        return {4, 0x80, 0xBF};
    if (b == 0xF4)
        return {4, 0x80, 0x8F};
    return {0, 0, 0};
}

} // namespace

std::string toWindows1252(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    const std::size_t n = utf8.size();
    std::size_t i = 0;
    while (i < n) {
        const auto lead = static_cast<std::uint8_t>(utf8[i]);
        if (lead < 0x80) {
            out += static_cast<char>(lead);
            ++i;
            continue;
        }
        const LeadByte shape = classify(lead);
        if (shape.length == 0) {
            out += Unmappable;
            ++i;
            continue;
        }
        // A malformed sequence is replaced by one '?' for its longest valid prefix, and decoding
        // resumes at the first byte that broke it.
        char32_t cp = lead & (0xFF >> (shape.length + 1));
        std::size_t j = i + 1;
        for (; j < i + static_cast<std::size_t>(shape.length); ++j) {
            if (j >= n) {
                break;
            }
            const auto b = static_cast<std::uint8_t>(utf8[j]);
            const std::uint8_t low = j == i + 1 ? shape.low : 0x80;
            const std::uint8_t high = j == i + 1 ? shape.high : 0xBF;
            if (b < low || b > high) {
                break;
            }
            cp = (cp << 6) | (b & 0x3F);
        }
        out += j == i + static_cast<std::size_t>(shape.length) ? encodeCodePoint(cp) : Unmappable;
        i = j;
    }
    return out;
}

} // namespace setforge::config
