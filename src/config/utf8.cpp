#include "config/utf8.h"

#include <cstdint>

namespace setforge::config {
namespace {

struct LeadByte {
    std::size_t length;     // bytes in the whole sequence, 0 when the byte cannot start one
    std::uint8_t low, high; // allowed range of the second byte (rules out overlongs and surrogates)
};

LeadByte classify(std::uint8_t b) {
    if (b < 0x80)
        return {1, 0, 0};
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

// Length of the well-formed sequence starting at `i`, or 0; `end` receives where the maximal
// ill-formed subpart stops when it is not well-formed (always past `i`).
std::size_t sequenceAt(std::string_view bytes, std::size_t i, std::size_t& end) {
    const LeadByte shape = classify(static_cast<std::uint8_t>(bytes[i]));
    if (shape.length == 0) {
        end = i + 1;
        return 0;
    }
    std::size_t j = i + 1;
    for (; j < i + shape.length; ++j) {
        if (j >= bytes.size()) {
            break;
        }
        const auto b = static_cast<std::uint8_t>(bytes[j]);
        const std::uint8_t low = j == i + 1 ? shape.low : 0x80;
        const std::uint8_t high = j == i + 1 ? shape.high : 0xBF;
        if (b < low || b > high) {
            break;
        }
    }
    end = j;
    return j == i + shape.length ? shape.length : 0;
}

} // namespace

std::size_t wellFormedLengthAt(std::string_view bytes, std::size_t i) {
    std::size_t end = 0;
    return sequenceAt(bytes, i, end);
}

bool isValidUtf8(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size();) {
        std::size_t end = 0;
        const std::size_t length = sequenceAt(bytes, i, end);
        if (length == 0) {
            return false;
        }
        i += length;
    }
    return true;
}

std::string sanitizeUtf8(std::string_view bytes) {
    return replaceIllFormed(bytes, [](std::string& out, std::string_view) { out += '?'; });
}

std::string replaceIllFormed(std::string_view bytes,
                             const std::function<void(std::string& out, std::string_view subpart)>& replace) {
    std::string out;
    out.reserve(bytes.size());
    std::size_t runStart = 0; // well-formed bytes are copied a run at a time
    for (std::size_t i = 0; i < bytes.size();) {
        if (static_cast<std::uint8_t>(bytes[i]) < 0x80) {
            ++i;
            continue;
        }
        std::size_t end = 0;
        const std::size_t length = sequenceAt(bytes, i, end);
        if (length != 0) {
            i += length;
            continue;
        }
        out.append(bytes.substr(runStart, i - runStart));
        replace(out, bytes.substr(i, end - i));
        i = end;
        runStart = end;
    }
    out.append(bytes.substr(runStart));
    return out;
}

} // namespace setforge::config
