#pragma once

#include "config/settings_catalogue.h"

#include <array>
#include <cstddef>
#include <string_view>

namespace setforge::windows {

enum class SettingsFrame { General, Internet };

// Where a setting stands on the main window. Row i places catalogue row i; the keys are checked
// against the catalogue when compiling.
struct SettingRow {
    std::string_view key;
    SettingsFrame frame;
    int row;                   // place in the frame, counted from 1 at the top
    int controlTop;            // twips; lists sit a little higher than their label in some rows
    std::string_view control;  // the list's name, or the picture box that makes an option pair its own group
    std::array<int, 3> widths; // option widths, left to right (twips)
    int boxGrey;               // the list's background grey
};

// clang-format off
// key, frame, row, control top, list or option container, option widths, list grey
inline constexpr std::array<SettingRow, 20> SettingRows {{
    {"hud_fastswitch",           SettingsFrame::General,  2,  720,  "Picture5",  {495, 1095, 0},   0},
    {"brightness",               SettingsFrame::General,  3,  1080, "bg",        {},               224},
    {"gamma",                    SettingsFrame::General,  4,  1440, "ga",        {},               224},
    {"cl_crosshair_color",       SettingsFrame::General,  7,  2460, "cfarbe",    {},               224},
    {"fastsprites",              SettingsFrame::General,  13, 4620, "squali",    {},               224},
    {"cl_bob",                   SettingsFrame::General,  17, 6060, "wbew",      {},               224},
    {"net_graph",                SettingsFrame::Internet, 3,  1020, "c1",        {},               224},
    {"net_graphpos",             SettingsFrame::Internet, 4,  1380, "c2",        {},               227},
    {"cl_weather",               SettingsFrame::General,  5,  1800, "Picture6",  {855, 855, 0},    0},
    {"cl_crosshair_size",        SettingsFrame::General,  6,  2160, "Picture7",  {855, 855, 855},  0},
    {"cl_crosshair_translucent", SettingsFrame::General,  8,  2880, "Picture8",  {495, 735, 0},    0},
    {"cl_dynamiccrosshair",      SettingsFrame::General,  9,  3240, "Picture9",  {495, 735, 0},    0},
    {"himodels",                 SettingsFrame::General,  10, 3600, "Picture10", {495, 735, 0},    0},
    {"cl_righthand",             SettingsFrame::General,  11, 3960, "Picture11", {855, 975, 0},    0},
    {"cl_shadows",               SettingsFrame::General,  12, 4320, "Picture12", {495, 735, 0},    0},
    {"hisound",                  SettingsFrame::General,  14, 5040, "Picture13", {495, 735, 0},    0},
    {"hud_centerid",             SettingsFrame::General,  15, 5400, "Picture14", {495, 735, 0},    0},
    {"cl_allowdownload",         SettingsFrame::Internet, 1,  360,  "Picture16", {495, 735, 0},    0},
    {"cl_allowupload",           SettingsFrame::Internet, 2,  720,  "Picture17", {495, 735, 0},    0},
    {"_vgui_menus",              SettingsFrame::General,  16, 5760, "Picture15", {855, 975, 0},    0},
}};
// clang-format on

[[nodiscard]] consteval bool rowsPlaceTheCatalogue() {
    for (std::size_t i = 0; i < SettingRows.size(); ++i) {
        if (SettingRows[i].key != config::SettingsCatalogue[i].key) {
            return false;
        }
    }
    return SettingRows.size() == config::SettingsCatalogue.size();
}
static_assert(rowsPlaceTheCatalogue(), "every catalogue row needs its place on the main window, in the same order");

// The index of a setting's row, for the few rows the window treats apart.
[[nodiscard]] consteval std::size_t rowOf(std::string_view key) {
    for (std::size_t i = 0; i < SettingRows.size(); ++i) {
        if (SettingRows[i].key == key) {
            return i;
        }
    }
    throw "no such setting"; // not a constant expression: a wrong key fails to compile
}

[[nodiscard]] constexpr std::string_view frameCaption(SettingsFrame frame) {
    return frame == SettingsFrame::General ? "Allgemeine Einstellungen" : "Internet Einstellungen";
}

} // namespace setforge::windows
