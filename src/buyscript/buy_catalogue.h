#pragma once

#include "game/keys.h"

#include <array>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace setforge::buyscript {

// Whether the game's bind knows a key is the game's rule; the buy line's users find it here.
using game::isGameKey;

// Which team can buy an item; shown by the colour of its marker.
enum class TeamSide { BothSides, AntiTerrorist, Terrorist };

struct BuyItem {
    std::string_view checkBox; // "c1".."c34"
    std::string_view caption;
    std::string_view group; // caption of the frame that holds the check box
    std::string_view alias; // buy command with its trailing ';'
    TeamSide side;
    std::int16_t pictureIndex; // index of the marker beside the check box
};

namespace detail {
using enum TeamSide;
// clang-format off
// The 34 items in the order their aliases are written, which is also their top-to-bottom order
// inside each group: check box, caption, group, alias, side, marker index. The sides are the
// game's: which team's buy command hands the item out.
inline constexpr std::array<BuyItem, 34> Items {{
    {"c1",  "9X19MM SIDEARM",         "Pistols",        "glock;",    BothSides,     0},
    {"c2",  "KM .45 TACTICAL",        "Pistols",        "usp;",      BothSides,     1},
    {"c3",  "228 COMPACT",            "Pistols",        "p228;",     BothSides,     2},
    {"c4",  "NIGHT HAWK .50C",        "Pistols",        "deagle;",   BothSides,     3},
    {"c5",  "ES FIVE-SEVEN",          "Pistols",        "fn57;",     AntiTerrorist, 4},
    {"c6",  ".40 DUAL ELITES",        "Pistols",        "elites;",   Terrorist,     5},
    {"c7",  "LEONE 12 GAUGE SUPER",   "SHOTGUNS",       "m3;",       BothSides,     6},
    {"c8",  "LEONE YG1265 AUTO",      "SHOTGUNS",       "xm1014;",   BothSides,     7},
    {"c9",  "SCHMIDT MACHINE PISTOL", "SUBMACHINE GUN", "tmp;",      AntiTerrorist, 8},
    {"c10", "KM SUB-MACHINE GUN",     "SUBMACHINE GUN", "mp5;",      BothSides,     9},
    {"c11", "KM UMP-45",              "SUBMACHINE GUN", "ump45;",    BothSides,     10},
    {"c12", "ES C90",                 "SUBMACHINE GUN", "p90;",      BothSides,     11},
    {"c13", "INGRAM MAC-10",          "SUBMACHINE GUN", "mac10;",    Terrorist,     12},
    {"c14", "CLARION 5.56",           "RIFLES",         "famas;",    AntiTerrorist, 13},
    {"c15", "SCHMIDT SCOUT",          "RIFLES",         "scout;",    BothSides,     14},
    {"c16", "MAVERICK M4A1 CARBINE",  "RIFLES",         "m4a1;",     AntiTerrorist, 15},
    {"c17", "BULLPUP",                "RIFLES",         "bullpup;",  AntiTerrorist, 16},
    {"c18", "KRIEG 550 COMMANDO",     "RIFLES",         "sg550;",    AntiTerrorist, 17},
    {"c34", "D3/AU-1",                "RIFLES",         "g3sg1;",    Terrorist,     37},
    {"c19", "MAGNUM SNIPER RIFLE",    "RIFLES",         "awp;",      BothSides,     18},
    {"c20", "IDF DEFENDER",           "RIFLES",         "galil;",    Terrorist,     19},
    {"c21", "KRIEG 552",              "RIFLES",         "sg552;",    Terrorist,     20},
    {"c22", "CV-47",                  "RIFLES",         "ak47;",     Terrorist,     33},
    {"c23", "M249",                   "MACHINE GUNS",   "m249;",     BothSides,     21},
    {"c24", "KEVLAR",                 "EQUIPMENT",      "vest;",     BothSides,     22},
    {"c25", "KEVLAR+HELMET",          "EQUIPMENT",      "vesthelm;", BothSides,     23},
    {"c26", "FLASHBANG",              "EQUIPMENT",      "flash;",    BothSides,     24},
    {"c27", "HE GRENADE",             "EQUIPMENT",      "hegren;",   BothSides,     25},
    {"c28", "SMOKE GRENADE",          "EQUIPMENT",      "sgren;",    BothSides,     26},
    {"c29", "DEFUSAL KIT",            "EQUIPMENT",      "defuser;",  AntiTerrorist, 27},
    {"c30", "NIGHTVISION",            "EQUIPMENT",      "nvgs;",     BothSides,     28},
    {"c31", "TACTICAL SHIELD",        "EQUIPMENT",      "shield;",   AntiTerrorist, 29},
    {"c32", "Primary",                "AMMO",           "primammo;", BothSides,     30},
    {"c33", "Secondary",              "AMMO",           "secammo;",  BothSides,     31},
}};
// clang-format on
} // namespace detail

inline constexpr const auto& BuyCatalogue = detail::Items;

// `bind "<key>" "<alias>;…;<alias>"` + "\r\n" with the aliases of the ticked check boxes
// ("c1".."c34") in catalogue order. The key is written as `bindableKey` gives it; other names are
// ignored. Check the key with `isGameKey` first: an unknown key makes a line that binds nothing.
[[nodiscard]] std::string ComposeBuyScript(std::string_view key, const std::set<std::string>& ticked);
// The same with `kept`, the words of an edited bind that are no alias of the catalogue, after the
// catalogue's aliases in their own order, so that editing a bind never drops what it did.
[[nodiscard]] std::string ComposeBuyScript(std::string_view key, const std::set<std::string>& ticked,
                                           const std::vector<std::string>& kept);

// The message that explains the buy script to the player.
inline constexpr std::string_view BuyScriptInfoTitle = "Buy-Script Infos";
[[nodiscard]] std::string buyScriptInfoText();

} // namespace setforge::buyscript
