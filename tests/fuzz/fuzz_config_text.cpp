// Decoding a config's bytes: always well-formed UTF-8, and well-formed UTF-8 without a byte-order
// mark comes out byte for byte.
#include "config/config_text.h"
#include "config/utf8.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace setforge::config;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const ConfigText decoded = decodeConfigBytes(bytes);
    if (!isValidUtf8(decoded.text)) {
        std::abort();
    }
    const bool marked =
        bytes.starts_with("\xEF\xBB\xBF") || bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF");
    if (!marked && isValidUtf8(bytes) && (decoded.text != bytes || decoded.encoding != TextEncoding::Utf8)) {
        std::abort();
    }
    if (!marked && !isValidUtf8(bytes) && decoded.encoding != TextEncoding::MixedUtf8) {
        std::abort();
    }
    return 0;
}
