#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The game's crosshair as its client draws it: four one-pixel arms around the screen centre,
// their distance from the centre set by the weapon, its state and the shots fired, scaled by the
// screen width and cl_crosshair_size.
namespace setforge::game {

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
// What the weapon is in the game's buy menu; only firearms' shots widen the crosshair.
enum class WeaponClass { Pistol, Shotgun, SubmachineGun, Rifle, MachineGun, SniperRifle, Knife, Grenade, Bomb };

struct CrosshairWeapon {
    std::string_view name;    // the game's name without "weapon_"
    std::string_view display; // as the player knows it
    int distance;             // base distance from the centre, before scaling
    int delta;                // growth per shot
    unsigned flags;           // CrosshairFlag bits
    WeaponMode mode;
    bool hasCrosshair;
    WeaponClass weaponClass;
    // Milliseconds from one shot to the next with the trigger held (semi-automatics: clicked as
    // fast as the game takes another shot); for the burst mode from one burst to the next, and
    // between the three shots of one burst.
    double cycle, burstCycle, burstGap;
};

namespace detail {
using enum WeaponMode;
using enum WeaponClass;
constexpr unsigned ADS = AirFlag | DuckFlag | SpeedFlag;
constexpr unsigned AS = AirFlag | SpeedFlag;
// clang-format off
// name, display, base distance, delta, flags, second mode, crosshair drawn, class, and the game
// code's cycle times (each weapon's PrimaryAttack and its Fire function: the semi-automatic
// pistols take 0.05 s, the USP and the Desert Eagle 0.075 s, the Elites 0.125 s off the time they
// pass on). MP5: 6/2 as two of the three reconstructions read it (the third says 6/3).
inline constexpr std::array<CrosshairWeapon, 29> Weapons {{
    {"glock18",      "Glock 18",        8, 3, ADS,     Burst,    true,  Pistol,        150, 500, 100},
    {"usp",          "USP",             8, 3, ADS,     Silencer, true,  Pistol,        150,   0,   0},
    {"p228",         "P228",            8, 3, ADS,     None,     true,  Pistol,        150,   0,   0},
    {"deagle",       "Desert Eagle",    8, 3, ADS,     None,     true,  Pistol,        225,   0,   0},
    {"fiveseven",    "Five-SeveN",      8, 3, ADS,     None,     true,  Pistol,        150,   0,   0},
    {"elite",        "Dual Elites",     4, 3, NoFlags, None,     true,  Pistol,         75,   0,   0},
    {"m3",           "M3",              8, 6, NoFlags, None,     true,  Shotgun,       875,   0,   0},
    {"xm1014",       "XM1014",          9, 4, NoFlags, None,     true,  Shotgun,       250,   0,   0},
    {"mac10",        "MAC-10",          9, 3, AirFlag, None,     true,  SubmachineGun,  70,   0,   0},
    {"tmp",          "TMP",             7, 3, AirFlag, None,     true,  SubmachineGun,  70,   0,   0},
    {"mp5navy",      "MP5 Navy",        6, 2, AirFlag, None,     true,  SubmachineGun,  75,   0,   0},
    {"ump45",        "UMP45",           6, 3, AirFlag, None,     true,  SubmachineGun, 100,   0,   0},
    {"p90",          "P90",             7, 3, AS,      None,     true,  SubmachineGun,  66,   0,   0},
    {"galil",        "Galil",           4, 3, AS,      None,     true,  Rifle,        87.5,   0,   0},
    {"famas",        "FAMAS",           4, 3, AS,      Burst,    true,  Rifle,        82.5, 550,  50},
    {"ak47",         "AK-47",           4, 4, AS,      None,     true,  Rifle,        95.5,   0,   0},
    {"m4a1",         "M4A1",            4, 3, AS,      Silencer, true,  Rifle,        87.5,   0,   0},
    {"sg552",        "SG 552",          5, 3, AS,      None,     true,  Rifle,        82.5,   0,   0},
    {"aug",          "AUG",             3, 3, AS,      None,     true,  Rifle,        82.5,   0,   0},
    {"m249",         "M249",            6, 3, AS,      None,     true,  MachineGun,    100,   0,   0},
    {"scout",        "Scout",           0, 0, NoFlags, None,     false, SniperRifle,     0,   0,   0},
    {"awp",          "AWP",             0, 0, NoFlags, None,     false, SniperRifle,     0,   0,   0},
    {"sg550",        "SG 550",          0, 0, NoFlags, None,     false, SniperRifle,     0,   0,   0},
    {"g3sg1",        "G3/SG-1",         0, 0, NoFlags, None,     false, SniperRifle,     0,   0,   0},
    {"knife",        "Messer",          7, 3, NoFlags, None,     true,  Knife,           0,   0,   0},
    {"hegrenade",    "HE-Granate",      8, 3, NoFlags, None,     true,  Grenade,         0,   0,   0},
    {"flashbang",    "Blendgranate",    8, 3, NoFlags, None,     true,  Grenade,         0,   0,   0},
    {"smokegrenade", "Rauchgranate",    8, 3, NoFlags, None,     true,  Grenade,         0,   0,   0},
    {"c4",           "C4",              6, 3, NoFlags, None,     true,  Bomb,            0,   0,   0},
}};
// clang-format on
} // namespace detail

inline constexpr const auto& CrosshairWeapons = detail::Weapons;

// The weapon with this name (any case), or nullptr.
[[nodiscard]] const CrosshairWeapon* findCrosshairWeapon(std::string_view name);

// True for the firearms: only their fire events count the shots that widen the gap; the knife,
// the grenades and the C4 never widen it.
[[nodiscard]] bool shotsWidenCrosshair(const CrosshairWeapon& weapon);

// When each of `shots` shots leaves the weapon with the trigger held, in milliseconds after the
// first; empty for a weapon whose attacks never widen the crosshair or that draws none.
[[nodiscard]] std::vector<double> crosshairShotTimes(const CrosshairWeapon& weapon, bool secondMode, int shots);

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

// cl_crosshair_size as the client reads it: a number (leading blanks and a sign as strtol takes
// them, anything after the digits ignored), or a name in any case. A number above 3, a text that
// is neither, or a 0 written other than "0" is refused and the size before stays; a negative
// number is large.
enum class CrosshairSize { Auto, Small, Medium, Large, Kept };
[[nodiscard]] CrosshairSize readCrosshairSize(std::string_view text);

// The divisor the width is scaled by. A size the game refuses keeps the one before, which from
// the start is "auto".
[[nodiscard]] int crosshairScaleBase(int screenWidth, std::string_view size);

// How far the farthest arm pixel lies from the centre pixel, in screen pixels; 0 without arms.
[[nodiscard]] int crosshairReach(const CrosshairFrame& frame, int screenWidth, int screenHeight);
// The widest reach any weapon takes at this screen size and cl_crosshair_size, in any movement
// and mode, however long it fires.
[[nodiscard]] int widestCrosshairReach(int screenWidth, int screenHeight, std::string_view size);
// The widest reach this weapon in this movement and mode takes: at rest, or after as many shots as
// widen it to the limit.
[[nodiscard]] int widestCrosshairReach(int screenWidth, int screenHeight, std::string_view size,
                                       const CrosshairState& state);

struct Rgb {
    std::uint8_t r, g, b;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// cl_crosshair_color as the client reads it: up to three integers as sscanf("%d %d %d") takes
// them (blanks before each, a sign), each clamped to 0-255; a channel that is missing or not a
// number is 0.
[[nodiscard]] Rgb readCrosshairColour(std::string_view text);
// cl_crosshair_translucent and cl_dynamiccrosshair: on when the number at the start of the text
// (the float variableNumber reads) is not 0, so "0.0", "abc" and "1e-50" are off.
[[nodiscard]] bool readCvarSwitch(std::string_view text);

// The four cvars the crosshair follows, in the order CrosshairLook::sources gives them.
inline constexpr std::array<std::string_view, 4> CrosshairCvars{"cl_crosshair_color", "cl_crosshair_size",
                                                                "cl_crosshair_translucent", "cl_dynamiccrosshair"};

// One pixel of an arm over `background`: added and capped per channel when additive, otherwise
// mixed by alpha.
[[nodiscard]] Rgb blendCrosshairPixel(Rgb background, Rgb colour, int alpha, bool additive);

// Screen sizes to preview, smallest first, and the one shown first on a monitor of this size: the
// largest that fits on it whole, the smallest when none does.
inline constexpr std::array<std::array<int, 2>, 13> PreviewResolutions{{{640, 480},
                                                                        {800, 600},
                                                                        {1024, 768},
                                                                        {1152, 864},
                                                                        {1280, 720},
                                                                        {1280, 960},
                                                                        {1280, 1024},
                                                                        {1366, 768},
                                                                        {1600, 900},
                                                                        {1680, 1050},
                                                                        {1920, 1080},
                                                                        {1920, 1200},
                                                                        {2560, 1440}}};
[[nodiscard]] std::size_t defaultPreviewResolution(int monitorWidth, int monitorHeight);

} // namespace setforge::game
