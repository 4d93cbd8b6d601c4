#pragma once

// The crosshair the whole file leaves the game with: the game client's drawing rules (game/crosshair.h)
// fed with the last value each crosshair cvar gets from the window or the player's own lines.
#include "config/settings_state.h"
#include "game/crosshair.h"

#include <array>
#include <cstddef>
#include <string>

namespace setforge::config {

// The drawing rules are the game's; the file's users have always found them here.
using game::crosshairAtRest;
using game::CrosshairRect;

// Where the value a cvar has after the file ran comes from.
struct CrosshairSource {
    bool set = false;          // false: the file never sets it and the game's default holds
    bool fromFreeText = false; // the player's own lines rather than the window's choice
    std::size_t line = 0;      // 1-based line of the free text, when fromFreeText
    std::string value;         // the value as written, or the default
};

struct CrosshairLook {
    game::Rgb colour;
    bool additive;    // cl_crosshair_translucent on: the arms lighten what lies behind them
    bool dynamic;     // cl_dynamiccrosshair
    std::string size; // cl_crosshair_size as the file leaves it
    std::array<CrosshairSource, 4> sources;
};

// Colour, draw mode, dynamic switch and size as the whole file leaves them: the last value each
// cvar gets, from the window's choice or from the free text, read as the client reads it; a cvar
// the file never sets keeps the game's default (green 50 250 50, translucent, dynamic, auto).
[[nodiscard]] CrosshairLook crosshairLook(const SettingsState& state);

} // namespace setforge::config
