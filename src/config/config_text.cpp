#include "config/config_text.h"

#include "config/utf8.h"
#include "config/windows1252.h"

#include <cstdint>

namespace setforge::config {
namespace {

constexpr std::string_view Utf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view Utf16LEMark = "\xFF\xFE";
constexpr std::string_view Utf16BEMark = "\xFE\xFF";

std::string utf16ToUtf8(std::string_view bytes, bool littleEndian) {
    std::string out;
    out.reserve(bytes.size() / 2 + bytes.size() / 8);
    const auto unitAt = [&](std::size_t i) {
        const auto first = static_cast<std::uint8_t>(bytes[i]);
        const auto second = static_cast<std::uint8_t>(bytes[i + 1]);
        return static_cast<char16_t>(littleEndian ? first | (second << 8) : (first << 8) | second);
    };
    constexpr char32_t Replacement = 0xFFFD;
    const std::size_t units = bytes.size() / 2;
    for (std::size_t u = 0; u < units; ++u) {
        const char16_t unit = unitAt(2 * u);
        if (unit >= 0xD800 && unit <= 0xDBFF && u + 1 < units) {
            const char16_t next = unitAt(2 * (u + 1));
            if (next >= 0xDC00 && next <= 0xDFFF) {
                appendUtf8(out, 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) + (next - 0xDC00));
                ++u;
                continue;
            }
        }
        appendUtf8(out, unit >= 0xD800 && unit <= 0xDFFF ? Replacement : static_cast<char32_t>(unit));
    }
    if (bytes.size() % 2 != 0) {
        appendUtf8(out, Replacement); // a last half unit
    }
    return out;
}

} // namespace

ConfigText decodeConfigBytes(std::string_view bytes) {
    if (bytes.starts_with(Utf16LEMark) || bytes.starts_with(Utf16BEMark)) {
        const bool little = bytes.starts_with(Utf16LEMark);
        return {utf16ToUtf8(bytes.substr(2), little), little ? TextEncoding::Utf16LE : TextEncoding::Utf16BE};
    }
    if (bytes.starts_with(Utf8Mark)) {
        bytes.remove_prefix(Utf8Mark.size());
    }
    ConfigText result;
    // Each byte of an ill-formed subpart is outside any well-formed sequence.
    result.text = replaceIllFormed(bytes, [&result](std::string& out, std::string_view subpart) {
        out += windows1252ToUtf8(subpart);
        result.encoding = TextEncoding::MixedUtf8;
    });
    return result;
}

} // namespace setforge::config
