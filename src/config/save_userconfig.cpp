#include "config/save_userconfig.h"

#include "config/product.h"

namespace setforge::config {

SaveDialogRequest userconfigDialogRequest() {
    return SaveDialogRequest{
        .title = std::string(ProductTitle),
        .filterDescription = "CS 1.6 Config (*.cfg)",
        .filterPattern = "userconfig.cfg",
        .proposedName = "userconfig.cfg",
        .confirmOverwrite = true,
        .startFolder = {},
    };
}

std::string saveFailureMessage(const SaveResult& result) {
    // The reason before the path: a path of thousands of bytes fills the box and would push the
    // reason out of sight.
    std::string text = "Die Config wurde nicht gespeichert.\r\nGrund: ";
    text += result.error.empty() ? std::string("unbekannter Fehler") : result.error;
    text += "\r\n\r\nDatei: ";
    text += result.path;
    return text;
}

} // namespace setforge::config
