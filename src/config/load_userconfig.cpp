#include "config/load_userconfig.h"

#include "config/config_text.h"
#include "config/product.h"
#include "config/userconfig.h"

#include <algorithm>

namespace setforge::config {
namespace {
constexpr std::ptrdiff_t NulBytesTolerated = 4;

bool isUtf16(std::string_view bytes) {
    const TextEncoding encoding = decodeConfigBytes(bytes.substr(0, 2)).encoding;
    return encoding == TextEncoding::Utf16LE || encoding == TextEncoding::Utf16BE;
}

// 50000 as "50.000", the way German texts group digits.
std::string grouped(std::uint64_t number) {
    std::string digits = std::to_string(number);
    for (std::size_t at = digits.size(); at > 3; at -= 3) {
        digits.insert(at - 3, ".");
    }
    return digits;
}

} // namespace

OpenDialogRequest userconfigOpenRequest() {
    return OpenDialogRequest{
        .title = std::string(ProductTitle),
        .filterDescription = "CS 1.6 Config (*.cfg)",
        .filterPattern = "*.cfg",
        .startFolder = {},
    };
}

std::optional<std::string> notAConfigReason(std::string_view bytes) {
    if (bytes.size() > LargestFileRead) {
        return tooLargeMessage(bytes.size());
    }
    if (!isUtf16(bytes) && std::ranges::count(bytes, '\0') > NulBytesTolerated) {
        return "Die Datei enthält Nullbytes und ist keine Textdatei.";
    }
    return std::nullopt;
}

std::string tooLargeMessage(std::uint64_t fileBytes) {
    return "Die Datei ist " + grouped(fileBytes) + " Bytes groß. Das Programm öffnet Configs bis 1 MB (" +
           grouped(LargestConfigBytes) + " Bytes); so große Dateien liest das Spiel ohnehin nur Zeile für Zeile.";
}

std::optional<std::string> beyondOpenLimits(std::string_view written, std::uint64_t fileBytes) {
    if (written.size() > LargestConfigBytes) {
        if (fileBytes > LargestConfigBytes) {
            return tooLargeMessage(fileBytes);
        }
        // Within the limit itself, the file outgrows it once saved: the lines of the window's
        // choices and the comment line are added, and every line ends with CR LF.
        return "Die Datei ist " + grouped(fileBytes) + " Bytes groß; gespeichert, mit den Zeilen der Auswahl und " +
               "CR LF am Zeilenende, wäre sie " + grouped(written.size()) +
               " Bytes groß. Das Programm öffnet Configs bis 1 MB (" + grouped(LargestConfigBytes) +
               " Bytes); so große Dateien liest das Spiel ohnehin nur Zeile für Zeile.";
    }
    std::size_t lines = 0;
    for (std::size_t begin = 0; begin < written.size(); ++lines) {
        const std::size_t lf = std::min(written.find('\n', begin), written.size());
        const std::size_t length = lf - begin - (lf > begin && written[lf - 1] == '\r' ? 1 : 0);
        if (length > LongestConfigLine) {
            return "Eine Zeile ist " + grouped(length) + " Bytes lang. Das Programm öffnet Zeilen bis " +
                   grouped(LongestConfigLine) +
                   " Bytes; das Spiel selbst führt von einer Zeile ohnehin höchstens "
                   "1.023 Bytes als einen Befehl aus.";
        }
        begin = lf + 1;
    }
    if (lines > MostConfigLines) {
        return "Gespeichert hätte die Config " + grouped(lines) + " Zeilen. Das Programm öffnet Configs bis " +
               grouped(MostConfigLines) + " Zeilen; so große Dateien liest das Spiel ohnehin nur Zeile für Zeile.";
    }
    return std::nullopt;
}

std::optional<std::string> openingNotice(std::string_view bytes) {
    if (!isUtf16(bytes)) {
        return std::nullopt;
    }
    return "Die Datei ist in UTF-16 gespeichert (im Windows-Editor „Unicode“). Das Spiel konnte sie so nicht "
           "lesen und hat keinen ihrer Befehle ausgeführt.\r\n\r\nBeim Speichern (Strg+S oder „Config "
           "erstellen“) wird sie als UTF-8 geschrieben, und dann liest das Spiel sie.";
}

LoadedConfig loadUserconfig(std::string_view bytes) {
    LoadedConfig loaded;
    loaded.refusal = notAConfigReason(bytes);
    if (loaded.refusal) {
        return loaded;
    }
    loaded.state = parseUserconfig(bytes);
    loaded.refusal = beyondOpenLimits(composeUserconfig(loaded.state), bytes.size());
    if (loaded.refusal) {
        loaded.state = {};
        return loaded;
    }
    loaded.notice = openingNotice(bytes);
    return loaded;
}

std::string loadFailureMessage(std::string_view path, std::string_view reason) {
    std::string text = "Die Config wurde nicht geladen.\r\n\r\nDatei: ";
    text += path;
    text += "\r\nGrund: ";
    text += reason.empty() ? std::string_view("unbekannter Fehler") : reason;
    return text;
}

} // namespace setforge::config
