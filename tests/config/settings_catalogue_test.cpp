#include "config/settings_catalogue.h"
#include "config/userconfig.h"
#include "support/game_console.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace setforge::config {
namespace {

const SettingSpec& settingFor(std::string_view key) {
    const SettingSpec* found = findSetting(key);
    if (found == nullptr) {
        throw std::runtime_error("no setting " + std::string(key));
    }
    return *found;
}

std::string valueFor(std::string_view key, std::string_view listText) {
    const ChoiceSpec* choice = findListChoice(settingFor(key), listText);
    return choice ? std::string(choice->value) : std::string("<none>");
}

TEST(SettingsCatalogue, ListTextMustMatchExactly) {
    struct Case {
        std::string_view key, text, value;
    };
    // clang-format off
    const std::vector<Case> cases = {
        {"gamma",              "2.2",              "2.200000"},
        {"gamma",              " 2.2",             "<none>"},
        {"gamma",              "2.2 ",             "<none>"},
        {"gamma",              "1.8",              "<none>"},     // a brightness item, not a gamma one
        {"gamma",              "1.8 (Dunkel)",     "1.80000"},
        {"gamma",              "1.8 (dunkel)",     "<none>"},
        {"brightness",         "1.8",              "1.800000"},
        {"brightness",         "1.8 (Dunkel)",     "<none>"},
        {"brightness",         "",                 "<none>"},
        {"cl_crosshair_color", "grün",             "<none>"},
        {"cl_crosshair_color", "Grün",             "50 250 50"},
        {"cl_crosshair_color", "Weiß",             "255 255 255"},
        {"cl_crosshair_color", "Weiss",            "<none>"},
        {"net_graph",          "Standard",         "1"},
        {"net_graph",          "Aus (Standard)",   "0"},
        {"net_graph",          "Aus",              "<none>"},
        {"net_graph",          "standard",         "<none>"},
        {"fastsprites",        "Mittel",           "1"},
        {"fastsprites",        "Hoch (Standard)",  "0"},     // the game's full-quality smoke
        {"fastsprites",        "Niedrig",          "2"},
        {"fastsprites",        "Hoch",             "<none>"},
        {"net_graphpos",       "Unten-Mitte",      "2"},
        {"net_graphpos",       "Unten Mitte",      "<none>"},
        {"cl_bob",             "Keine Bewegungen", "0"},
        {"hud_fastswitch",     "Ja",               "<none>"},     // option groups have no list items
    };
    // clang-format on
    for (const Case& c : cases) {
        EXPECT_EQ(valueFor(c.key, c.text), c.value) << c.key << " with text '" << c.text << "'";
    }
}

TEST(SettingsCatalogue, SameCaptionKeepsItsOwnValuePerSetting) {
    // "Mittel" is a list item of fastsprites and an option caption of cl_crosshair_size.
    EXPECT_EQ(valueFor("fastsprites", "Mittel"), "1");
    const ChoiceSpec* size = findOptionChoice(settingFor("cl_crosshair_size"), "o6");
    ASSERT_NE(size, nullptr);
    EXPECT_EQ(size->display, "Mittel");
    EXPECT_EQ(size->value, "medium");
}

TEST(SettingsCatalogue, OptionButtonsBelongToExactlyOneGroup) {
    std::set<std::string> seen;
    for (const SettingSpec& setting : SettingsCatalogue) {
        for (const ChoiceSpec& choice : setting.choices) {
            if (setting.kind == SettingKind::OptionGroup) {
                EXPECT_TRUE(seen.insert(std::string(choice.control)).second) << choice.control;
                EXPECT_EQ(findOptionChoice(setting, choice.control), &choice);
            } else {
                EXPECT_TRUE(choice.control.empty()) << setting.key;
            }
        }
    }
    EXPECT_EQ(seen.size(), 27u);
    for (int i = 1; i <= 27; ++i) {
        EXPECT_TRUE(seen.contains("o" + std::to_string(i))) << "o" << i;
    }
    // A button of another group is not a choice here.
    EXPECT_EQ(findOptionChoice(settingFor("hud_fastswitch"), "o3"), nullptr);
    EXPECT_EQ(findOptionChoice(settingFor("hud_fastswitch"), ""), nullptr);
}

TEST(SettingsCatalogue, DisplayTextsAndValuesAreUniqueWithinASetting) {
    for (const SettingSpec& setting : SettingsCatalogue) {
        std::set<std::string_view> displays, values;
        for (const ChoiceSpec& choice : setting.choices) {
            EXPECT_TRUE(displays.insert(choice.display).second) << setting.key << ": " << choice.display;
            EXPECT_TRUE(values.insert(choice.value).second) << setting.key << ": " << choice.value;
        }
    }
}

// A list item reaches the game as the number (or colour) it stands for: the game reads numbers
// with atof, which stops at a comma or any other stray character and keeps what it read so far.
TEST(SettingsCatalogue, EveryListItemWritesAValueTheGameReadsWhole) {
    for (const SettingSpec& setting : SettingsCatalogue) {
        if (setting.kind != SettingKind::List) {
            continue;
        }
        for (const ChoiceSpec& choice : setting.choices) {
            SettingsState state;
            state.*setting.field = std::string(choice.display);
            const std::vector<testing::Command> commands = testing::readConsole(composeUserconfig(state));
            ASSERT_FALSE(commands.empty()) << choice.display;
            const testing::Command& line = commands.front();
            ASSERT_EQ(line.size(), 2u) << choice.display;
            EXPECT_EQ(line[0], setting.key);
            std::istringstream parts(line[1]);
            std::vector<std::string> numbers{std::istream_iterator<std::string>(parts), {}};
            EXPECT_EQ(numbers.size(), setting.key == "cl_crosshair_color" ? 3u : 1u) << line[1];
            for (const std::string& number : numbers) {
                char* end = nullptr;
                const double value = std::strtod(number.c_str(), &end);
                EXPECT_EQ(*end, '\0') << setting.key << " " << line[1];
                EXPECT_TRUE(setting.key != "cl_crosshair_color" || (value >= 0 && value <= 255)) << line[1];
            }
        }
    }
}

TEST(SettingsCatalogue, UnknownKeyFindsNothing) {
    EXPECT_EQ(findSetting("name"), nullptr);
    EXPECT_EQ(findSetting("Gamma"), nullptr);
    EXPECT_EQ(findSetting(""), nullptr);
}

} // namespace
} // namespace setforge::config
