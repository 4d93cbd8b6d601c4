// The composed file read the way the game's console reads it: every line must be one command
// with the arguments the player chose.
#include "config/settings_catalogue.h"
#include "config/userconfig.h"
#include "support/game_console.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace setforge::config {
namespace {

using testing::Command;
using testing::readConsole;
using Field = std::string SettingsState::*;
using S = SettingsState;
const Command Marker{}; // "// User Angaben" is a comment: no command at all

TEST(GameReading, EveryChoiceIsOneCommandWithItsValue) {
    for (const SettingSpec& setting : SettingsCatalogue) {
        for (const ChoiceSpec& choice : setting.choices) {
            SettingsState state;
            state.*setting.field = std::string(setting.kind == SettingKind::List ? choice.display : choice.control);
            const std::vector<Command> commands = readConsole(composeUserconfig(state));
            const Command expected = setting.lineForm == LineForm::Setinfo
                                         ? Command{"setinfo", std::string(setting.key), std::string(choice.value)}
                                         : Command{std::string(setting.key), std::string(choice.value)};
            ASSERT_EQ(commands.size(), 1u) << setting.key << " " << choice.display;
            EXPECT_EQ(commands[0], expected);
        }
    }
}

TEST(GameReading, ChoicesMeanInGameWhatTheyShow) {
    struct Case {
        Field field;
        std::string_view choice;
        Command inGame;
    };
    // clang-format off
    const std::vector<Case> cases = {
        {&S::cl_righthand, "o14", {"cl_righthand", "0"}},              // Links: left-handed view models
        {&S::cl_righthand, "o15", {"cl_righthand", "1"}},              // Rechts: the game's default
        {&S::_vgui_menus,  "o26", {"setinfo", "_vgui_menus", "0"}},    // Text menus
        {&S::_vgui_menus,  "o27", {"setinfo", "_vgui_menus", "1"}},    // graphical menus
        {&S::cl_bob, "Kleine Bewegungen",             {"cl_bob", "0.001"}},
        {&S::cl_bob, "Normale Bewegungen (Standard)", {"cl_bob", "0.01"}},
        {&S::brightness, "1.6",                       {"brightness", "1.600000"}},
        {&S::cl_crosshair_color, "Weiß",              {"cl_crosshair_color", "255 255 255"}},
    };
    // clang-format on
    for (const Case& c : cases) {
        SettingsState state;
        state.*c.field = std::string(c.choice);
        EXPECT_EQ(readConsole(composeUserconfig(state)), std::vector<Command>{c.inGame}) << c.choice;
    }
}

TEST(GameReading, NicknameIsOneNameCommandWhateverItHolds) {
    struct Case {
        std::string_view nickname;
        std::string_view nameInGame; // "" when no name command may come at all
    };
    // clang-format off
    const std::vector<Case> cases = {
        {"Spieler",           "Spieler"},
        {"Jörg Weiß",         "Jörg Weiß"},
        {"x\";quit;\"",       "x';quit;'"},
        {"a \"b\" c",         "a 'b' c"},
        {"semi;colon",        "semi;colon"},
        {"//not a comment",   "//not a comment"},
        {"two\r\nlines",      "two  lines"},
        {"cr\ronly",          "cr only"},
        {"  padded  ",        "  padded  "},
        {"",                  ""},
        {"  ",                ""},
        {"\r\n",              ""},
    };
    // clang-format on
    for (const Case& c : cases) {
        SettingsState state;
        state.nickname = std::string(c.nickname);
        state.gamma = "2.2";
        std::vector<Command> expected;
        if (!c.nameInGame.empty()) {
            expected.push_back({"name", std::string(c.nameInGame)});
        }
        expected.push_back({"gamma", "2.200000"});
        EXPECT_EQ(readConsole(composeUserconfig(state)), expected) << c.nickname;
    }
}

TEST(GameReading, TypicalRunGivesTheChosenCommandsThenTheFreeText) {
    SettingsState state;
    state.nickname = "Jörg";
    state.gamma = "2.2";
    state.hud_fastswitch = "o1";
    state.cl_righthand = "o15";
    state._vgui_menus = "o26";
    state.manual_text = "bind \"F11\" \"vest;m4a1\"\r\nsay hi; kill";
    const std::vector<Command> expected = {
        {"name", "Jörg"},
        {"hud_fastswitch", "1"},
        {"gamma", "2.200000"},
        {"cl_righthand", "1"},
        {"setinfo", "_vgui_menus", "0"},
        {"bind", "F11", "vest;m4a1"},
        {"say", "hi"},
        {"kill"},
    };
    EXPECT_EQ(readConsole(composeUserconfig(state)), expected);
}

} // namespace
} // namespace setforge::config
