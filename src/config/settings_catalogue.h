#pragma once

#include "config/settings_state.h"

#include <array>
#include <span>
#include <string_view>

namespace setforge::config {

enum class SettingKind { OptionGroup, List };
enum class LineForm { Cvar, Setinfo };

struct ChoiceSpec {
    std::string_view display; // option caption or list item text
    std::string_view control; // option button standing for the choice; "" for list items
    std::string_view value;   // written between the quotes of the setting's line
};

struct SettingSpec {
    std::string_view key;   // console variable (for _vgui_menus the setinfo key)
    std::string_view label; // German row label
    SettingKind kind;
    std::span<const ChoiceSpec> choices;
    LineForm lineForm;
    std::string SettingsState::*field; // where the state keeps this setting's current choice
};

namespace detail {
// clang-format off
// display text, option button, value written
inline constexpr std::array<ChoiceSpec, 2> FastSwitch  {{ {"Ja", "o1", "1"},  {"Nein", "o2", "0"} }};
inline constexpr std::array<ChoiceSpec, 2> Weather     {{ {"Ja", "o3", "1"},  {"Nein", "o4", "0"} }};
inline constexpr std::array<ChoiceSpec, 3> CrossSize   {{ {"Klein", "o5", "small"}, {"Mittel", "o6", "medium"}, {"Groß", "o7", "large"} }};
inline constexpr std::array<ChoiceSpec, 2> CrossTransl {{ {"Ja", "o8", "1"},  {"Nein", "o9", "0"} }};
inline constexpr std::array<ChoiceSpec, 2> DynCross    {{ {"Ja", "o10", "1"}, {"Nein", "o11", "0"} }};
inline constexpr std::array<ChoiceSpec, 2> HiModels    {{ {"Ja", "o12", "1"}, {"Nein", "o13", "0"} }};
// The game's cl_righthand 1 means right-handed view models; a non-zero _vgui_menus, graphical menus.
inline constexpr std::array<ChoiceSpec, 2> RightHand   {{ {"Links", "o14", "0"}, {"Rechts", "o15", "1"} }};
inline constexpr std::array<ChoiceSpec, 2> Shadows     {{ {"Ja", "o16", "1"}, {"Nein", "o17", "0"} }};
inline constexpr std::array<ChoiceSpec, 2> HiSound     {{ {"Ja", "o18", "1"}, {"Nein", "o19", "0"} }};
inline constexpr std::array<ChoiceSpec, 2> CenterId    {{ {"Ja", "o20", "1"}, {"Nein", "o21", "0"} }};
inline constexpr std::array<ChoiceSpec, 2> Download    {{ {"Ja", "o22", "1"}, {"Nein", "o23", "0"} }};
inline constexpr std::array<ChoiceSpec, 2> Upload      {{ {"Ja", "o24", "1"}, {"Nein", "o25", "0"} }};
inline constexpr std::array<ChoiceSpec, 2> VguiMenus   {{ {"Text", "o26", "0"}, {"Grafisch", "o27", "1"} }};

// List items in the order they are shown. "1.6" writes six decimals like its neighbours;
// cl_bob uses a decimal point because the game parses cvar numbers with atof, which stops at a comma.
inline constexpr std::array<ChoiceSpec, 6> Brightness {{
    {"3.0 (Sehr Hell)", "", "3.000000"}, {"2.0 (Hell)", "", "2.000000"}, {"1.8", "", "1.800000"},
    {"1.6", "", "1.600000"},             {"1.2", "", "1.200000"},        {"0 (Dunkel)", "", "0.000000"} }};
inline constexpr std::array<ChoiceSpec, 6> Gamma {{
    {"8 (Hell)", "", "8.000000"}, {"3.0", "", "3.000000"}, {"2.4", "", "2.400000"},
    {"2.2", "", "2.200000"},      {"2", "", "2.000000"},   {"1.8 (Dunkel)", "", "1.80000"} }};
inline constexpr std::array<ChoiceSpec, 6> CrossColor {{
    {"Grün", "", "50 250 50"}, {"Gelb", "", "250 250 50"},     {"Rot", "", "250 50 50"},
    {"Blau", "", "50 50 250"}, {"Hellblau", "", "50 250 250"}, {"Weiß", "", "255 255 255"} }};
inline constexpr std::array<ChoiceSpec, 3> FastSprites {{
    {"Hoch (Standard)", "", "0"}, {"Mittel", "", "1"}, {"Niedrig", "", "2"} }};
inline constexpr std::array<ChoiceSpec, 3> Bob {{
    {"Keine Bewegungen", "", "0"}, {"Kleine Bewegungen", "", "0.001"}, {"Normale Bewegungen (Standard)", "", "0.01"} }};
inline constexpr std::array<ChoiceSpec, 4> NetGraph {{
    {"Aus (Standard)", "", "0"}, {"Standard", "", "1"}, {"Erweitert", "", "2"}, {"Lost/Choke", "", "3"} }};
inline constexpr std::array<ChoiceSpec, 3> NetGraphPos {{
    {"Unten-Rechts", "", "1"}, {"Unten-Mitte", "", "2"}, {"Unten-Links", "", "3"} }};

using enum SettingKind;
using S = SettingsState;

// The twenty settings in the order their lines are written:
// key, label, kind, choices, line form, state field
inline constexpr std::array<SettingSpec, 20> Settings {{
    {"hud_fastswitch",           "Schnelles Waffenswitchen",      OptionGroup, FastSwitch,  LineForm::Cvar,    &S::hud_fastswitch},
    {"brightness",               "Helligkeit",                    List,        Brightness,  LineForm::Cvar,    &S::brightness},
    {"gamma",                    "Gamma",                         List,        Gamma,       LineForm::Cvar,    &S::gamma},
    {"cl_crosshair_color",       "Crosshair Farbe",               List,        CrossColor,  LineForm::Cvar,    &S::cl_crosshair_color},
    {"fastsprites",              "Smokegrenade Qualität",         List,        FastSprites, LineForm::Cvar,    &S::fastsprites},
    {"cl_bob",                   "Waffenbewegungen",              List,        Bob,         LineForm::Cvar,    &S::cl_bob},
    {"net_graph",                "Net Graph Anzeige",             List,        NetGraph,    LineForm::Cvar,    &S::net_graph},
    {"net_graphpos",             "Net Graph Position",            List,        NetGraphPos, LineForm::Cvar,    &S::net_graphpos},
    {"cl_weather",               "Wetter (z.B. Regen bei Aztec)", OptionGroup, Weather,     LineForm::Cvar,    &S::cl_weather},
    {"cl_crosshair_size",        "Crosshair Größe",               OptionGroup, CrossSize,   LineForm::Cvar,    &S::cl_crosshair_size},
    {"cl_crosshair_translucent", "Crosshair transparent",         OptionGroup, CrossTransl, LineForm::Cvar,    &S::cl_crosshair_translucent},
    {"cl_dynamiccrosshair",      "Dynamisches Crosshair",         OptionGroup, DynCross,    LineForm::Cvar,    &S::cl_dynamiccrosshair},
    {"himodels",                 "Hohe Modeldetails",             OptionGroup, HiModels,    LineForm::Cvar,    &S::himodels},
    {"cl_righthand",             "Waffenhand",                    OptionGroup, RightHand,   LineForm::Cvar,    &S::cl_righthand},
    {"cl_shadows",               "Schatten",                      OptionGroup, Shadows,     LineForm::Cvar,    &S::cl_shadows},
    {"hisound",                  "Hohe Soundqualität",            OptionGroup, HiSound,     LineForm::Cvar,    &S::hisound},
    {"hud_centerid",             "Spielernamen mittig",           OptionGroup, CenterId,    LineForm::Cvar,    &S::hud_centerid},
    {"cl_allowdownload",         "Download erlauben",             OptionGroup, Download,    LineForm::Cvar,    &S::cl_allowdownload},
    {"cl_allowupload",           "Upload erlauben",               OptionGroup, Upload,      LineForm::Cvar,    &S::cl_allowupload},
    {"_vgui_menus",              "Kaufmenü",                      OptionGroup, VguiMenus,   LineForm::Setinfo, &S::_vgui_menus},
}};
// clang-format on
} // namespace detail

inline constexpr const auto& SettingsCatalogue = detail::Settings;

// The setting with this key, or nullptr.
[[nodiscard]] const SettingSpec* findSetting(std::string_view key);

// The list item whose display text equals `text` exactly (same characters, same case, no trimming).
// An empty text, or a setting that is not a list, finds nothing.
[[nodiscard]] const ChoiceSpec* findListChoice(const SettingSpec& setting, std::string_view text);

// The choice an option button stands for in its group, or nullptr.
[[nodiscard]] const ChoiceSpec* findOptionChoice(const SettingSpec& setting, std::string_view optionButton);

// The setting's current choice in `state`, or nullptr when it has none.
[[nodiscard]] const ChoiceSpec* currentChoice(const SettingSpec& setting, const SettingsState& state);

} // namespace setforge::config
