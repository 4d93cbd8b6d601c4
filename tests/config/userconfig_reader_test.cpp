// Reading a config back: which lines fill the window, which stay in the free text, and that the
// game does the same with the file written again.
#include "config/settings_catalogue.h"
#include "config/userconfig.h"
#include "support/game_console.h"

#include <gtest/gtest.h>

#include <ctime>
#include <random>
#include <string>
#include <vector>

namespace setforge::config {
namespace {

using Field = std::string SettingsState::*;
using S = SettingsState;
using namespace std::string_literals;

// What the game is left with after running the file, and after running it written again.
void expectSameInGame(std::string_view fileBytes, std::string_view what) {
    const auto before = testing::effectOf(userconfigText(fileBytes), testing::settingVariableNames());
    const auto after =
        testing::effectOf(composeUserconfig(parseUserconfig(fileBytes)), testing::settingVariableNames());
    EXPECT_TRUE(before == after) << what;
}

// Every field of the state other than the one named must be empty.
void expectOnlyField(const SettingsState& state, Field field, std::string_view what) {
    for (const SettingSpec& setting : SettingsCatalogue) {
        if (setting.field != field) {
            EXPECT_EQ(state.*setting.field, "") << what << ": " << setting.key;
        }
    }
    if (field != &S::nickname) {
        EXPECT_EQ(state.nickname, "") << what;
    }
}

TEST(UserconfigReader, EachLineRuleWithItsNastyVariant) {
    struct Case {
        std::string_view what;
        std::string file;
        Field field; // the one control the file may fill
        std::string_view control;
        std::string freeText;
    };
    const Field none = &S::manual_text; // no control filled; checked through the free text
    // clang-format off
    const std::vector<Case> cases = {
        {"option group",                    "hud_fastswitch \"1\"\r\n",          &S::hud_fastswitch, "o1", ""},
        {"name in any case, bare value",    "HUD_FastSwitch 0\n",                &S::hud_fastswitch, "o2", ""},
        {"quoted name of the variable",     "\"cl_weather\"\"1\"\r\n",           &S::cl_weather, "o3", ""},
        {"list gets its display text",      "gamma \"2.2\"\r\n",                 &S::gamma, "2.2", ""},
        {"number matches by value",         "gamma 2.200000\r\n",                &S::gamma, "2.2", ""},
        {"number without leading digit",    "cl_bob .01\r\n",                    &S::cl_bob, "Normale Bewegungen (Standard)", ""},
        {"number with trailing text",       "gamma \"2.2x\"\r\n",                none, "", "gamma \"2.2x\""},
        {"number in other notation",        "gamma 22e-1\r\n",                   none, "", "gamma 22e-1"},
        {"text value must match exactly",   "cl_crosshair_size \"Small\"\r\n",   none, "", "cl_crosshair_size \"Small\""},
        {"colour quoted",                   "cl_crosshair_color \"50 250 50\"\r\n", &S::cl_crosshair_color, "Grün", ""},
        {"colour unquoted is three args",   "cl_crosshair_color 50 250 50\r\n",  none, "", "cl_crosshair_color 50 250 50"},
        {"setinfo without blank",           "setinfo \"_vgui_menus\"\"1\"\r\n",  &S::_vgui_menus, "o27", ""},
        {"setinfo bare",                    "SETINFO _vgui_menus 0\r\n",         &S::_vgui_menus, "o26", ""},
        {"userinfo key is case-sensitive",  "setinfo _VGUI_menus 1\r\n",         none, "", "setinfo _VGUI_menus 1"},
        {"userinfo value is text",          "setinfo _vgui_menus 1.0\r\n",       none, "", "setinfo _vgui_menus 1.0"},
        {"blanks and tabs around",          " \t gamma\t\"3.000000\"  \r\n",    &S::gamma, "3.0", ""},
        {"lone CR is a blank to the game",  "gamma\r2.2\n",                      &S::gamma, "2.2", ""},
        {"lone CR does not end a line",     "gamma 2.2\rbind x y\n",             none, "", "gamma 2.2\rbind x y"},
        {"trailing comment stays",          "gamma 2.2 // hell\r\n",             none, "", "gamma 2.2 // hell"},
        {"extra argument stays",            "gamma 2.2 3\r\n",                   none, "", "gamma 2.2 3"},
        {"unclosed quote stays",            "gamma \"2.2\r\n",                   none, "", "gamma \"2.2"},
        {"two commands on a line stay",     "gamma 2.2; bind x y\r\n",           none, "", "gamma 2.2; bind x y"},
        {"';' inside quotes is one command","name \"a;b\"\r\n",                  &S::nickname, "a;b", ""},
        {"last line decides",               "gamma 3\r\nbind x y\r\ngamma 2.2\r\n", &S::gamma, "2.2", "bind x y"},
        {"last line not a choice",          "gamma 2.2\r\nbind x y\r\ngamma 2.5\r\n", none, "", "gamma 2.2\r\nbind x y\r\ngamma 2.5"},
        {"last setter is a two-command line","gamma 2.2\r\nsay x; gamma 3\r\n",  none, "", "gamma 2.2\r\nsay x; gamma 3"},
        {"later setter in other case",      "gamma 2.2\r\nGAMMA 3 // brighter\r\n", none, "", "gamma 2.2\r\nGAMMA 3 // brighter"},
        {"earlier two-command line",        "gamma 3; say x\r\ngamma 2.2\r\n",   none, "", "gamma 3; say x\r\ngamma 2.2"},
        {"earlier alias naming it",         "alias g \"gamma 3\"\r\ng\r\ngamma 2.2\r\n", none, "", "alias g \"gamma 3\"\r\ng\r\ngamma 2.2"},
        {"later alias runs later anyway",   "gamma 2.2\r\nalias g \"gamma 3\"\r\n", &S::gamma, "2.2", "alias g \"gamma 3\""},
        {"earlier exec may set anything",   "exec video.cfg\r\nhud_fastswitch 1\r\n", none, "", "exec video.cfg\r\nhud_fastswitch 1"},
        {"earlier bind runs nothing now",   "bind F1 \"gamma 3\"\r\ngamma 2.2\r\n", &S::gamma, "2.2", "bind F1 \"gamma 3\""},
        {"earlier comment naming it",       "// gamma 3 ist zu hell\r\ngamma 2.2\r\n", &S::gamma, "2.2", "// gamma 3 ist zu hell"},
        {"';' ends a comment in game",      "// hell; gamma 3\r\ngamma 2.2\r\n", none, "", "// hell; gamma 3\r\ngamma 2.2"},
        {"quoted ';' inside a comment",     "// \"hell; gamma 3\r\ngamma 2.2\r\n", &S::gamma, "2.2", "// \"hell; gamma 3"},
        {"engine cuts a long comment: rest runs", "//" + std::string(1021, 'x') + " gamma 3\r\ngamma 2.2\r\n",
                                                  none, "", "//" + std::string(1021, 'x') + " gamma 3\r\ngamma 2.2"},
        {"other variable's name contains it","net_graphpos 9\r\nnet_graph 1\r\n", &S::net_graph, "Standard", "net_graphpos 9"},
        {"line after a NUL is never run",   "bind x y\r\n\0\r\ngamma 2.2\r\n"s,  none, "", "bind x y\r\n\0\r\ngamma 2.2"s},
        {"line holding a NUL stays",        "gamma 2.2\0\r\n"s,                  none, "", "gamma 2.2\0"s},
        {"name",                            "name \"Jörg\"\r\n",                 &S::nickname, "Jörg", ""},
        {"name bare",                       "NAME Player\r\n",                   &S::nickname, "Player", ""},
        {"name keeps its blanks",           "name \" a  b \"\r\n",               &S::nickname, " a  b ", ""},
        {"last name wins",                  "name \"a\"\r\nname b\r\n",          &S::nickname, "b", ""},
        {"name of two bare words",          "name a b\r\n",                      none, "", "name a b"},
        {"empty name erases, stays",        "name \"\"\r\n",                     none, "", "name \"\""},
        {"blank name stays",                "name \"  \"\r\n",                   none, "", "name \"  \""},
        {"name the game refuses stays",     "name \"a..b\"\r\n",                 none, "", "name \"a..b\""},
        {"name then a command",             "name \"x\";quit\r\n",               none, "", "name \"x\";quit"},
        {"setinfo name before it",          "setinfo name x\r\nname y\r\n",      none, "", "setinfo name x\r\nname y"},
        {"unclosed quote at LF gets closed","say \"hallo\nbind x y\n",           none, "", "say \"hallo\"\r\nbind x y"},
        {"unclosed quote at file end",      "say \"hallo",                       none, "", "say \"hallo\""},
        {"closed, the name line can move",  "name \"Jörg\nsay \"hallo",             &S::nickname, "Jörg", "say \"hallo\""},
        {"unclosed quote at CR LF kept",    "say \"hallo\r\n",                   none, "", "say \"hallo"},
        {"marker dropped once",             "// User Angaben\r\nx\r\n// User Angaben\r\n", none, "", "x\r\n// User Angaben"},
        {"byte-order mark dropped",         "\xEF\xBB\xBFgamma 2.2\r\n",         &S::gamma, "2.2", ""},
        {"Windows-1252 file",               "name \"J\xF6rg\"\r\n// Gr\xFC\xDF" "e\r\n", &S::nickname, "Jörg", "// Grüße"},
        {"blank lines and comments stay",   "\r\n// x\r\n\r\n",                  none, "", "\r\n// x\r\n"},
    };
    // clang-format on
    for (const Case& c : cases) {
        const SettingsState state = parseUserconfig(c.file);
        if (c.field != none) {
            EXPECT_EQ(state.*c.field, c.control) << c.what;
        }
        expectOnlyField(state, c.field, c.what);
        EXPECT_EQ(state.manual_text, c.freeText) << c.what;
        expectSameInGame(c.file, c.what);
    }
}

TEST(UserconfigReader, EveryChoiceReadsBack) {
    for (const SettingSpec& setting : SettingsCatalogue) {
        for (const ChoiceSpec& choice : setting.choices) {
            SettingsState state;
            state.*setting.field = std::string(setting.kind == SettingKind::List ? choice.display : choice.control);
            const std::string file = composeUserconfig(state);
            EXPECT_EQ(parseUserconfig(file).*setting.field, state.*setting.field) << file;
        }
    }
}

// A player's own config, as people write them: comments, binds, aliases, buy scripts, settings
// spread between them, one setting overridden by a bind alias defined above it.
std::string handWrittenConfig() {
    std::string text = "// Mein Config - Stand 2026\r\n"
                       "name \"[GER] Jörg\"\r\n"
                       "\r\n"
                       "// --- Waffen ---\r\n";
    const std::vector<std::string> keys = {
        "F1",    "F2", "F3", "F4", "F5", "F6", "F7", "F8", "F9", "F10", "1", "2",      "3",
        "4",     "5",  "q",  "e",  "r",  "f",  "g",  "z",  "x",  "c",   "v", "b",      "n",
        "m",     "t",  "y",  "u",  "i",  "o",  "p",  "h",  "j",  "k",   "l", "KP_END", "KP_DOWNARROW",
        "MOUSE4"};
    const std::vector<std::string> actions = {
        "buy ak47; buy m4a1",   "buy awp",   "buy deagle",  "buy vesthelm", "buy hegren",
        "buy flash; buy flash", "buy sgren", "buy defuser", "+jumpthrow",   "say_team Brauche Hilfe!"};
    for (std::size_t i = 0; i < keys.size(); ++i) {
        text += "bind \"" + keys[i] + "\" \"" + actions[i % actions.size()] + "\"\r\n";
        if (i == 9) {
            text += "alias +jumpthrow \"+jump; -attack\"\r\nalias -jumpthrow \"-jump\"\r\n";
            text += "hud_fastswitch \"1\"\r\n";
        }
        if (i == 19) {
            text += "// Grafik\r\ngamma 2.2\r\nbrightness \"1.6\"   \r\nfastsprites 2\r\n";
            text += "alias nghigh \"net_graph 3\"\r\n";
        }
        if (i == 29) {
            text += "net_graph 0\r\ncl_crosshair_color \"50 250 50\" // grün\r\nsetinfo \"_vgui_menus\" \"0\"\r\n";
        }
    }
    text += "cl_bob 0.01\r\nrate 25000; cl_updaterate 101\r\nexec buyscript.cfg\r\n";
    return text;
}

TEST(UserconfigReader, HandWrittenConfigWithFortyBinds) {
    const std::string file = handWrittenConfig();
    const SettingsState state = parseUserconfig(file);
    EXPECT_EQ(state.nickname, "[GER] Jörg");
    EXPECT_EQ(state.hud_fastswitch, "o1");
    EXPECT_EQ(state.gamma, "2.2");
    EXPECT_EQ(state.brightness, "1.6");
    EXPECT_EQ(state.fastsprites, "Niedrig");
    EXPECT_EQ(state._vgui_menus, "o26");
    EXPECT_EQ(state.cl_bob, "Normale Bewegungen (Standard)");
    // The alias naming net_graph stands before its line; the colour line carries a comment.
    EXPECT_EQ(state.net_graph, "");
    EXPECT_EQ(state.cl_crosshair_color, "");
    EXPECT_NE(state.manual_text.find("net_graph 0\r\ncl_crosshair_color \"50 250 50\" // grün\r\n"), std::string::npos);
    EXPECT_EQ(state.manual_text.find("gamma 2.2"), std::string::npos);
    EXPECT_EQ(state.manual_text.find("name "), std::string::npos);
    std::size_t binds = 0;
    for (std::size_t at = state.manual_text.find("bind \""); at != std::string::npos;
         at = state.manual_text.find("bind \"", at + 1)) {
        ++binds;
    }
    EXPECT_EQ(binds, 40u);
    expectSameInGame(file, "hand-written config");

    // Written once, it comes back byte for byte.
    const std::string written = composeUserconfig(state);
    EXPECT_EQ(composeUserconfig(parseUserconfig(written)), written);
}

TEST(UserconfigReader, TypicalFileKeepsItsEffect) {
    SettingsState state;
    state.nickname = "Halvren";
    state.hud_fastswitch = "o1";
    state.gamma = "2.4";
    state.brightness = "2.0 (Hell)";
    state.cl_crosshair_color = "Hellblau";
    state.cl_crosshair_size = "o5";
    state._vgui_menus = "o27";
    state.net_graph = "Lost/Choke";
    state.manual_text = "bind \"F5\" \"buy ak47; buy vesthelm\"\r\nalias g \"gamma 3\"\r\nbind F6 g";
    const std::string file = composeUserconfig(state);
    const SettingsState read = parseUserconfig(file);
    EXPECT_EQ(composeUserconfig(read), file);
    EXPECT_EQ(read.nickname, state.nickname);
    EXPECT_EQ(read.manual_text, state.manual_text);
    expectSameInGame(file, "typical file");
    // The same lines with LF ends and in another order do the same in game.
    expectSameInGame("bind F6 g\ngamma 2.4\nname Halvren\nalias g \"gamma 3\"\ncl_crosshair_size small\n", "LF file");
}

// Files this program writes come back byte for byte, for states drawn from every choice, awkward
// nicknames and free texts that do not set any of the twenty settings themselves.
TEST(UserconfigReader, WrittenFilesRoundTripByteForByte) {
    const std::vector<std::string> nicknames = {"",
                                                "Halvren",
                                                " a\tb ",
                                                "Jörg 😀",
                                                "x\";quit;\"",
                                                "a;b//c",
                                                "line\r\nbreak",
                                                "gamma",
                                                "\xFF"
                                                "bad"};
    const std::vector<std::string> freeTexts = {"",
                                                "\r\n",
                                                "bind x y",
                                                "// User Angaben",
                                                "say \"open\r\nbind \"F1\" \"gamma 3\"",
                                                "a\rb\r\n\r\n",
                                                "alias ng \"net_graph 3\"; bind n ng",
                                                "x\0y\r\ngamma 2.2"s,
                                                "\t// Grüße\r\nexec buy.cfg\r\n"};
    std::mt19937 random(2026);
    int files = 0;
    for (const std::string& nickname : nicknames) {
        for (const std::string& freeText : freeTexts) {
            for (int draw = 0; draw < 8; ++draw) {
                SettingsState state;
                state.nickname = nickname;
                state.manual_text = freeText;
                for (const SettingSpec& setting : SettingsCatalogue) {
                    const std::size_t pick = random() % (setting.choices.size() + 1);
                    if (pick < setting.choices.size()) {
                        const ChoiceSpec& c = setting.choices[pick];
                        state.*setting.field = std::string(setting.kind == SettingKind::List ? c.display : c.control);
                    }
                }
                const std::string file = composeUserconfig(state);
                const SettingsState read = parseUserconfig(file);
                ASSERT_EQ(composeUserconfig(read), file) << file;
                for (const SettingSpec& setting : SettingsCatalogue) {
                    EXPECT_EQ(read.*setting.field, state.*setting.field) << setting.key << " in " << file;
                }
                ++files;
            }
        }
    }
    EXPECT_EQ(files, 9 * 9 * 8);
}

#if defined(__SANITIZE_ADDRESS__)
constexpr double SanitizerSlowdown = 4;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr double SanitizerSlowdown = 4;
#else
constexpr double SanitizerSlowdown = 1;
#endif
#else
constexpr double SanitizerSlowdown = 1;
#endif

// Bad input loads, fast, and loses no line the game runs.
TEST(UserconfigReader, SurvivesHugeAndBrokenFiles) {
    struct Case {
        std::string_view what;
        std::string file;
    };
    std::string tenMegabytes;
    while (tenMegabytes.size() < (10u << 20)) {
        tenMegabytes += "bind \"F5\" \"say Grüße; gamma 3\"\r\nalias a \"b\";// x\nfoo \"unbalanced\r";
    }
    std::string manyLines;
    for (int i = 0; i < 100000; ++i) {
        manyLines += (i % 3 == 0) ? "gamma 2.2\r\n" : "bind x y\n";
    }
    const std::vector<Case> cases = {
        {"10 MB of mixed lines", "gamma 2.2\r\n" + tenMegabytes},
        {"100,000 lines", manyLines},
        {"1 MB line", "gamma " + std::string(1u << 20, '2') + "\r\nname x\r\n"},
        {"1 MB quoted line", "name \"" + std::string(1u << 20, 'n') + "\r\n"},
        {"CR-only lines", std::string(200000, '\r') + "gamma 2.2\rname x\r"},
        {"NUL bytes", std::string(1000, '\0') + "gamma 2.2\r\n"},
        {"only quotes", std::string(100001, '"')},
        {"open quote behind a byte the game skips", "name \xF1\"Foo"},
        {"only semicolons", std::string(1u << 20, ';') + "\ngamma 2.2\n"},
    };
    for (const Case& c : cases) {
        // Processor time, so that other work on the machine does not count. A quadratic pass over
        // these sizes would take hours; even an unoptimised, sanitised build stays far below the
        // bound (the benchmark measures the optimised build).
        const std::clock_t start = std::clock();
        static_cast<void>(parseUserconfig(c.file)); // what it gives is checked just below
        const double seconds = static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
        EXPECT_LT(seconds, SanitizerSlowdown * 4.0) << c.what;
        expectSameInGame(c.file, c.what);
    }
}

} // namespace
} // namespace setforge::config
