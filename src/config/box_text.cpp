#include "config/box_text.h"

#include "config/utf8.h"

#include <cstdint>
#include <optional>

namespace setforge::config {
namespace {

constexpr char32_t Selector = 0xFE0E;
constexpr char32_t NotACodePoint = 0xFFFFFFFF; // a byte outside a well-formed sequence

struct CodePoint {
    char32_t value;
    std::size_t length;
};

CodePoint codePointAt(std::string_view s, std::size_t i) {
    const std::size_t length = wellFormedLengthAt(s, i);
    if (length == 0) {
        return {NotACodePoint, 1};
    }
    const auto byte = [&](std::size_t k) { return static_cast<char32_t>(static_cast<std::uint8_t>(s[i + k])); };
    switch (length) {
    case 1:
        return {byte(0), 1};
    case 2:
        return {((byte(0) & 0x1F) << 6) | (byte(1) & 0x3F), 2};
    case 3:
        return {((byte(0) & 0x0F) << 12) | ((byte(1) & 0x3F) << 6) | (byte(2) & 0x3F), 3};
    default:
        return {((byte(0) & 0x07) << 18) | ((byte(1) & 0x3F) << 12) | ((byte(2) & 0x3F) << 6) | (byte(3) & 0x3F), 4};
    }
}

// Bytes from `i` on that are ASCII and not below `lowest`: they stand for themselves either way, and
// a free text of many megabytes is copied a run at a time.
std::size_t plainRun(std::string_view s, std::size_t i, std::uint8_t lowest) {
    std::size_t end = i;
    while (end < s.size() && static_cast<std::uint8_t>(s[end]) < 0x80 && static_cast<std::uint8_t>(s[end]) >= lowest) {
        ++end;
    }
    return end - i;
}

bool hiddenByTheBox(char32_t c) {
    return (c < 0x20 && c != '\t' && c != '\n') || c == 0x2028 || c == 0x2029;
}

char32_t pictureOf(char32_t hidden) {
    return hidden == 0x2028 ? 0x2424 : hidden == 0x2029 ? 0x00B6 : 0x2400 + hidden;
}

std::optional<char32_t> hiddenBehind(char32_t picture) {
    if (picture >= 0x2400 && picture < 0x2420 && picture != 0x2409 && picture != 0x240A) {
        return picture - 0x2400;
    }
    if (picture == 0x2424) {
        return 0x2028;
    }
    if (picture == 0x00B6) {
        return 0x2029;
    }
    return std::nullopt;
}

} // namespace

std::string encodeForBox(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t plain = plainRun(text, i, 0x20);
        out.append(text.substr(i, plain));
        i += plain;
        if (i == text.size()) {
            break;
        }
        const char c = text[i];
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            out += "\r\n";
            i += 2;
            continue;
        }
        const CodePoint cp = codePointAt(text, i);
        if (cp.value != NotACodePoint && hiddenByTheBox(cp.value)) {
            appendUtf8(out, pictureOf(cp.value));
            appendUtf8(out, Selector);
        } else {
            out.append(text.substr(i, cp.length));
            if (cp.value == Selector) {
                appendUtf8(out, Selector);
            }
        }
        i += cp.length;
    }
    return out;
}

std::string decodeFromBox(std::string_view boxText) {
    std::string out;
    out.reserve(boxText.size());
    for (std::size_t i = 0; i < boxText.size();) {
        const std::size_t plain = plainRun(boxText, i, 0);
        out.append(boxText.substr(i, plain));
        i += plain;
        if (i == boxText.size()) {
            break;
        }
        const CodePoint cp = codePointAt(boxText, i);
        const std::optional<char32_t> hidden = hiddenBehind(cp.value);
        if (!hidden && cp.value != Selector) {
            out.append(boxText.substr(i, cp.length));
            i += cp.length;
            continue;
        }
        std::size_t next = hidden ? i + cp.length : i;
        std::size_t selectors = 0;
        while (next < boxText.size()) {
            const CodePoint following = codePointAt(boxText, next);
            if (following.value != Selector) {
                break;
            }
            ++selectors;
            next += following.length;
        }
        // An odd run behind a picture marks it as standing for a hidden character; the rest of a
        // run is doubled selectors of the text itself. A lone odd run (a half deleted by hand)
        // keeps its last selector.
        if (hidden) {
            appendUtf8(out, selectors % 2 == 1 ? *hidden : cp.value);
            selectors -= selectors % 2;
        }
        for (std::size_t k = 0; k < (selectors + 1) / 2; ++k) {
            appendUtf8(out, Selector);
        }
        i = next;
    }
    return out;
}

} // namespace setforge::config
