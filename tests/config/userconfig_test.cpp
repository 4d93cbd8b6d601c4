#include "config/userconfig.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace setforge::config {
namespace {

using Field = std::string SettingsState::*;
using S = SettingsState;

constexpr std::string_view Tail = "// User Angaben\r\n\r\n";

// The file for these setting lines; a blank nickname writes no name line.
std::string fileWithLines(std::initializer_list<std::string_view> lines, std::string_view nickname = "") {
    std::string text = nickname.empty() ? "" : "name \"" + std::string(nickname) + "\"\r\n";
    for (std::string_view line : lines) {
        text += line;
        text += "\r\n";
    }
    return text + std::string(Tail);
}

TEST(Userconfig, StartStateWritesMarkerAndEmptyLine) {
    EXPECT_EQ(composeUserconfig(SettingsState{}), "// User Angaben\r\n\r\n");
}

TEST(Userconfig, EachChoiceWritesItsOwnLine) {
    struct Case {
        Field field;
        std::string_view input, line;
    };
    // clang-format off
    const std::vector<Case> cases = {
        {&S::hud_fastswitch, "o1", R"(hud_fastswitch "1")"},
        {&S::hud_fastswitch, "o2", R"(hud_fastswitch "0")"},
        {&S::brightness, "3.0 (Sehr Hell)", R"(brightness "3.000000")"},
        {&S::brightness, "2.0 (Hell)",      R"(brightness "2.000000")"},
        {&S::brightness, "1.8",             R"(brightness "1.800000")"},
        {&S::brightness, "1.6",             R"(brightness "1.600000")"},
        {&S::brightness, "1.2",             R"(brightness "1.200000")"},
        {&S::brightness, "0 (Dunkel)",      R"(brightness "0.000000")"},
        {&S::gamma, "8 (Hell)",     R"(gamma "8.000000")"},
        {&S::gamma, "3.0",          R"(gamma "3.000000")"},
        {&S::gamma, "2.4",          R"(gamma "2.400000")"},
        {&S::gamma, "2.2",          R"(gamma "2.200000")"},
        {&S::gamma, "2",            R"(gamma "2.000000")"},
        {&S::gamma, "1.8 (Dunkel)", R"(gamma "1.80000")"},
        {&S::cl_crosshair_color, "Grün",     R"(cl_crosshair_color "50 250 50")"},
        {&S::cl_crosshair_color, "Gelb",     R"(cl_crosshair_color "250 250 50")"},
        {&S::cl_crosshair_color, "Rot",      R"(cl_crosshair_color "250 50 50")"},
        {&S::cl_crosshair_color, "Blau",     R"(cl_crosshair_color "50 50 250")"},
        {&S::cl_crosshair_color, "Hellblau", R"(cl_crosshair_color "50 250 250")"},
        {&S::cl_crosshair_color, "Weiß",     R"(cl_crosshair_color "255 255 255")"},
        {&S::fastsprites, "Hoch (Standard)",    R"(fastsprites "0")"},
        {&S::fastsprites, "Mittel",             R"(fastsprites "1")"},
        {&S::fastsprites, "Niedrig",            R"(fastsprites "2")"},
        {&S::cl_bob, "Keine Bewegungen",              R"(cl_bob "0")"},
        {&S::cl_bob, "Kleine Bewegungen",             R"(cl_bob "0.001")"},
        {&S::cl_bob, "Normale Bewegungen (Standard)", R"(cl_bob "0.01")"},
        {&S::net_graph, "Aus (Standard)", R"(net_graph "0")"},
        {&S::net_graph, "Standard",       R"(net_graph "1")"},
        {&S::net_graph, "Erweitert",      R"(net_graph "2")"},
        {&S::net_graph, "Lost/Choke",     R"(net_graph "3")"},
        {&S::net_graphpos, "Unten-Rechts", R"(net_graphpos "1")"},
        {&S::net_graphpos, "Unten-Mitte",  R"(net_graphpos "2")"},
        {&S::net_graphpos, "Unten-Links",  R"(net_graphpos "3")"},
        {&S::cl_weather, "o3", R"(cl_weather "1")"},
        {&S::cl_weather, "o4", R"(cl_weather "0")"},
        {&S::cl_crosshair_size, "o5", R"(cl_crosshair_size "small")"},
        {&S::cl_crosshair_size, "o6", R"(cl_crosshair_size "medium")"},
        {&S::cl_crosshair_size, "o7", R"(cl_crosshair_size "large")"},
        {&S::cl_crosshair_translucent, "o8", R"(cl_crosshair_translucent "1")"},
        {&S::cl_crosshair_translucent, "o9", R"(cl_crosshair_translucent "0")"},
        {&S::cl_dynamiccrosshair, "o10", R"(cl_dynamiccrosshair "1")"},
        {&S::cl_dynamiccrosshair, "o11", R"(cl_dynamiccrosshair "0")"},
        {&S::himodels, "o12", R"(himodels "1")"},
        {&S::himodels, "o13", R"(himodels "0")"},
        {&S::cl_righthand, "o14", R"(cl_righthand "0")"},
        {&S::cl_righthand, "o15", R"(cl_righthand "1")"},
        {&S::cl_shadows, "o16", R"(cl_shadows "1")"},
        {&S::cl_shadows, "o17", R"(cl_shadows "0")"},
        {&S::hisound, "o18", R"(hisound "1")"},
        {&S::hisound, "o19", R"(hisound "0")"},
        {&S::hud_centerid, "o20", R"(hud_centerid "1")"},
        {&S::hud_centerid, "o21", R"(hud_centerid "0")"},
        {&S::cl_allowdownload, "o22", R"(cl_allowdownload "1")"},
        {&S::cl_allowdownload, "o23", R"(cl_allowdownload "0")"},
        {&S::cl_allowupload, "o24", R"(cl_allowupload "1")"},
        {&S::cl_allowupload, "o25", R"(cl_allowupload "0")"},
        {&S::_vgui_menus, "o26", R"(setinfo "_vgui_menus""0")"},
        {&S::_vgui_menus, "o27", R"(setinfo "_vgui_menus""1")"},
    };
    // clang-format on
    for (const Case& c : cases) {
        SettingsState state;
        state.*c.field = std::string(c.input);
        EXPECT_EQ(composeUserconfig(state), fileWithLines({c.line})) << "input " << c.input;
    }
}

TEST(Userconfig, TextMatchingNoItemOrForeignButtonWritesNothing) {
    struct Case {
        Field field;
        std::string_view input;
    };
    // clang-format off
    const std::vector<Case> cases = {
        {&S::gamma, "2.2 "}, {&S::gamma, " 2.2"}, {&S::gamma, "1.8"}, {&S::brightness, "3.0"},
        {&S::cl_crosshair_color, "rot"}, {&S::cl_bob, "Kleine bewegungen"}, {&S::net_graph, "Aus"},
        {&S::hud_fastswitch, "o3"}, {&S::cl_righthand, "Links"}, {&S::_vgui_menus, "O26"},
    };
    // clang-format on
    for (const Case& c : cases) {
        SettingsState state;
        state.hud_fastswitch = "o1";
        state.net_graphpos = "Unten-Links";
        state.*c.field = std::string(c.input);
        const std::string neighbours = c.field == &S::hud_fastswitch
                                           ? fileWithLines({R"(net_graphpos "3")"})
                                           : fileWithLines({R"(hud_fastswitch "1")", R"(net_graphpos "3")"});
        EXPECT_EQ(composeUserconfig(state), neighbours) << "input " << c.input;
    }
}

TEST(Userconfig, WorkedExampleGivesSixLines) {
    SettingsState state;
    state.hud_fastswitch = "o1";
    state.gamma = "2.2";
    state.cl_righthand = "o15";
    state._vgui_menus = "o27";
    EXPECT_EQ(composeUserconfig(state), "hud_fastswitch \"1\"\r\n"
                                        "gamma \"2.200000\"\r\n"
                                        "cl_righthand \"1\"\r\n"
                                        "setinfo \"_vgui_menus\"\"1\"\r\n"
                                        "// User Angaben\r\n"
                                        "\r\n");
}

TEST(Userconfig, EverySettingChosenFollowsWriteOrder) {
    SettingsState state;
    state.nickname = "Spieler";
    state._vgui_menus = "o26";
    state.cl_allowupload = "o25";
    state.cl_allowdownload = "o22";
    state.hud_centerid = "o21";
    state.hisound = "o18";
    state.cl_shadows = "o17";
    state.cl_righthand = "o14";
    state.himodels = "o12";
    state.cl_dynamiccrosshair = "o11";
    state.cl_crosshair_translucent = "o8";
    state.cl_crosshair_size = "o7";
    state.cl_weather = "o4";
    state.net_graphpos = "Unten-Rechts";
    state.net_graph = "Lost/Choke";
    state.cl_bob = "Normale Bewegungen (Standard)";
    state.fastsprites = "Niedrig";
    state.cl_crosshair_color = "Hellblau";
    state.gamma = "8 (Hell)";
    state.brightness = "0 (Dunkel)";
    state.hud_fastswitch = "o2";
    state.manual_text = "bind \"F11\" \"vest\"";
    EXPECT_EQ(composeUserconfig(state), "name \"Spieler\"\r\n"
                                        "hud_fastswitch \"0\"\r\n"
                                        "brightness \"0.000000\"\r\n"
                                        "gamma \"8.000000\"\r\n"
                                        "cl_crosshair_color \"50 250 250\"\r\n"
                                        "fastsprites \"2\"\r\n"
                                        "cl_bob \"0.01\"\r\n"
                                        "net_graph \"3\"\r\n"
                                        "net_graphpos \"1\"\r\n"
                                        "cl_weather \"0\"\r\n"
                                        "cl_crosshair_size \"large\"\r\n"
                                        "cl_crosshair_translucent \"1\"\r\n"
                                        "cl_dynamiccrosshair \"0\"\r\n"
                                        "himodels \"1\"\r\n"
                                        "cl_righthand \"0\"\r\n"
                                        "cl_shadows \"0\"\r\n"
                                        "hisound \"1\"\r\n"
                                        "hud_centerid \"0\"\r\n"
                                        "cl_allowdownload \"1\"\r\n"
                                        "cl_allowupload \"0\"\r\n"
                                        "setinfo \"_vgui_menus\"\"0\"\r\n"
                                        "// User Angaben\r\n"
                                        "bind \"F11\" \"vest\"\r\n");
}

TEST(Userconfig, FreeTextIsWrittenAsOnePieceFollowedByOneBreak) {
    struct Case {
        std::string_view manual, tail;
    };
    // clang-format off
    const std::vector<Case> cases = {
        {"",                          "\r\n"},
        {"bind \"F11\" \"vest\"\r\n", "bind \"F11\" \"vest\"\r\n\r\n"},
        {"a\r\nb\r\nc",               "a\r\nb\r\nc\r\n"},
        {"\r\n\r\n",                  "\r\n\r\n\r\n"},
        {"mixed\nlf\r\nends",         "mixed\nlf\r\nends\r\n"},
        {"  spaced ; \"quoted\"  ",   "  spaced ; \"quoted\"  \r\n"},
    };
    // clang-format on
    for (const Case& c : cases) {
        SettingsState state;
        state.manual_text = std::string(c.manual);
        EXPECT_EQ(composeUserconfig(state), "// User Angaben\r\n" + std::string(c.tail));
    }
}

TEST(Userconfig, NicknameStaysOneCommandInTheNameLine) {
    struct Case {
        std::string_view nickname, written;
    };
    // clang-format off
    const std::vector<Case> cases = {
        {"",                  ""},
        {"   ",               ""},
        {"\r\n \t",           ""},
        {"  Hans Wurst  ",    "  Hans Wurst  "},
        {"Jörg;Weiß",         "Jörg;Weiß"},
        {"a \"b\" c",         "a 'b' c"},
        {"x\";quit;\"",       "x';quit;'"},
        {"line\r\nbreak",     "line  break"},
        {"cr\ronly\nlf",      "cr only lf"},
        {"tab\tstays",        "tab\tstays"},
    };
    // clang-format on
    for (const Case& c : cases) {
        SettingsState state;
        state.nickname = std::string(c.nickname);
        EXPECT_EQ(composeUserconfig(state), fileWithLines({}, c.written)) << c.nickname;
    }
}

TEST(Userconfig, LargeAndHostileInputsKeepTheirDocumentedBytes) {
    std::string nickname;
    std::string nicknameWritten;
    for (int i = 0; i < (1 << 20) / 8; ++i) {
        nickname += "a\"b;\r\n\xC3\xA4"; // 8 bytes: quote, semicolon, CR LF, umlaut
        nicknameWritten += "a'b;  \xC3\xA4";
    }
    std::string manual;
    for (int i = 0; i < (10 << 20) / 32; ++i) {
        manual += i % 2 ? "bind \"F1\" \"vest\"\r\n" : "say \xF0\x9F\x98\x80 \xE4\xB8\xAD;\xFFx\n\t\x01";
    }
    SettingsState state;
    state.nickname = nickname;
    state.manual_text = manual;
    const std::string bytes = composeUserconfig(state);

    std::string manualWritten;
    for (int i = 0; i < (10 << 20) / 32; ++i) {
        manualWritten += i % 2 ? "bind \"F1\" \"vest\"\r\n" : "say \xF0\x9F\x98\x80 \xE4\xB8\xAD;?x\n\t\x01";
    }
    EXPECT_EQ(bytes, "name \"" + nicknameWritten + "\"\r\n// User Angaben\r\n" + manualWritten + "\r\n");
}

TEST(Userconfig, NicknameTheGameRefusesIsNamed) {
    struct Case {
        std::string nickname;
        std::string_view reasonHolds; // "" when the game takes the name
    };
    const std::string longest(126, 'x');
    const std::string tooLong(127, 'x');
    const std::string umlautsTooLong = std::string(63, 'x') +
                                       "\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3"
                                       "\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3"
                                       "\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3"
                                       "\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4";
    // The cases only view their nicknames, so each must outlive the table.
    const std::string sixHundred(600, 'n');
    const std::string quoteAndBreak = "a\"\r\n" + std::string(123, 'x');
    // clang-format off
    const std::vector<Case> cases = {
        {"",                 ""},
        {"     ",            ""},
        {"Jörg",             ""},
        {"a \"b\" c",        ""},              // quotes become apostrophes first
        {"x.y.z",            ""},
        {"//;quit",          ""},
        {longest,            ""},              // 32 to 126 bytes are saved; servers keep 31
        {"back\\slash",      "Backslash"},
        {"\\",               "Backslash"},
        {"a..b",             "zwei Punkte"},
        {"...",              "zwei Punkte"},
        {tooLong,            "zu lang: 127 Bytes"},
        {umlautsTooLong,     "zu lang: 127 Bytes"},
        {sixHundred,         "zu lang: 600 Bytes"},
        {quoteAndBreak,      "zu lang: 127 Bytes"}, // CR LF count as the blanks written
    };
    // clang-format on
    for (const Case& c : cases) {
        const std::optional<std::string> reason = nicknameRefusal(c.nickname);
        if (c.reasonHolds.empty()) {
            EXPECT_FALSE(reason.has_value()) << c.nickname << ": " << reason.value_or("");
        } else {
            ASSERT_TRUE(reason.has_value()) << c.nickname;
            EXPECT_NE(reason->find(c.reasonHolds), std::string::npos) << *reason;
            EXPECT_NE(reason->find("Bitte"), std::string::npos) << "says what to change: " << *reason;
        }
    }
}

TEST(Userconfig, IllFormedUtf8BecomesOneQuestionMarkPerPiece) {
    struct Case {
        std::string_view name, in, out;
    };
    // clang-format off
    const std::vector<Case> cases = {
        {"umlauts stay UTF-8",      "Grün Weiß",              "Grün Weiß"},
        {"emoji and CJK stay",      "a😀b中文",               "a😀b中文"},
        {"Windows-1252 umlaut",     "J\xF6rg",                "J?rg"},
        {"control characters stay", std::string_view("\t\x01\x7F\0", 4), std::string_view("\t\x01\x7F\0", 4)},
        {"lone continuation byte",  "a\x80z",                 "a?z"},
        {"truncated two-byte",      "a\xC3",                  "a?"},
        {"truncated three-byte",    "a\xE2\x82z",             "a?z"},
        {"overlong slash",          "\xC0\xAF",               "??"},
        {"overlong three-byte",     "\xE0\x80\xAF",           "???"},
        {"encoded surrogate",       "\xED\xA0\x80",           "???"},
        {"above U+10FFFF",          "\xF4\x90\x80\x80",       "????"},
        {"invalid lead bytes",      "\xFF\xFE",               "??"},
        {"valid after broken",      "\xE2\x82\xC3\xA4",       "?ä"},
        {"four-byte truncated",     "\xF0\x9F\x98",           "?"},
    };
    // clang-format on
    for (const Case& c : cases) {
        SettingsState state;
        state.manual_text = std::string(c.in);
        EXPECT_EQ(composeUserconfig(state), "// User Angaben\r\n" + std::string(c.out) + "\r\n") << c.name;
        state.manual_text.clear();
        state.nickname = "n" + std::string(c.in);
        EXPECT_EQ(composeUserconfig(state), fileWithLines({}, "n" + nameLineSafe(c.out))) << c.name;
    }
}

} // namespace
} // namespace setforge::config
