#pragma once

#include <string>

namespace setforge::config {

// The main window's inputs at the moment a config is written. A default-constructed
// record is the window at start: nothing typed, nothing chosen.
struct SettingsState {
    std::string nickname; // UTF-8
    // The selected option button's name ("o1".."o27"), "" when the pair has no choice.
    std::string hud_fastswitch, cl_weather, cl_crosshair_size, cl_crosshair_translucent, cl_dynamiccrosshair, himodels,
        cl_righthand, cl_shadows, hisound, hud_centerid, cl_allowdownload, cl_allowupload, _vgui_menus;
    // The list's current text, "" when no item is chosen.
    std::string brightness, gamma, cl_crosshair_color, fastsprites, cl_bob, net_graph, net_graphpos;
    std::string manual_text; // whole free text, lines separated by "\r\n"
};

} // namespace setforge::config
