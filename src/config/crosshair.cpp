#include "config/crosshair.h"

#include "config/userconfig_check.h"

#include <optional>
#include <string_view>

namespace setforge::config {

CrosshairLook crosshairLook(const SettingsState& state) {
    // The game's defaults, for a cvar the file never sets.
    static constexpr std::array<std::string_view, 4> Defaults{"50 250 50", "auto", "1", "1"};
    CrosshairLook look{};
    for (std::size_t i = 0; i < game::CrosshairCvars.size(); ++i) {
        CrosshairSource& source = look.sources.at(i);
        if (const std::optional<FileValue> value = valueAfterLoad(state, game::CrosshairCvars.at(i))) {
            source = {.set = true, .fromFreeText = value->fromFreeText, .line = value->line, .value = value->value};
        } else {
            source.value = Defaults.at(i);
        }
    }
    look.colour = game::readCrosshairColour(look.sources[0].value);
    look.size = look.sources[1].value;
    look.additive = game::readCvarSwitch(look.sources[2].value);
    look.dynamic = game::readCvarSwitch(look.sources[3].value);
    return look;
}

} // namespace setforge::config
