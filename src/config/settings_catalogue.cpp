#include "config/settings_catalogue.h"

#include <algorithm>

namespace setforge::config {

const SettingSpec* findSetting(std::string_view key) {
    const auto* it = std::ranges::find(SettingsCatalogue, key, &SettingSpec::key);
    return it == SettingsCatalogue.end() ? nullptr : it;
}

const ChoiceSpec* findListChoice(const SettingSpec& setting, std::string_view text) {
    if (setting.kind != SettingKind::List || text.empty()) {
        return nullptr;
    }
    const auto it = std::ranges::find(setting.choices, text, &ChoiceSpec::display);
    return it == setting.choices.end() ? nullptr : &*it;
}

const ChoiceSpec* findOptionChoice(const SettingSpec& setting, std::string_view optionButton) {
    if (setting.kind != SettingKind::OptionGroup || optionButton.empty()) {
        return nullptr;
    }
    const auto it = std::ranges::find(setting.choices, optionButton, &ChoiceSpec::control);
    return it == setting.choices.end() ? nullptr : &*it;
}

const ChoiceSpec* currentChoice(const SettingSpec& setting, const SettingsState& state) {
    const std::string& current = state.*setting.field;
    return setting.kind == SettingKind::List ? findListChoice(setting, current) : findOptionChoice(setting, current);
}

} // namespace setforge::config
