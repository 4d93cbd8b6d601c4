// Properties of the written file for any state a player can produce.
#include "config/settings_catalogue.h"
#include "config/userconfig.h"
#include "config/utf8.h"
#include "support/game_console.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using namespace setforge::config;
using setforge::testing::Command;
using setforge::testing::readConsole;

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
    require(isValidUtf8(text));

    // Read as the game reads it, the settings part is the name (when one is set) and one command
    // per chosen setting, each with the arguments the player chose.
    const std::size_t marker = text.find("// User Angaben\r\n");
    require(marker != std::string::npos);
    const std::vector<Command> commands = readConsole(text.substr(0, marker));
    std::size_t next = 0;
    if (!isBlankNickname(state.nickname)) {
        require(!commands.empty() && commands[0].size() == 2 && commands[0][0] == "name");
        require(commands[0][1] == sanitizeUtf8(nameLineSafe(state.nickname)));
        next = 1;
    }
    for (const SettingSpec& setting : SettingsCatalogue) {
        if (const ChoiceSpec* choice = currentChoice(setting, state)) {
            require(next < commands.size());
            const Command& command = commands[next++];
            require(command.back() == choice->value);
            require(command[command.size() - 2] == setting.key);
        }
    }
    require(next == commands.size());
    require(static_cast<int>(next) == chosen + (isBlankNickname(state.nickname) ? 0 : 1));

    // The free text follows the marker as it was typed, ill-formed UTF-8 aside.
    require(text.substr(marker) == "// User Angaben\r\n" + sanitizeUtf8(state.manual_text) + "\r\n");
    return 0;
}
