// The check of the player's own lines: each case is run through the tests' console model, and a
// finding that the file does something else than the window or the line says is raised exactly
// when the model shows the game doing something else.
#include "config/settings_catalogue.h"
#include "config/userconfig.h"
#include "config/userconfig_check.h"
#include "support/game_console.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace setforge::config {
namespace {

using K = FindingKind;
using namespace std::string_literals;

// Comment lines that push a file over the whole-file limit without running anything.
std::string padding() {
    std::string text;
    while (text.size() < WholeFileLimit) {
        text += "//" + std::string(98, '-') + "\r\n";
    }
    return text;
}

std::string repeated(std::string_view word, int count) {
    std::string out;
    for (int i = 0; i < count; ++i) {
        out += out.empty() ? "" : " ";
        out += word;
    }
    return out;
}

// The model says the game ends with another value than the window shows for one of its controls.
bool modelOverrides(const SettingsState& state) {
    SettingsState windowOnly = state;
    windowOnly.manual_text.clear();
    const auto window = testing::effectOfExec(composeUserconfig(windowOnly), SIZE_MAX, testing::settingVariableNames());
    const auto game = testing::effectOfExec(composeUserconfig(state), WholeFileLimit, testing::settingVariableNames());
    return !testing::keepsWindowVariables(window, game);
}

// The model says the game runs other commands than the lines read plainly say.
bool modelCuts(const SettingsState& state) {
    const std::string file = composeUserconfig(state);
    return testing::execFile(file, WholeFileLimit) != testing::readPlainly(file);
}

struct Expected {
    FindingKind kind;
    std::size_t line;
    std::optional<std::string> fix = std::nullopt;
};

struct Case {
    std::string what;
    std::string text;
    std::vector<Expected> findings;
    std::string gamma = "2.2";
    std::string hand = "o15"; // Rechts
    std::string nickname = "Bar";
    std::string menus = "o27"; // Grafisch
};

TEST(UserconfigCheck, FindingsAgreeWithTheGame) {
    const std::string big = padding();
    const auto afterBig = static_cast<std::size_t>(std::ranges::count(big, '\n')) + 1;
    const std::string longSay = "echo " + repeated(std::string(14, 'x'), 70); // 1,054 bytes, short arguments
    const std::string fitting = "echo " + repeated(std::string(13, 'x'), 72) + " " + std::string(10, 'y'); // 1,023
    // clang-format off
    const std::vector<Case> cases = {
        {"other gamma",             "gamma \"2.5\"",                       {{K::OverridesChoice, 1, ""}}},
        {"same gamma, other case",  "GAMMA 2.2",                           {}},
        {"same gamma as number",    "echo a\r\ngamma 2.200000",            {}},
        {"alias with no name",      "alias \"\" \"gamma 2.5\"\r\n\"\"",         {{K::OverridesChoice, 2, ""}}},
        {"no gamma chosen",         "gamma 2.5",                           {}, ""},
        {"later line wins",         "gamma 2.5\r\ngamma 2.2",              {}},
        {"only the last counts",    "gamma 2.4\r\ngamma 3",                {{K::OverridesChoice, 2, ""}}},
        {"in a line of commands",   "cl_righthand 0;echo x",               {{K::OverridesChoice, 1, ""}}},
        {"after a semicolon",       "echo x; cl_righthand 0",              {{K::OverridesChoice, 1, ""}}},
        {"text reads as 0",         "cl_righthand \"x\"\r\ncl_righthand \":\"", {{K::OverridesChoice, 2, ""}}},
        {"text reads as chosen 0",  "cl_righthand \":\";cl_righthand \"0 1\"", {}, "2.2", "o14"},
        {"setinfo with blanks",     "setinfo   _vgui_menus\t \"0\"",       {{K::OverridesChoice, 1, ""}}},
        {"userinfo cvar",           "_vgui_menus 0",                       {{K::OverridesChoice, 1, ""}}},
        {"userinfo cvar emptied",   "_vgui_menus \"\"",                    {{K::OverridesChoice, 1, ""}}},
        {"userinfo cvar, same",     "_VGUI_MENUS \"1\"",                   {}},
        {"userinfo keeps text",     "setinfo _vgui_menus -",               {{K::OverridesChoice, 1, ""}}, "2.2", "o15", "Bar", "o26"},
        {"name",                    "echo a\r\nname Foo",                  {{K::OverridesChoice, 2, ""}}},
        {"same name",               "name \"Bar\"",                        {}},
        {"no nickname",             "name Foo",                            {}, "2.2", "o15", ""},
        {"bind runs nothing now",   "bind x \"gamma 2.5\"",                {}},
        {"comment",                 "// gamma 2.5",                        {}},
        {"cvar read only",          "gamma",                               {}},
        {"command too long",        longSay,                               {{K::CutByGame, 1}}},
        {"command just fits",       fitting,                               {}},
        {"argument too long",       "alias spam \"say " + std::string(600, 'x') + "\"", {{K::CutByGame, 1}}},
        {"argument just fits",      "echo " + std::string(514, 'x'),       {}},
        {"81 arguments",            repeated("a", 81),                     {{K::CutByGame, 1}}},
        {"80 arguments",            repeated("a", 80),                     {}},
        {"cut, then an override",   "echo " + std::string(600, 'x') + " ;gamma 2.5", {{K::CutByGame, 1}, {K::OverridesChoice, 1, ""}}},
        {"something after NUL",     "echo a\0gamma 2.5"s,                  {{K::CutByGame, 1}}},
        {"NUL at the end",          "echo a\0"s,                          {}},
        {"open quote, big file",    big + "say \"hallo",                  {{K::CutByGame, afterBig, "say \"hallo\""}}},
        {"long line, big file",     big + longSay,                        {{K::CutByGame, afterBig}}},
        {"umlaut, small file",      "say \"Jäger\"",                       {}},
        {"umlaut, big file",        big + "say \"Jäger\"",                 {{K::CutByGame, afterBig}}},
        {"umlaut in a comment",     big + "// Grüße",                      {{K::CutByGame, afterBig}}},
        {"TAB, big file",           big + "bind\t\"F3\"\t\"+jump\"",       {{K::CutByGame, afterBig, "bind \"F3\" \"+jump\""}}},
        {"TAB, small file",         "bind\t\"F3\"\t\"+jump\"",             {}},
        {"plain line, big file",    big + "bind \"F3\" \"+jump\"",         {}},
        {"big umlaut name",         big + "name \"Jäger\"",                {{K::CutByGame, afterBig}, {K::OverridesChoice, afterBig, ""}}},
        {"key with a blank",        "bind \"MOUSE 4\" \"+jump\"",          {{K::UnknownKey, 1, "\"MOUSE4\""}}},
        {"German key name",         "echo a\r\nbind Strg +duck",           {{K::UnknownKey, 2, "CTRL"}}},
        {"unbind",                  "unbind KP_ENTERR",                    {{K::UnknownKey, 1, "KP_ENTER"}}},
        {"game key any case",       "bind mouse4 +jump;bind Q +use",       {}},
        {"nothing near",            "bind \"WURST\" +jump",                {{K::UnknownKey, 1}}},
        {"typo of a cvar",          "cl_crosshiar_color \"50 250 50\"",    {{K::NearName, 1, "cl_crosshair_color"}}},
        {"typo of a command",       "bind x \"+jump\";+atack",             {{K::NearName, 1, "+attack"}}},
        {"alias of the text",       "alias +atack \"+attack\";+atack",     {}},
        {"unknown but near nothing","meinskript",                          {}},
        {"three letters stay",      "gam 1",                               {}},
        {"four letters, one off",   "fovv 90",                             {{K::NearName, 1, "fov"}}},
        {"';' ends a comment",      "// heller; gamma 3",                  {{K::CutByGame, 1, ", gamma 3"}, {K::OverridesChoice, 1}}},
        {"comment tail runs",       "bind v +voicerecord // an; dann los", {{K::CutByGame, 1, ", dann los"}}},
        {"tail after a command",    "echo a; // c; echo b",                {{K::CutByGame, 1}}},
        {"quoted ';' in a comment", "// \"a;b\"",                          {}},
        {"alias called at load",    "alias hell \"gamma 3; echo x\"\r\nhell", {{K::OverridesChoice, 2}}},
        {"alias in other case",     "alias Hell \"gamma 3\"\r\nHELL",     {{K::OverridesChoice, 2}}},
        {"nested aliases",          "alias a \"b\";alias b \"gamma 3\";a", {{K::OverridesChoice, 1}}},
        {"alias only defined",      "alias hell \"gamma 3\"",              {}},
        {"alias of a server command", "alias drop \"gamma 3\"\r\ndrop",     {{K::OverridesChoice, 2}}},
        {"alias of a client command", "alias +jump \"gamma 3\"\r\n+jump",   {}},
        {"alias name refused",      "alias cl_rebuy \"gamma 3\"\r\ncl_rebuy", {}},
        {"atof: sign",              "gamma +2.2",                          {}},
        {"atof: blank inside",      "gamma \" 2.2\"",                      {}},
        {"atof: trailing text",     "gamma 2.2abc",                        {}},
        {"atof: float precision",   "gamma 2.2000001",                     {}},
        {"setinfo sets the name",   "setinfo name Foo",                    {{K::OverridesChoice, 1}}},
        {"setinfo key prefix",      "setinfo na x",                        {{K::OverridesChoice, 1}}},
        {"setinfo removes menus",   "setinfo _vgui 1",                     {{K::OverridesChoice, 1}}},
        {"setinfo, three values",   "setinfo _vgui_menus 0 1",             {}},
        {"name the game refuses",   "name a..b",                           {}},
        {"umlaut before a word",    "name \xC3\x9Cnal",                     {{K::CutByGame, 1, "\"\xC3\x9Cnal\""}}, "2.2", "o15", ""},
        {"comma splits",            "echo Foo,Bar",                        {{K::CutByGame, 1, "\"Foo,Bar\""}}},
        {"quotes from the web",     "bind \xE2\x80\x9CMOUSE4\xE2\x80\x9D \xC2\xAB+jump\xC2\xBB", {{K::CutByGame, 1, "bind \"MOUSE4\" \"+jump\""}, {K::UnknownKey, 1}}},
        {"no-break space",          "bind \"z\"\xC2\xA0\"+duck\"",            {{K::CutByGame, 1, "bind \"z\" \"+duck\""}}},
        {"German quotes in echo",   "echo \xE2\x80\x9EHallo\xE2\x80\x9C",     {{K::CutByGame, 1, "\"\xE2\x80\x9EHallo\xE2\x80\x9C\""}}},
        {"decimal comma",           "echo 2,5\r\nsensitivity -0,5",         {{K::CutByGame, 1, "\"2,5\""}, {K::CutByGame, 2, "-0.5"}}},
        {"lone CR",                 "echo one\recho two",                  {{K::CutByGame, 1, "\r\n"}}},
        {"lone CR at the end",      "echo one\r",                          {}},
        {"open quote runs as said", "say \"hallo",                         {}},
        {"key bound twice",         "bind \"MOUSE4\" \"+jump\"\r\nbind mouse4 +duck", {{K::KeyBoundAgain, 1}}},
        {"unbound later",           "bind q +jump;unbind q",               {{K::KeyBoundAgain, 1}}},
        {"one key, two names",      "bind \";\" +jump\r\nbind Semicolon +duck", {{K::KeyBoundAgain, 1}}},
        {"Q is not q",              "bind q +jump\r\nbind Q +duck",        {}},
        {"two keys",                "bind q +jump\r\nbind w +jump",        {}},
        {"unbindall later",         "bind q +jump\r\nbind w +duck\r\nUNBINDALL\r\nbind w +jump", {{K::KeyBoundAgain, 1}, {K::KeyBoundAgain, 2}}},
        {"unbindall first",         "unbindall\r\nbind q +jump",           {}},
    };
    // clang-format on
    for (const Case& c : cases) {
        SettingsState state;
        state.gamma = c.gamma;
        state.cl_righthand = c.hand;
        state.nickname = c.nickname;
        state._vgui_menus = c.menus;
        state.manual_text = c.text;
        const std::vector<ConfigFinding> findings = checkUserconfig(state);
        const auto has = [&](FindingKind kind) {
            return std::ranges::any_of(findings, [&](const ConfigFinding& f) { return f.kind == kind; });
        };
        EXPECT_EQ(has(K::OverridesChoice), modelOverrides(state)) << c.what;
        EXPECT_EQ(has(K::CutByGame), modelCuts(state)) << c.what;
        ASSERT_EQ(findings.size(), c.findings.size())
            << c.what << ": " << (findings.empty() ? "" : findings[0].message);
        for (std::size_t i = 0; i < findings.size(); ++i) {
            const ConfigFinding& f = findings[i];
            EXPECT_EQ(f.kind, c.findings[i].kind) << c.what;
            EXPECT_EQ(f.line, c.findings[i].line) << c.what;
            EXPECT_LE(f.begin, f.end) << c.what;
            EXPECT_LE(f.end, c.text.size()) << c.what;
            EXPECT_FALSE(f.message.empty()) << c.what;
            if (c.findings[i].fix) {
                EXPECT_EQ(f.fix, c.findings[i].fix) << c.what;
            }
        }
    }
}

// A line at the command buffer's limit, or an endless alias: the mark names what the game really does.
TEST(UserconfigCheck, LongLinesNameWhatCutsThem) {
    const struct {
        std::string line;
        std::string said;
    } cases[] = {
        // Only the CR of the line end is past the limit: the long argument is what stops the game.
        {"echo " + std::string(1018, 'a'), "Dieses Argument ist 1018 Zeichen lang"},
        {"echo " + std::string(1018, 'a') + " ", "Dieses Argument ist 1018 Zeichen lang"},
        {"echo " + std::string(1019, 'a'), "Dieser Befehl ist 1024 Bytes lang"},
        // An endless alias with a wait does not hang the game; what comes after it never runs.
        {"alias loop \"wait;loop\"\r\nloop", "wait läuft das Spiel weiter"},
        {"alias loop \"loop\"\r\nloop", "hängt beim Laden fest"},
    };
    for (const auto& c : cases) {
        SettingsState state;
        state.manual_text = c.line + "\r\necho b";
        const auto findings = checkUserconfig(state);
        ASSERT_EQ(findings.size(), 1U) << c.said;
        EXPECT_NE(findings[0].message.find(c.said), std::string::npos) << findings[0].message;
    }
}

// What the console model does not judge: refused aliases, endless ones, `wait` read line by line,
// a variable given several words, and the window's own lines in a file read line by line.
TEST(UserconfigCheck, RunFactsAndWindowLines) {
    struct RunCase {
        std::string what;
        std::string text;
        std::string nickname;
        std::vector<std::pair<FindingKind, FindingPlace>> findings;
    };
    const std::string longName(32, 'a');
    const std::string big = padding();
    const auto F = FindingPlace::FreeText;
    // clang-format off
    const std::vector<RunCase> cases = {
        {"alias name too long", "alias " + longName + " \"gamma 3\"\r\n" + longName, "", {{K::CutByGame, F}}},
        {"alias name just fits", "alias " + longName.substr(1) + " \"echo 3\"", "", {}},
        {"endless alias",       "alias a \"a\"\r\na\r\ngamma 3",            "", {{K::CutByGame, F}}},
        {"file runs itself",    "echo a\r\nEXEC \"UserConfig.cfg\"\r\ngamma 3", "", {{K::CutByGame, F}}},
        {"through config.cfg",  "alias again \"exec config.cfg\"\r\nagain", "", {{K::CutByGame, F}}},
        {"exec of another file", "exec binds.cfg",                       "", {}},
        {"exec with two names", "exec userconfig.cfg x",                 "", {}},
        {"variable of 3 words", "con_color 255 180 30",                  "", {{K::CutByGame, F}}},
        {"comment stuck on",    "bind f +use//benutzen\r\necho a //b\r\necho x:y//z", "", {{K::CutByGame, F}, {K::CutByGame, F}}},
        {"split words only",    "con_color \"255 180 30\" // gelb\r\nm_yaw 0,02", "", {{K::CutByGame, F}}},
        {"wait, big file",      big + "echo a;wait;echo b\r\necho c",       "", {{K::CutByGame, F}}},
        {"wait, small file",    "echo a;wait;echo b\r\necho c",             "", {}},
        {"umlaut nickname, big", big,                                      "J\xC3\xA4ger", {{K::CutByGame, FindingPlace::WindowLine}}},
        {"umlaut nickname",     "echo a",                                  "J\xC3\xA4ger", {}},
    };
    // clang-format on
    for (const RunCase& c : cases) {
        SettingsState state;
        state.nickname = c.nickname;
        state.manual_text = c.text;
        const auto findings = checkUserconfig(state);
        ASSERT_EQ(findings.size(), c.findings.size()) << c.what;
        for (std::size_t i = 0; i < findings.size(); ++i) {
            EXPECT_EQ(findings[i].kind, c.findings[i].first) << c.what;
            EXPECT_EQ(findings[i].place, c.findings[i].second) << c.what;
            if (findings[i].place == FindingPlace::WindowLine) {
                EXPECT_EQ(findings[i].setting, nullptr) << c.what;
                EXPECT_NE(findings[i].message.find("\xE2\x80\x9EJ\xE2\x80\x9C"), std::string::npos)
                    << findings[i].message;
            }
        }
    }
}

// The value the game holds after loading, where it comes from, and the window's value otherwise.
TEST(UserconfigCheck, ValueAfterLoad) {
    struct ValueCase {
        std::string text;
        std::string_view cvar;
        std::optional<std::string> value;
        std::size_t line = 0;
    };
    // clang-format off
    const std::vector<ValueCase> cases = {
        {"",                                   "gamma", "2.200000"},
        {"echo a\r\nGAMMA 3",                  "Gamma", "3", 2},
        {"// heller; gamma 3",                 "gamma", "3", 1},
        {"alias h \"gamma 1.8\"\r\necho\r\nh",  "gamma", "1.8", 3},
        {"bind x \"gamma 3\"",                 "gamma", "2.200000"},
        {"",                                   "fov",   std::nullopt},
    };
    // clang-format on
    for (const ValueCase& c : cases) {
        SettingsState state;
        state.gamma = "2.2";
        state.manual_text = c.text;
        const std::optional<FileValue> value = valueAfterLoad(state, c.cvar);
        ASSERT_EQ(value.has_value(), c.value.has_value()) << c.text;
        if (value) {
            EXPECT_EQ(value->value, *c.value) << c.text;
            EXPECT_EQ(value->line, c.line) << c.text;
            EXPECT_EQ(value->fromFreeText, c.line != 0) << c.text;
        }
    }
}

// Taking a finding's fix leaves a text the game runs as the window shows; the finding names the
// setting, and the choice the window can take over when the line's value is one.
TEST(UserconfigCheck, FixesMakeTheGameDoWhatTheWindowShows) {
    struct Fix {
        std::string text;
        std::string fixed;
        std::string_view setting;
        std::string_view choice = ""; // none
    };
    // clang-format off
    const std::vector<Fix> cases = {
        {"gamma 2.5",                        "",                "gamma"},
        {"echo a\r\ngamma 2.4\r\necho b",    "echo a\r\necho b", "gamma",        "2.4"},
        {"echo a\r\ngamma \"8\"",            "echo a",          "gamma",        "8 (Hell)"},
        {"cl_righthand 0;echo x",            "echo x",          "cl_righthand", "Links"},
        {"echo x ; cl_righthand 0 ",         "echo x  ",        "cl_righthand", "Links"},
        {"echo x;gamma 2.5;echo y",          "echo x;echo y",   "gamma"},
        {"  setinfo _vgui_menus 0  \r\necho y", "echo y",        "_vgui_menus",  "Text"},
    };
    // clang-format on
    for (const Fix& c : cases) {
        SettingsState state;
        state.gamma = "2.2";
        state.cl_righthand = "o15";
        state._vgui_menus = "o27";
        state.manual_text = c.text;
        const auto findings = checkUserconfig(state);
        ASSERT_EQ(findings.size(), 1U) << c.text;
        const ConfigFinding& f = findings.front();
        ASSERT_NE(f.setting, nullptr) << c.text;
        EXPECT_EQ(f.setting->key, c.setting) << c.text;
        EXPECT_EQ(f.lineChoice ? f.lineChoice->display : "", c.choice) << c.text;
        EXPECT_NE(f.message.find(f.setting->label), std::string::npos) << f.message;
        state.manual_text = c.text.substr(0, f.begin) + f.fix.value_or("?") + c.text.substr(f.end);
        EXPECT_EQ(state.manual_text, c.fixed) << c.text;
        EXPECT_TRUE(checkUserconfig(state).empty()) << c.text;
        EXPECT_FALSE(modelOverrides(state)) << c.text;
    }
}

} // namespace
} // namespace setforge::config
