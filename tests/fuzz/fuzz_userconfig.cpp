// Properties of the written file for any state a player can produce.
#include "config/settings_catalogue.h"
#include "config/userconfig.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdlib>
#include <string>

namespace {

using namespace setforge::config;

void require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

std::string pickOrInvent(FuzzedDataProvider& data, const SettingSpec& setting) {
    switch (data.ConsumeIntegralInRange(0, 3)) {
    case 0:
        return {};
    case 1: {
        const ChoiceSpec& c = setting.choices[data.ConsumeIntegralInRange<std::size_t>(0, setting.choices.size() - 1)];
        return std::string(setting.kind == SettingKind::List ? c.display : c.control);
    }
    default:
        return data.ConsumeRandomLengthString(24);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    FuzzedDataProvider data(bytes, size);
    SettingsState state;
    int chosen = 0;
    for (const SettingSpec& setting : SettingsCatalogue) {
        state.*setting.field = pickOrInvent(data, setting);
        chosen += currentChoice(setting, state) != nullptr ? 1 : 0;
    }
    state.nickname = data.ConsumeRandomLengthString(256);
    state.manual_text = data.ConsumeRemainingBytesAsString();

    const std::string text = composeUserconfig(state);

    // The name line comes first, holds exactly its two quotes and no other line break.
    const std::size_t nameEnd = text.find("\r\n");
    require(nameEnd != std::string::npos);
    const std::string nameLine = text.substr(0, nameEnd);
    require(nameLine.starts_with("name \"") && nameLine.ends_with("\""));
    require(std::count(nameLine.begin(), nameLine.end(), '"') == 2);
    require(nameLine.find_first_of("\r\n") == std::string::npos);

    // "// User Angaben" stands right before the free text, which ends the file with one CR LF.
    const std::string tail = "\r\n// User Angaben\r\n" + state.manual_text + "\r\n";
    require(text.ends_with(tail));

    // Between them: one CR LF-ended line per setting with a choice, and nothing else.
    const std::string settings = text.substr(nameEnd + 2, text.size() - nameEnd - tail.size());
    int lines = 0;
    for (std::size_t at = 0; at < settings.size();) {
        const std::size_t end = settings.find("\r\n", at);
        require(end != std::string::npos);
        require(settings.find_first_of("\r\n", at) == end);
        at = end + 2;
        ++lines;
    }
    require(lines == chosen);

    // Encoding keeps one byte per character and ASCII as it is.
    const std::string encoded = toWindows1252(text);
    require(encoded.size() <= text.size());
    require(encoded.starts_with("name \"") && encoded.ends_with("\r\n"));
    return 0;
}
