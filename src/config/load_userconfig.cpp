#include "config/load_userconfig.h"

#include "config/product.h"

#include <algorithm>

namespace setforge::config {
namespace {
constexpr std::ptrdiff_t NulBytesTolerated = 4;
}

OpenDialogRequest userconfigOpenRequest() {
    return OpenDialogRequest{
        .title = std::string(ProductTitle),
        .filterDescription = "CS 1.6 Config (*.cfg)",
        .filterPattern = "*.cfg",
        .startFolder = {},
    };
}

std::optional<std::string> notAConfigReason(std::string_view bytes) {
    if (bytes.size() > LargestConfigBytes) {
        return std::string(TooLargeForAConfig);
    }
    if (std::ranges::count(bytes, '\0') > NulBytesTolerated) {
        return "Die Datei enthält Nullbytes und ist keine Textdatei.";
    }
    return std::nullopt;
}

std::string loadFailureMessage(std::string_view path, std::string_view reason) {
    std::string text = "Die Config wurde nicht geladen.\r\n\r\nDatei: ";
    text += path;
    text += "\r\nGrund: ";
    text += reason.empty() ? std::string_view("unbekannter Fehler") : reason;
    return text;
}

} // namespace setforge::config
