#include "config/userconfig.h"

#include "config/settings_catalogue.h"

namespace setforge::config {
namespace {

constexpr std::string_view Crlf = "\r\n";
constexpr std::string_view ManualMarker = "// User Angaben";

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

std::string composeUserconfig(const SettingsState& state) {
    std::string out;
    out.reserve(state.nickname.size() + state.manual_text.size() + 1024);

    out += "name \"";
    out += nameLineSafe(state.nickname);
    out += '"';
    out += Crlf;

    for (const SettingSpec& setting : SettingsCatalogue) {
        if (const ChoiceSpec* choice = currentChoice(setting, state)) {
            appendSettingLine(out, setting, choice->value);
        }
    }

    out += ManualMarker;
    out += Crlf;
    out += state.manual_text;
    out += Crlf;
    return out;
}

} // namespace setforge::config
