#include "config/crosshair.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace setforge::config {
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
        {"p228 glock18 usp deagle fiveseven hegrenade flashbang smokegrenade", 8, 3}, {"xm1014", 9, 4}, {"m3", 8, 6},
        {"mac10", 9, 3}, {"tmp p90 knife", 7, 3}, {"ump45 m249 c4", 6, 3}, {"mp5navy", 6, 2}, {"sg552", 5, 3},
        {"aug", 3, 3}, {"ak47", 4, 4}, {"m4a1 famas galil elite", 4, 3}, {"awp scout sg550 g3sg1", -1, 0}};
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
            EXPECT_EQ(shot.arms.empty() ? 0 : shot.arms[0].width, delta == 0 ? 0 : delta / 2 + 5) << name;
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
        {{.weapon = "ak47", .movement = Ducking}, 2, 255},     {{.weapon = "ak47", .movement = Running}, 6, 255},
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
    for (const auto& [width, height, chosen] : std::vector<std::tuple<int, int, std::array<int, 2>>>{
             {1024, 768, {1024, 768}}, {1366, 768, {1024, 768}}, {2560, 1440, {1920, 1080}}, {320, 200, {640, 480}}}) {
        EXPECT_EQ(PreviewResolutions.at(defaultPreviewResolution(width, height)), chosen) << width << "x" << height;
    }
}

} // namespace
} // namespace setforge::config
