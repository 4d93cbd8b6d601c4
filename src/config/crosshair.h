#pragma once

#include "config/settings_state.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

// The game's crosshair as its client draws it: four one-pixel arms around the screen centre,
// their distance from the centre set by the weapon, its state and the shots fired, scaled by the
// screen width and cl_crosshair_size.
namespace setforge::config {

struct CrosshairRect {
    int x, y, width, height; // screen pixels
};

// At rest (standing, no shot): the four arms, or none for weapons without a crosshair.
// size: "auto", "small", "medium", "large" or "0".."3", any case; weapon: the game's
// weapon name without "weapon_" ("ak47", "m4a1", "deagle", "usp", "glock18", "awp", ...).
// An unknown weapon name has none either.
[[nodiscard]] std::vector<CrosshairRect> crosshairAtRest(int screenWidth, int screenHeight, std::string_view size,
                                                         std::string_view weapon);

// How the weapon spreads while the player moves; only weapons with a flag react to that.
enum CrosshairFlag : unsigned { NoFlags = 0, AirFlag = 1, DuckFlag = 2, SpeedFlag = 4 };
// The weapon's second mode that widens the crosshair by 1.4 with the dynamic crosshair on.
enum class WeaponMode { None, Silencer, Burst };

struct CrosshairWeapon {
    std::string_view name;    // the game's name without "weapon_"
    std::string_view display; // as the player knows it
    int distance;             // base distance from the centre, before scaling
    int delta;                // growth per shot
    unsigned flags;           // CrosshairFlag bits
    WeaponMode mode;
    bool hasCrosshair;
};

namespace detail {
using enum WeaponMode;
constexpr unsigned ADS = AirFlag | DuckFlag | SpeedFlag;
// clang-format off
// name, display, base distance, delta, flags, second mode, crosshair drawn.
// MP5: 6/2 as two of the three reconstructions read it (the third says 6/3).
inline constexpr std::array<CrosshairWeapon, 29> Weapons {{
    {"glock18",      "Glock 18",        8, 3, ADS,     Burst,    true},
    {"usp",          "USP",             8, 3, ADS,     Silencer, true},
    {"p228",         "P228",            8, 3, ADS,     None,     true},
    {"deagle",       "Desert Eagle",    8, 3, ADS,     None,     true},
    {"fiveseven",    "Five-SeveN",      8, 3, ADS,     None,     true},
    {"elite",        "Dual Elites",     4, 3, NoFlags, None,     true},
    {"m3",           "M3",              8, 6, NoFlags, None,     true},
    {"xm1014",       "XM1014",          9, 4, NoFlags, None,     true},
    {"mac10",        "MAC-10",          9, 3, AirFlag, None,     true},
    {"tmp",          "TMP",             7, 3, AirFlag, None,     true},
    {"mp5navy",      "MP5 Navy",        6, 2, AirFlag, None,     true},
    {"ump45",        "UMP45",           6, 3, AirFlag, None,     true},
    {"p90",          "P90",             7, 3, ADS,     None,     true},
    {"galil",        "Galil",           4, 3, ADS,     None,     true},
    {"famas",        "FAMAS",           4, 3, ADS,     Burst,    true},
    {"ak47",         "AK-47",           4, 4, ADS,     None,     true},
    {"m4a1",         "M4A1",            4, 3, ADS,     Silencer, true},
    {"sg552",        "SG 552",          5, 3, ADS,     None,     true},
    {"aug",          "AUG",             3, 3, ADS,     None,     true},
    {"m249",         "M249",            6, 3, ADS,     None,     true},
    {"scout",        "Scout",           0, 0, NoFlags, None,     false},
    {"awp",          "AWP",             0, 0, NoFlags, None,     false},
    {"sg550",        "SG 550",          0, 0, NoFlags, None,     false},
    {"g3sg1",        "G3/SG-1",         0, 0, NoFlags, None,     false},
    {"knife",        "Messer",          7, 3, NoFlags, None,     true},
    {"hegrenade",    "HE-Granate",      8, 3, NoFlags, None,     true},
    {"flashbang",    "Blendgranate",    8, 3, NoFlags, None,     true},
    {"smokegrenade", "Rauchgranate",    8, 3, NoFlags, None,     true},
    {"c4",           "C4",              6, 3, NoFlags, None,     true},
}};
// clang-format on
} // namespace detail

inline constexpr const auto& CrosshairWeapons = detail::Weapons;

// The weapon with this name (any case), or nullptr.
[[nodiscard]] const CrosshairWeapon* findCrosshairWeapon(std::string_view name);

// Standing; running at full speed (faster than the limit of every weapon that has one: 140 for
// the rifles and the M249, 170 for the P90, 0 for the pistols); ducking; in the air.
enum class Movement { Standing, Running, Ducking, InAir };

struct CrosshairState {
    std::string_view weapon = "ak47";
    Movement movement = Movement::Standing;
    bool secondMode = false; // silencer on, or burst fire, where the weapon has it
    bool dynamic = true;     // cl_dynamiccrosshair; the game's default is on
    int shots = 0;           // shots in a row, one per frame, from rest
};

// What the game keeps between frames: the gap before scaling and the arms' alpha.
struct CrosshairRecoil {
    float distance = 0;
    int alpha = 255;
};

struct CrosshairFrame {
    std::vector<CrosshairRect> arms; // right, bottom, left, top; empty when none is drawn
    int alpha = 255;
    int distance = 0; // the weapon's distance after the movement modifiers, before scaling
};

// The base distance after the movement modifiers, or nullopt for weapons without a crosshair.
[[nodiscard]] std::optional<int> crosshairDistance(const CrosshairState& state);

// One frame of the game's HUD: a shot widens the gap by the weapon's delta (to at most 15) and
// dims the arms; a frame without one lets the gap shrink and the arms brighten again.
[[nodiscard]] CrosshairRecoil nextCrosshairFrame(CrosshairRecoil recoil, int distance, int delta, bool shot);

// The arms for `state`, after state.shots shots from rest.
[[nodiscard]] CrosshairFrame crosshairFrame(int screenWidth, int screenHeight, std::string_view size,
                                            const CrosshairState& state);
// The arms for a gap the caller tracks frame by frame (the preview's burst).
[[nodiscard]] CrosshairFrame crosshairFrame(int screenWidth, int screenHeight, std::string_view size,
                                            const CrosshairState& state, CrosshairRecoil recoil);

// The divisor the width is scaled by. The game ignores a size it does not know and keeps the one
// before, which from the start is "auto".
[[nodiscard]] int crosshairScaleBase(int screenWidth, std::string_view size);

struct Rgb {
    std::uint8_t r, g, b;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

struct CrosshairLook {
    Rgb colour;
    bool additive;         // cl_crosshair_translucent 1: the arms lighten what lies behind them
    bool dynamic;          // cl_dynamiccrosshair
    std::string_view size; // cl_crosshair_size as the game reads it
};

// Colour, draw mode, dynamic switch and size as the window's choices set them; a setting without a
// choice keeps the game's default (green 50 250 50, translucent, dynamic, auto).
[[nodiscard]] CrosshairLook crosshairLook(const SettingsState& state);

// One pixel of an arm over `background`: added and capped per channel when additive, otherwise
// mixed by alpha.
[[nodiscard]] Rgb blendCrosshairPixel(Rgb background, Rgb colour, int alpha, bool additive);

// Screen sizes to preview, smallest first, and the one shown first on a monitor of this size: the
// largest that fits on it whole, the smallest when none does.
inline constexpr std::array<std::array<int, 2>, 7> PreviewResolutions{
    {{640, 480}, {800, 600}, {1024, 768}, {1280, 960}, {1280, 1024}, {1600, 900}, {1920, 1080}}};
[[nodiscard]] std::size_t defaultPreviewResolution(int monitorWidth, int monitorHeight);

} // namespace setforge::config
