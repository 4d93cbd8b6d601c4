#include "config/userconfig.h"

#include "config/settings_catalogue.h"
#include "config/utf8.h"

#include <algorithm>

namespace setforge::config {
namespace {

constexpr std::string_view Crlf = "\r\n";
// The engine keeps userinfo values shorter than this many bytes.
constexpr std::size_t UserinfoValueLimit = 127;

void appendSettingLine(std::string& out, const SettingSpec& setting, std::string_view value) {
    if (setting.lineForm == LineForm::Setinfo) {
        out += "setinfo \"";
        out += setting.key;
        out += "\"\"";
    } else {
        out += setting.key;
        out += " \"";
    }
    out += value;
    out += '"';
    out += Crlf;
}

} // namespace

std::string nameLineSafe(std::string_view nickname) {
    std::string safe(nickname);
    for (char& c : safe) {
        if (c == '"') {
            c = '\'';
        } else if (c == '\r' || c == '\n') {
            c = ' ';
        }
    }
    return safe;
}

bool isBlankNickname(std::string_view nickname) {
    return std::ranges::all_of(nickname, [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; });
}

std::optional<std::string> nicknameRefusal(std::string_view nickname) {
    if (isBlankNickname(nickname)) {
        return std::nullopt;
    }
    const std::string written = sanitizeUtf8(nameLineSafe(nickname));
    if (written.find('\\') != std::string::npos) {
        return "Der Nickname enthält einen Backslash (\\).\r\nDas Spiel lehnt solche Namen ab und behält den "
               "alten Namen.\r\n\r\nBitte entferne den Backslash aus dem Nicknamen.";
    }
    if (written.find("..") != std::string::npos) {
        return "Der Nickname enthält zwei Punkte hintereinander (..).\r\nDas Spiel lehnt solche Namen ab und "
               "behält den alten Namen.\r\n\r\nBitte entferne einen der Punkte.";
    }
    if (written.size() >= UserinfoValueLimit) {
        return "Der Nickname ist zu lang: " + std::to_string(written.size()) + " Bytes.\r\nDas Spiel nimmt höchstens " +
               std::to_string(UserinfoValueLimit - 1) +
               " Bytes an (Umlaute zählen doppelt) und behält sonst den alten Namen.\r\n\r\n"
               "Bitte kürze den Nicknamen.";
    }
    return std::nullopt;
}

std::string composeUserconfig(const SettingsState& state) {
    std::string out;
    out.reserve(state.nickname.size() + state.manual_text.size() + 1024);

    if (!isBlankNickname(state.nickname)) {
        out += "name \"";
        out += nameLineSafe(state.nickname);
        out += '"';
        out += Crlf;
    }

    for (const SettingSpec& setting : SettingsCatalogue) {
        if (const ChoiceSpec* choice = currentChoice(setting, state)) {
            appendSettingLine(out, setting, choice->value);
        }
    }

    out += ManualMarker;
    out += Crlf;
    out += state.manual_text;
    out += Crlf;
    return sanitizeUtf8(out);
}

} // namespace setforge::config
