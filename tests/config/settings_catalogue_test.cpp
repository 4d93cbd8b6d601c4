#include "config/settings_catalogue.h"

#include <gtest/gtest.h>

#include <set>
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
        {"fastsprites",        "Niedrig",          "<none>"},
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

TEST(SettingsCatalogue, ListsOfferTheirItemsInDisplayOrder) {
    struct Case {
        std::string_view key;
        std::vector<std::string_view> items;
    };
    // clang-format off
    const std::vector<Case> cases = {
        {"brightness", {"3.0 (Sehr Hell)", "2.0 (Hell)", "1.8", "1.6", "1.2", "0 (Dunkel)"}},
        {"gamma", {"8 (Hell)", "3.0", "2.4", "2.2", "2", "1.8 (Dunkel)"}},
        {"cl_crosshair_color", {"Grün", "Gelb", "Rot", "Blau", "Hellblau", "Weiß"}},
        {"fastsprites", {"Niedrig (Standard)", "Mittel", "Hoch"}},
        {"cl_bob", {"Keine Bewegungen", "Kleine Bewegungen", "Normale Bewegungen (Standard)"}},
        {"net_graph", {"Aus (Standard)", "Standard", "Erweitert", "Lost/Choke"}},
        {"net_graphpos", {"Unten-Rechts", "Unten-Mitte", "Unten-Links"}},
    };
    // clang-format on
    int lists = 0;
    for (const SettingSpec& setting : SettingsCatalogue) {
        lists += setting.kind == SettingKind::List ? 1 : 0;
    }
    EXPECT_EQ(lists, static_cast<int>(cases.size()));
    for (const Case& c : cases) {
        const SettingSpec& setting = settingFor(c.key);
        EXPECT_EQ(setting.kind, SettingKind::List);
        std::vector<std::string_view> items;
        for (const ChoiceSpec& choice : setting.choices) {
            items.push_back(choice.display);
        }
        EXPECT_EQ(items, c.items) << c.key;
    }
}

TEST(SettingsCatalogue, UnknownKeyFindsNothing) {
    EXPECT_EQ(findSetting("name"), nullptr);
    EXPECT_EQ(findSetting("Gamma"), nullptr);
    EXPECT_EQ(findSetting(""), nullptr);
}

} // namespace
} // namespace setforge::config
