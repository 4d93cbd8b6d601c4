// Reading any file back: never a crash, the game does with the written file what it did with the
// original, and reading the written file again changes nothing.
#include "config/settings_catalogue.h"
#include "config/userconfig.h"
#include "support/game_console.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace setforge::config;

void require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

const std::vector<std::string_view>& variableNames() {
    static const std::vector<std::string_view> names = [] {
        std::vector<std::string_view> keys;
        for (const SettingSpec& setting : SettingsCatalogue) {
            keys.push_back(setting.key);
        }
        return keys;
    }();
    return names;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    const std::string_view file(reinterpret_cast<const char*>(bytes), size);
    const SettingsState state = parseUserconfig(file);

    // Every control holds one of its choices or nothing; a nickname is one the window may save.
    for (const SettingSpec& setting : SettingsCatalogue) {
        require((state.*setting.field).empty() || currentChoice(setting, state) != nullptr);
    }
    require(isBlankNickname(state.nickname) == state.nickname.empty());
    require(!nicknameRefusal(state.nickname));

    const std::string written = composeUserconfig(state);
    using setforge::testing::effectOf;
    require(effectOf(userconfigText(file), variableNames()) == effectOf(written, variableNames()));
    require(composeUserconfig(parseUserconfig(written)) == written);
    return 0;
}
