#include "buyscript/buy_catalogue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace setforge::buyscript {
namespace {

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
        {"unknown names",       "x",       {"c0", "c34", "C1", "o1", ""}, "bind \"x\" \"\"\r\n"},
        {"umlaut key",          "ä",       {"c31", "c30"},               "bind \"ä\" \"nvgs;shield\"\r\n"},
    };
    // clang-format on
    for (const Case& c : cases) {
        EXPECT_EQ(ComposeBuyScript(c.key, c.ticked), c.line) << c.name;
    }
}

TEST(ComposeBuyScript, AllItemsGiveTheFullLine) {
    std::set<std::string> all;
    for (int i = 1; i <= 33; ++i) {
        all.insert("c" + std::to_string(i));
    }
    const std::string line = ComposeBuyScript("F11", all);
    EXPECT_EQ(line, "bind \"F11\" \"glock;usp;p228;deagle;fn57;elites;m3;xm1014;tmp;mp5;ump45;p90;mac10;famas;scout;"
                    "m4a1;bullpup;sg550;awp;galil;sg552;ak47;m249;vest;vesthelm;flash;hegren;sgren;defuser;nvgs;"
                    "shield;primammo;secammo\"\r\n");
    EXPECT_EQ(line.size(), 209u);
}

TEST(ComposeBuyScript, KeyHasNoLengthLimit) {
    const std::string key = std::string(100000, 'k') + "\"; quit; \"\xF0\x9F\x98\x80";
    EXPECT_EQ(ComposeBuyScript(key, {"c1", "c33"}), "bind \"" + key + "\" \"glock;secammo\"\r\n");
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
    EXPECT_EQ(*markers.rbegin(), 33);
}

TEST(BuyScriptInfo, SixLinesJoinedByCrLf) {
    EXPECT_EQ(BuyScriptInfoTitle, "Buy-Script Infos");
    EXPECT_EQ(buyScriptInfoText(), "Die Taste die Sie angegeben haben,\r\n"
                                   "muss im gültigen bereich\r\n"
                                   "von Counter Strike 1.6 liegen.\r\n"
                                   "\r\n"
                                   "Wenn eine Taste schon in der Haupt Config belegt\r\n"
                                   "wurde, wird diese durch die userconfig, überschrieben!");
}

} // namespace
} // namespace setforge::buyscript
