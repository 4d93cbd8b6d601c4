#include "config/crosshair.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace setforge::game {

using config::crosshairLook;
using config::CrosshairLook;
using config::SettingsState;
namespace {

using enum Movement;

// "x,y wxh" per arm: right, bottom, left, top.
std::string arms(const std::vector<CrosshairRect>& rects) {
    std::ostringstream out;
    for (const CrosshairRect& r : rects) {
        out << r.x << "," << r.y << " " << r.width << "x" << r.height << "; ";
    }
    return out.str();
}

TEST(Crosshair, WorkedExamplesGiveTheseArms) {
    EXPECT_EQ(arms(crosshairAtRest(1920, 1080, "large", "ak47")),
              "972,540 15x1; 960,552 1x15; 934,540 15x1; 960,514 1x15; ");
    // D = 5.12: the left and top arms end one pixel further out than the right and bottom ones.
    EXPECT_EQ(arms(crosshairAtRest(1024, 768, "MEDIUM", "AK47")),
              "517,384 6x1; 512,389 1x6; 501,384 6x1; 512,373 1x6; ");
}

TEST(Crosshair, ArmLengthFollowsSizeAndWidth) {
    // The size table, its number forms, and "auto" (unknown sizes too) away from 640 and 1024,
    // where the reconstructions disagree.
    // clang-format off
    const std::vector<std::tuple<std::string_view, int, int>> cases{
        {"large", 640, 5},  {"large", 800, 6},  {"3", 1024, 8},   {"Large", 1280, 10}, {"large", 1920, 15},
        {"medium", 640, 4}, {"medium", 800, 5}, {"2", 1024, 6},   {"medium", 1280, 8}, {"medium", 1920, 12},
        {"small", 640, 3},  {"SMALL", 800, 3},  {"1", 1024, 5},   {"small", 1280, 6},  {"small", 1920, 9},
        {"auto", 320, 1},   {"auto", 639, 3},   {"AUTO", 800, 5}, {"0", 1023, 6},      {"auto", 1280, 10},
        {"huge", 639, 3},   {"", 1280, 10}};
    // clang-format on
    for (const auto& [size, width, length] : cases) {
        EXPECT_EQ(crosshairAtRest(width, 480, size, "m4a1").at(0).width, length) << size << " " << width;
    }
}

TEST(Crosshair, EveryWeaponHasItsDistanceAndGrowth) {
    // clang-format off
    const std::vector<std::tuple<std::string, int, int>> cases{
        {"p228 glock18 usp deagle fiveseven", 8, 3}, {"xm1014", 9, 4}, {"m3", 8, 6}, {"mac10", 9, 3}, {"tmp p90", 7, 3},
        {"ump45 m249", 6, 3}, {"mp5navy", 6, 2}, {"sg552", 5, 3}, {"aug", 3, 3}, {"ak47", 4, 4},
        {"m4a1 famas galil elite", 4, 3}, {"awp scout sg550 g3sg1", -1, 0}, // no crosshair
        {"knife", 7, 0}, {"hegrenade flashbang smokegrenade", 8, 0}, {"c4", 6, 0}}; // attacks never widen
    // clang-format on
    std::size_t weapons = 0;
    for (const auto& [names, distance, delta] : cases) {
        std::istringstream list(names);
        for (std::string name; list >> name; ++weapons) {
            // At 640 wide and "large" nothing is scaled: the right arm starts at the distance itself.
            const CrosshairFrame rest = crosshairFrame(640, 480, "large", {.weapon = name});
            const CrosshairFrame shot = crosshairFrame(640, 480, "large", {.weapon = name, .shots = 1});
            EXPECT_EQ(rest.arms.empty() ? -1 : rest.arms[0].x - 320, distance) << name;
            EXPECT_EQ(shot.arms.empty() ? 0 : shot.arms[0].x - 320 - distance, delta) << name;
            EXPECT_EQ(shot.arms.empty() ? 0 : shot.arms[0].width, rest.arms.empty() ? 0 : delta / 2 + 5) << name;
        }
    }
    EXPECT_EQ(weapons, CrosshairWeapons.size());
    for (std::string_view unknown : {"weapon_ak47", "", "shield"}) {
        EXPECT_TRUE(crosshairAtRest(1920, 1080, "large", unknown).empty()) << unknown;
    }
}

TEST(Crosshair, MovementModesAndShotsChangeTheGap) {
    struct Case {
        CrosshairState state;
        int distance, alpha; // distance from the centre at 640 wide, "large"
    };
    // clang-format off
    const std::vector<Case> cases{
        {{.weapon = "ak47"}, 4, 255},                          {{.weapon = "ak47", .movement = InAir}, 8, 255},
        {{.weapon = "ak47", .movement = Ducking}, 4, 255},     {{.weapon = "ak47", .movement = Running}, 6, 255},
        {{.weapon = "aug", .movement = Running}, 4, 255},      {{.weapon = "deagle"}, 8, 255}, // not faster than 0
        {{.weapon = "deagle", .movement = Running}, 12, 255},  {{.weapon = "mac10", .movement = InAir}, 18, 255},
        {{.weapon = "mac10", .movement = Ducking}, 9, 255},    {{.weapon = "mac10", .movement = Running}, 9, 255},
        {{.weapon = "m3", .movement = InAir}, 8, 255},         {{.weapon = "usp", .secondMode = true}, 11, 255},
        {{.weapon = "glock18", .secondMode = true}, 11, 255},  {{.weapon = "m4a1", .secondMode = true}, 5, 255},
        {{.weapon = "famas", .secondMode = true}, 5, 255},     {{.weapon = "ak47", .secondMode = true}, 4, 255},
        {{.weapon = "usp", .movement = Ducking, .secondMode = true}, 5, 255},          // 8 x 0.5 x 1.4
        {{.weapon = "ak47", .movement = InAir, .dynamic = false}, 4, 255},
        {{.weapon = "usp", .secondMode = true, .dynamic = false}, 8, 255},
        {{.weapon = "ak47", .movement = InAir, .dynamic = false, .shots = 1}, 8, 215}, // shots still count
        {{.weapon = "ak47", .shots = 3}, 15, 135},                                     // 4 + 3 x 4, at most 15
        {{.weapon = "mac10", .movement = InAir, .shots = 5}, 18, 120},                 // already wider than 15
    };
    // clang-format on
    for (const Case& c : cases) {
        const CrosshairFrame frame = crosshairFrame(640, 480, "large", c.state);
        EXPECT_EQ(frame.arms.at(0).x - 320, c.distance) << c.state.weapon << " " << static_cast<int>(c.state.movement);
        EXPECT_EQ(frame.alpha, c.alpha) << c.state.weapon << " shots " << c.state.shots;
    }
}

TEST(Crosshair, LookAndBlendFollowTheWindowsChoices) {
    SettingsState state; // no choice: the game's green, additive, dynamic, auto
    const CrosshairLook initial = crosshairLook(state);
    EXPECT_TRUE(initial.colour == (Rgb{50, 250, 50}) && initial.additive && initial.dynamic && initial.size == "auto");
    state.cl_crosshair_color = "Rot";
    state.cl_crosshair_translucent = "o9";
    state.cl_dynamiccrosshair = "o11";
    state.cl_crosshair_size = "o5";
    const CrosshairLook look = crosshairLook(state);
    EXPECT_TRUE(look.colour == (Rgb{250, 50, 50}) && !look.additive && !look.dynamic && look.size == "small");
    // The free text runs after the window's lines: its last value wins, read as the client reads it.
    state.manual_text = "cl_dynamiccrosshair \"2\"\r\ncl_crosshair_color \"255 0\"\r\ncl_crosshair_translucent \"1.5\"";
    const CrosshairLook file = crosshairLook(state);
    EXPECT_TRUE(file.colour == (Rgb{255, 0, 0}) && file.additive && file.dynamic && file.size == "small");
    EXPECT_TRUE(file.sources[0].fromFreeText && file.sources[0].line == 2 && file.sources[0].value == "255 0");
    EXPECT_TRUE(file.sources[1].set && !file.sources[1].fromFreeText);

    struct Case {
        Rgb below, colour;
        int alpha;
        bool additive;
        Rgb seen;
    };
    // clang-format off
    const std::vector<Case> cases{{{186, 214, 240}, {50, 250, 50}, 255, true, {236, 255, 255}},
                                  {{24, 26, 30}, {50, 250, 50}, 255, true, {74, 255, 80}},
                                  {{255, 255, 255}, {250, 50, 50}, 255, true, {255, 255, 255}},
                                  {{255, 255, 255}, {250, 50, 50}, 255, false, {250, 50, 50}},
                                  {{0, 0, 0}, {250, 50, 50}, 120, false, {118, 24, 24}},
                                  {{100, 100, 100}, {250, 50, 50}, 120, true, {218, 124, 124}}};
    // clang-format on
    for (const Case& c : cases) {
        EXPECT_EQ(blendCrosshairPixel(c.below, c.colour, c.alpha, c.additive), c.seen) << c.alpha << c.additive;
    }
    // The preview starts at the largest listed screen size the monitor shows whole.
    for (const auto& [width, height, chosen] :
         std::vector<std::tuple<int, int, std::array<int, 2>>>{{1024, 768, {1024, 768}},
                                                               {1366, 768, {1366, 768}},
                                                               {1600, 1200, {1600, 900}},
                                                               {3840, 2160, {2560, 1440}},
                                                               {320, 200, {640, 480}}}) {
        EXPECT_EQ(PreviewResolutions.at(defaultPreviewResolution(width, height)), chosen) << width << "x" << height;
    }
}

TEST(Crosshair, OnlyFlaggedWeaponsFollowTheMovement) {
    // Distance at 640 wide, "large", standing / running / ducking / in the air, dynamic on: the
    // five pistols have all three flags, the rifles and the P90 no duck flag, four SMGs only air.
    // clang-format off
    const std::vector<std::tuple<std::string, std::array<int, 4>>> cases{
        {"p228 fiveseven deagle usp glock18", {8, 12, 4, 16}},
        {"ak47 m4a1 famas galil", {4, 6, 4, 8}}, {"aug", {3, 4, 3, 6}}, {"sg552", {5, 7, 5, 10}},
        {"m249", {6, 9, 6, 12}}, {"p90", {7, 10, 7, 14}},
        {"mac10", {9, 9, 9, 18}}, {"ump45 mp5navy", {6, 6, 6, 12}}, {"tmp", {7, 7, 7, 14}},
        {"elite", {4, 4, 4, 4}}, {"m3", {8, 8, 8, 8}}, {"xm1014", {9, 9, 9, 9}}, {"knife", {7, 7, 7, 7}},
        {"hegrenade flashbang smokegrenade", {8, 8, 8, 8}}, {"c4", {6, 6, 6, 6}}};
    // clang-format on
    std::size_t weapons = 0;
    for (const auto& [names, distances] : cases) {
        std::istringstream list(names);
        for (std::string name; list >> name; ++weapons) {
            for (const Movement movement : {Standing, Running, Ducking, InAir}) {
                EXPECT_EQ(crosshairDistance({.weapon = name, .movement = movement}),
                          distances.at(static_cast<std::size_t>(movement)))
                    << name << " movement " << static_cast<int>(movement);
            }
        }
    }
    EXPECT_EQ(weapons, CrosshairWeapons.size() - 4); // all but the scoped rifles
}

TEST(Crosshair, OnlyFirearmsShotsWidenAtTheirOwnRate) {
    struct Case {
        const char* weapon;
        bool secondMode;
        std::vector<double> times; // four shots, ms after the first; none where attacks never widen
    };
    // clang-format off
    const std::vector<Case> cases{
        {"glock18", false, {0, 150, 300, 450}}, {"glock18", true, {0, 100, 200, 500}},  // pistol, burst
        {"deagle", false, {0, 225, 450, 675}},  {"elite", false, {0, 75, 150, 225}},
        {"m3", false, {0, 875, 1750, 2625}},    {"xm1014", false, {0, 250, 500, 750}},   // shotguns
        {"mp5navy", false, {0, 75, 150, 225}},  {"p90", false, {0, 66, 132, 198}},       // SMGs
        {"ak47", false, {0, 95.5, 191, 286.5}}, {"famas", true, {0, 50, 100, 550}},      // rifles
        {"m4a1", true, {0, 87.5, 175, 262.5}},  {"m249", false, {0, 100, 200, 300}},     // silencer, MG
        {"awp", false, {}}, {"knife", false, {}}, {"flashbang", false, {}}, {"c4", false, {}}};
    // clang-format on
    for (const Case& c : cases) {
        const CrosshairWeapon& weapon = *findCrosshairWeapon(c.weapon);
        EXPECT_EQ(crosshairShotTimes(weapon, c.secondMode, 4), c.times) << c.weapon;
        EXPECT_EQ(shotsWidenCrosshair(weapon), !c.times.empty()) << c.weapon;
        // Three shots dim and widen a firearm's arms; the knife's stay as at rest.
        const CrosshairFrame fired = crosshairFrame(640, 480, "large", {.weapon = c.weapon, .shots = 3});
        const CrosshairFrame rest = crosshairFrame(640, 480, "large", {.weapon = c.weapon});
        EXPECT_EQ(fired.alpha < 255, !c.times.empty()) << c.weapon;
        EXPECT_EQ(!rest.arms.empty() && fired.arms[0].x > rest.arms[0].x, !c.times.empty()) << c.weapon;
    }
}

TEST(Crosshair, ValuesAreReadAsTheClientReadsThem) {
    // clang-format off
    const std::vector<std::pair<std::string_view, Rgb>> colours{
        {"0 0 255", {0, 0, 255}}, {"0", {0, 0, 0}}, {"255 0", {255, 0, 0}}, {"red", {0, 0, 0}}, {"", {0, 0, 0}},
        {"255,0,0", {255, 0, 0}}, {"+255 +0 +0", {255, 0, 0}}, {"300 -5 128", {255, 0, 128}},
        {" 50\t250\n50", {50, 250, 50}}, {"12abc 5 6", {12, 0, 0}}, {"1 2 3 4", {1, 2, 3}},
        {"99999999999 1 2", {255, 1, 2}}, {std::string_view("7 8\0 9", 6), {7, 8, 0}}};
    const std::vector<std::pair<std::string_view, CrosshairSize>> sizes{
        {"auto", CrosshairSize::Auto}, {"AUTO", CrosshairSize::Auto}, {"0", CrosshairSize::Auto},
        {" 0", CrosshairSize::Kept}, {"00", CrosshairSize::Kept}, {"+1", CrosshairSize::Small},
        {"1abc", CrosshairSize::Small}, {"Medium", CrosshairSize::Medium}, {"2", CrosshairSize::Medium},
        {" 3", CrosshairSize::Large}, {"3.9", CrosshairSize::Large}, {"-2", CrosshairSize::Large},
        {"4", CrosshairSize::Kept}, {"huge", CrosshairSize::Kept}, {"", CrosshairSize::Kept}};
    const std::vector<std::pair<std::string_view, bool>> switches{
        {"0", false}, {"0.0", false}, {"abc", false}, {"", false}, {"-0", false}, {"0x0", false}, {"0.0.5", false},
        {"1", true}, {"2", true}, {" 1", true}, {"+1", true}, {".5", true}, {"0x10", true}, {"1e-3", true}, {"1e-50", false},
        {"nan", true}};
    // clang-format on
    for (const auto& [text, rgb] : colours) {
        EXPECT_EQ(readCrosshairColour(text), rgb) << text;
    }
    for (const auto& [text, size] : sizes) {
        EXPECT_EQ(readCrosshairSize(text), size) << text;
    }
    for (const auto& [text, on] : switches) {
        EXPECT_EQ(readCvarSwitch(text), on) << text;
    }
    // A size the game refuses keeps the one before, "auto" from the start.
    EXPECT_EQ(crosshairScaleBase(1920, " 0"), 640);
    EXPECT_EQ(crosshairScaleBase(800, "-2"), 640);
}

TEST(Crosshair, WidestReachCoversEveryWeaponInEveryState) {
    // The burst Glock in the air (22 from the centre, 5 long) and the AUG at the limit (15, 11)
    // reach farthest: 1 px past 80 at 1920 wide, so a 160 px view cuts it.
    // clang-format off
    const std::vector<std::tuple<int, int, std::string_view, int>> cases{
        {1920, 1080, "large", 80}, {2560, 1440, "large", 107}, {640, 480, "large", 26}, {1920, 1080, "small", 50}}; // 41.25 + 9: the left arm one further out
    // clang-format on
    for (const auto& [width, height, size, reach] : cases) {
        EXPECT_EQ(widestCrosshairReach(width, height, size), reach) << width << " " << size;
    }
    const CrosshairState glock{.weapon = "glock18", .movement = InAir, .secondMode = true};
    EXPECT_EQ(crosshairReach(crosshairFrame(1920, 1080, "large", glock), 1920, 1080), 80);
    EXPECT_EQ(widestCrosshairReach(1920, 1080, "large", {.weapon = "knife"}), 35); // 21 + 15 - 1, never wider
}

} // namespace
} // namespace setforge::game
