// The free-text box's placeholders: any text comes back unchanged, and what the box gets holds
// nothing it would turn into a line break or drop.
#include "config/box_text.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::string shown = setforge::config::encodeForBox(text);
    if (setforge::config::decodeFromBox(shown) != text) {
        std::abort();
    }
    for (std::size_t i = 0; i < shown.size(); ++i) {
        const auto c = static_cast<unsigned char>(shown[i]);
        const bool lineEnd = c == '\r' && i + 1 < shown.size() && shown[i + 1] == '\n';
        if ((c < 0x20 && c != '\t' && c != '\n' && !lineEnd) || shown.substr(i, 3) == "\xE2\x80\xA8" ||
            shown.substr(i, 3) == "\xE2\x80\xA9") {
            std::abort();
        }
    }
    return 0;
}
