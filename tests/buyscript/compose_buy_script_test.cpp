#include "buyscript/buy_catalogue.h"
#include "support/game_console.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace setforge::buyscript {
namespace {

// The key names and the reading of a pressed key are the game's rules.
using namespace setforge::game;

TEST(ComposeBuyScript, AliasesFollowCatalogueOrderWithoutTrailingSeparator) {
    struct Case {
        std::string_view name, key;
        std::set<std::string> ticked;
        std::string_view line;
    };
    // clang-format off
    const std::vector<Case> cases = {
        {"one item",            "F11",     {"c24"},                      "bind \"F11\" \"vest\"\r\n"},
        {"four items",          "F11",     {"c1", "c25", "c27", "c32"},  "bind \"F11\" \"glock;vesthelm;hegren;primammo\"\r\n"},
        {"order of ticking",    "F11",     {"c22", "c1"},                "bind \"F11\" \"glock;ak47\"\r\n"},
        {"nothing ticked",      "F11",     {},                           "bind \"F11\" \"\"\r\n"},
        {"empty key",           "",        {"c1"},                       "bind \"\" \"glock\"\r\n"},
        {"key keeps blanks",    "  f 1 ",  {"c33"},                      "bind \"  f 1 \" \"secammo\"\r\n"},
        {"quote kept as typed", "a\"b",    {"c2"},                       "bind \"a\"b\" \"usp\"\r\n"},
        {"both teams kept",     "KP_END",  {"c5", "c6"},                 "bind \"KP_END\" \"fn57;elites\"\r\n"},
        {"unknown names",       "x",       {"c0", "c35", "C1", "o1", ""}, "bind \"x\" \"\"\r\n"},
        {"d3au1 after sg550",   "F3",      {"c34", "c19", "c18", "c22"}, "bind \"F3\" \"sg550;g3sg1;awp;ak47\"\r\n"},
        {"umlaut key",          "ä",       {"c31", "c30"},               "bind \"ä\" \"nvgs;shield\"\r\n"},
        {"capital letter lower", "Q",      {"c24"},                      "bind \"q\" \"vest\"\r\n"},
        {"small letter stays",  "q",       {"c24"},                      "bind \"q\" \"vest\"\r\n"},
        {"name keeps its case", "mouse4",  {"c24"},                      "bind \"mouse4\" \"vest\"\r\n"},
        {"two capitals stay",   "QQ",      {"c24"},                      "bind \"QQ\" \"vest\"\r\n"},
    };
    // clang-format on
    for (const Case& c : cases) {
        EXPECT_EQ(ComposeBuyScript(c.key, c.ticked), c.line) << c.name;
    }
}

TEST(ComposeBuyScript, AllItemsGiveTheFullLine) {
    std::set<std::string> all;
    for (int i = 1; i <= 34; ++i) {
        all.insert("c" + std::to_string(i));
    }
    const std::string line = ComposeBuyScript("F11", all);
    EXPECT_EQ(line, "bind \"F11\" \"glock;usp;p228;deagle;fn57;elites;m3;xm1014;tmp;mp5;ump45;p90;mac10;famas;scout;"
                    "m4a1;bullpup;sg550;g3sg1;awp;galil;sg552;ak47;m249;vest;vesthelm;flash;hegren;sgren;defuser;nvgs;"
                    "shield;primammo;secammo\"\r\n");
    EXPECT_EQ(line.size(), 215u);
}

TEST(ComposeBuyScript, KeyHasNoLengthLimit) {
    const std::string key = std::string(100000, 'k') + "\"; quit; \"\xF0\x9F\x98\x80";
    EXPECT_EQ(ComposeBuyScript(key, {"c1", "c33"}), "bind \"" + key + "\" \"glock;secammo\"\r\n");
}

TEST(GameKeys, AcceptsWhatTheGamesBindFinds) {
    struct Case {
        std::string_view key;
        bool known;
    };
    // clang-format off
    const std::vector<Case> cases = {
        {"F5", true}, {"f12", true}, {"KP_END", true}, {"kp_end", true}, {"MOUSE4", true}, {"Mouse5", true},
        {"MWHEELUP", true}, {"mwheeldown", true}, {"SPACE", true}, {"TAB", true}, {"ENTER", true},
        {"SEMICOLON", true}, {"UPARROW", true}, {"PGDN", true}, {"INS", true}, {"KP_5", true}, {"KP_PLUS", true},
        {"q", true}, {"Q", true}, {"5", true}, {";", true}, {"'", true}, {"\\", true}, {"~", true}, {"!", true},
        {"", false}, {" ", false}, {"\"", false}, {"ä", false}, {"MOUSE 4", false}, {"MOUSE6", false},
        {"F13", false}, {"F0", false}, {"KP_6", false}, {" F5", false}, {"F5 ", false}, {"\t", false},
        {"\x7F", false}, {"F\"5", false}, {"qq", false},
    };
    // clang-format on
    for (const Case& c : cases) {
        EXPECT_EQ(game::isGameKey(c.key), c.known) << "key '" << c.key << "'";
    }
    EXPECT_FALSE(game::isGameKey(std::string(600, 'F')));
}

TEST(GameKeys, EveryAcceptedSingleCharacterBindsAsOneCommand) {
    for (int c = 0; c < 256; ++c) {
        const std::string key(1, static_cast<char>(c));
        if (!game::isGameKey(key)) {
            continue;
        }
        const auto commands = testing::readConsole(ComposeBuyScript(key, {"c24", "c27"}));
        ASSERT_EQ(commands.size(), 1u) << "key " << c;
        EXPECT_EQ(commands[0], (testing::Command{"bind", game::bindableKey(key), "vest;hegren"})) << "key " << c;
        EXPECT_TRUE(c < 'A' || c > 'Z' || commands[0][1] == std::string(1, static_cast<char>(c - 'A' + 'a')));
    }
}

TEST(GameKeys, PressedKeyGivesTheGamesNameOrSaysWhyNot) {
    struct Case {
        std::uint16_t scanCode;
        char32_t layoutChar;
        std::string_view name;
        std::string_view noteHas; // "" = no note
        bool refused;
    };
    // clang-format off
    const std::vector<Case> cases = {
        {0x3F,  0,    "F5",           "", false},           {0x4F,  0,    "KP_END",       "", false},
        {0x4F,  U'1', "KP_END",       "", false},           {0x14F, 0,    "END",          "", false},
        {0x11C, 0,    "KP_ENTER",     "", false},           {0x1C,  0,    "ENTER",        "", false},
        {0x135, U'/', "KP_SLASH",     "", false},           {0x45,  0,    "PAUSE",        "", false},
        {0x10,  U'Q', "q",            "", false},           {0x10,  U'q', "q",            "", false},
        {0x10,  0,    "q",            "", false},           {0x27,  U';', "SEMICOLON",    "", false},
        {0x02,  U'1', "1",            "", false},           {0x39,  U' ', "SPACE",        "", false},
        {0x2A,  0,    "SHIFT",        "", false},           {0x138, 0,    "ALT",          "", false},
        {0x148, 0,    "UPARROW",      "", false},           {0x33,  U',', ",",            "", false},
        {0,     U'k', "k",            "", false},           {0,     U';', "SEMICOLON",    "", false},
        // a German keyboard: Z and Y change places, Ö sits where the US ';' is
        {0x15,  U'Z', "", "„z“",      false},               {0x2C,  U'y', "", "„z“ nennt oder nach dem Zeichen „y“", false},
        {0x27,  0xD6, "", "„ö“",      false},               {0x35,  U'-', "", "„/“", false},
        {0x0D,  game::DeadKey, "", "Akzent", false},
        {0x01,  0,    "", "Menü",     true},                {0x29,  U'^', "", "Konsole", true},
        {0x15B, 0,    "", "Windows",  true},                {0x15C, 0,    "", "Windows", true},
        {0x145, 0,    "", "Num Lock", true},                {0x37,  U'*', "", "*",       true},
        {0x56,  U'<', "", "keinen Namen", true},            {0x1FF, 0,    "", "keinen Namen", true},
        {0,     0xE4, "", "keinen Namen", true},            {0,     U'"', "", "keinen Namen", true},
    };
    // clang-format on
    for (const Case& c : cases) {
        const KeyReading reading = game::readPressedKey({c.scanCode, c.layoutChar});
        EXPECT_EQ(reading.name, c.name) << std::hex << c.scanCode;
        EXPECT_EQ(reading.refused, c.refused) << std::hex << c.scanCode;
        EXPECT_EQ(reading.note.empty(), c.noteHas.empty()) << std::hex << c.scanCode << ": " << reading.note;
        EXPECT_NE(reading.note.find(c.noteHas), std::string::npos) << std::hex << c.scanCode << ": " << reading.note;
        EXPECT_TRUE(reading.name.empty() || game::isGameKey(reading.name)) << reading.name;
    }
    EXPECT_EQ(game::mouseButtonKey(1), "MOUSE1");
    EXPECT_EQ(game::mouseButtonKey(4), "MOUSE4");
    EXPECT_EQ(game::mouseButtonKey(5), "MOUSE5");
    EXPECT_EQ(game::mouseButtonKey(0), "");
    EXPECT_EQ(game::mouseButtonKey(6), "");
    EXPECT_EQ(game::wheelKey(true), "MWHEELUP");
    EXPECT_EQ(game::wheelKey(false), "MWHEELDOWN");
}

TEST(GameKeys, MessageNamesTheKeyAndExamplesButNeverWhole) {
    const std::string shortKey = game::unknownKeyMessage("MOUSE 4");
    EXPECT_NE(shortKey.find("\"MOUSE 4\""), std::string::npos);
    for (std::string_view example : {"F5", "KP_END", "MOUSE4", " q"}) {
        EXPECT_NE(shortKey.find(example), std::string::npos) << example;
    }
    const std::string longKey = game::unknownKeyMessage(std::string(39, 'x') + "äää" + std::string(600, 'y'));
    EXPECT_EQ(longKey.find("yyy"), std::string::npos);
    EXPECT_NE(longKey.find(std::string(39, 'x') + "…"), std::string::npos) << "an umlaut is never cut in two";
}

// A fix is offered only for the key the player surely meant: a German cap's name, or one name
// nearer than every other; never for a tie or a name that shares no letter with the key.
TEST(GameKeys, MeantKeyOnlyWhenClear) {
    const std::vector<std::pair<std::string, std::optional<std::string_view>>> cases{
        {"MAUS4", "MOUSE4"},        {"Entf", "DEL"},         {"Num 5", "KP_5"},
        {"ESC", "ESCAPE"},          {"Pos1", "HOME"},        {"KP END", "KP_END"},
        {"KP_ENTERR", "KP_ENTER"},  {"MOUSE 4", "MOUSE4"},   {"\xC3\xB6", std::nullopt},
        {"\xC3\x9F", std::nullopt}, {"WURST", std::nullopt}, {"F13", std::nullopt}};
    for (const auto& [key, meant] : cases) {
        EXPECT_EQ(game::meantGameKey(key), meant) << key;
        EXPECT_TRUE(!meant || game::nearGameKeys(key).front() == *meant) << key;
    }
}

TEST(BuyCatalogue, GroupsAreContiguousAndMarkersUnique) {
    std::vector<std::string_view> groupOrder;
    std::set<std::int16_t> markers;
    for (const BuyItem& item : BuyCatalogue) {
        if (groupOrder.empty() || groupOrder.back() != item.group) {
            EXPECT_EQ(std::ranges::count(groupOrder, item.group), 0) << item.group << " split";
            groupOrder.push_back(item.group);
        }
        EXPECT_TRUE(markers.insert(item.pictureIndex).second) << item.checkBox;
        EXPECT_EQ(item.alias.back(), ';') << item.checkBox;
    }
    EXPECT_EQ(groupOrder, (std::vector<std::string_view>{"Pistols", "SHOTGUNS", "SUBMACHINE GUN", "RIFLES",
                                                         "MACHINE GUNS", "EQUIPMENT", "AMMO"}));
    EXPECT_FALSE(markers.contains(32));
    EXPECT_EQ(*markers.rbegin(), 37);
    EXPECT_FALSE(markers.contains(34) || markers.contains(35) || markers.contains(36)) << "the legend's markers";
}

// Which team's buy command hands the item out, as the game decides it (a wrong colour sends a
// player to buy what his team cannot have).
TEST(BuyCatalogue, SidesAreTheGames) {
    using enum TeamSide;
    // clang-format off
    const std::map<std::string_view, TeamSide> sides = {
        {"fn57", AntiTerrorist}, {"tmp", AntiTerrorist}, {"famas", AntiTerrorist}, {"m4a1", AntiTerrorist},
        {"bullpup", AntiTerrorist}, {"sg550", AntiTerrorist}, {"defuser", AntiTerrorist}, {"shield", AntiTerrorist},
        {"elites", Terrorist}, {"mac10", Terrorist}, {"galil", Terrorist}, {"sg552", Terrorist}, {"ak47", Terrorist},
        {"g3sg1", Terrorist},
    };
    // clang-format on
    for (const BuyItem& item : BuyCatalogue) {
        const std::string_view alias = item.alias.substr(0, item.alias.size() - 1);
        const auto side = sides.find(alias);
        EXPECT_EQ(item.side, side == sides.end() ? BothSides : side->second) << alias;
    }
    const auto* d3au1 = std::ranges::find(BuyCatalogue, std::string_view("c34"), &BuyItem::checkBox);
    ASSERT_NE(d3au1, BuyCatalogue.end());
    EXPECT_EQ(d3au1->caption, "D3/AU-1");
    EXPECT_EQ(d3au1->group, "RIFLES");
    EXPECT_EQ(d3au1->pictureIndex, 37);
    EXPECT_EQ((d3au1 - 1)->checkBox, "c18") << "stands right after KRIEG 550 COMMANDO";
}

// The message box breaks lines only at CR LF: a lone CR or LF would show as a glyph or merge lines.
TEST(BuyScriptInfo, SixLinesJoinedByCrLf) {
    const std::string text = buyScriptInfoText();
    std::vector<std::string> lines;
    for (std::size_t begin = 0;;) {
        const std::size_t end = text.find("\r\n", begin);
        lines.push_back(text.substr(begin, end == std::string::npos ? std::string::npos : end - begin));
        if (end == std::string::npos) {
            break;
        }
        begin = end + 2;
    }
    ASSERT_EQ(lines.size(), 6u) << text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i].find_first_of("\r\n"), std::string::npos) << i;
        EXPECT_EQ(lines[i].empty(), i == 3) << "one blank line between the two paragraphs, at " << i;
    }
    EXPECT_FALSE(BuyScriptInfoTitle.empty());
}

} // namespace
} // namespace setforge::buyscript
