#include "config/crosshair.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace setforge::config {

bool operator==(const CrosshairRect& a, const CrosshairRect& b) {
    return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}
void PrintTo(const CrosshairRect& r, std::ostream* out) {
    *out << "{" << r.x << "," << r.y << " " << r.width << "x" << r.height << "}";
}

namespace {

using enum Movement;

TEST(Crosshair, WorkedExamplesGiveTheseArms) {
    // right, bottom, left, top
    EXPECT_EQ(crosshairAtRest(1920, 1080, "large", "ak47"),
              (std::vector<CrosshairRect>{{972, 540, 15, 1}, {960, 552, 1, 15}, {934, 540, 15, 1}, {960, 514, 1, 15}}));
    // D = 5.12: the left and top arms end one pixel further out than the right and bottom ones.
    EXPECT_EQ(crosshairAtRest(1024, 768, "MEDIUM", "AK47"),
              (std::vector<CrosshairRect>{{517, 384, 6, 1}, {512, 389, 1, 6}, {501, 384, 6, 1}, {512, 373, 1, 6}}));
}

TEST(Crosshair, ArmLengthAtRestFollowsSizeAndWidth) {
    struct Case {
        std::string_view size;
        std::array<int, 5> lengths; // at widths 640, 800, 1024, 1280, 1920
    };
    const std::vector<Case> cases{{"large", {5, 6, 8, 10, 15}}, {"3", {5, 6, 8, 10, 15}},
                                  {"medium", {4, 5, 6, 8, 12}}, {"2", {4, 5, 6, 8, 12}},
                                  {"small", {3, 3, 5, 6, 9}},   {"Small", {3, 3, 5, 6, 9}}};
    const std::array<int, 5> widths{640, 800, 1024, 1280, 1920};
    for (const Case& c : cases) {
        for (std::size_t i = 0; i < widths.size(); ++i) {
            const auto arms = crosshairAtRest(widths[i], 600, c.size, "m4a1");
            ASSERT_EQ(arms.size(), 4U);
            EXPECT_EQ(arms[0].width, c.lengths[i]) << c.size << " at " << widths[i];
        }
    }
}

TEST(Crosshair, AutoPicksTheScaleByWidth) {
    // Arm length 5 scaled by the base auto picks; 640 and 1024 themselves are read differently.
    struct Case {
        int width, length;
    };
    for (const auto& [width, length] : std::vector<Case>{{320, 1}, {639, 3}, {800, 5}, {1023, 6}, {1280, 10}}) {
        for (std::string_view size : {"auto", "AUTO", "0", "huge", ""}) {
            EXPECT_EQ(crosshairAtRest(width, 480, size, "m4a1").at(0).width, length) << size << " at " << width;
        }
    }
}

TEST(Crosshair, EveryWeaponHasItsDistanceAndGrowth) {
    struct Case {
        std::string_view weapon;
        int distance, delta;
    };
    const std::vector<Case> cases{
        {"p228", 8, 3},      {"glock18", 8, 3},   {"usp", 8, 3},          {"deagle", 8, 3}, {"fiveseven", 8, 3},
        {"hegrenade", 8, 3}, {"flashbang", 8, 3}, {"smokegrenade", 8, 3}, {"xm1014", 9, 4}, {"m3", 8, 6},
        {"mac10", 9, 3},     {"tmp", 7, 3},       {"p90", 7, 3},          {"knife", 7, 3},  {"ump45", 6, 3},
        {"m249", 6, 3},      {"c4", 6, 3},        {"mp5navy", 6, 2},      {"sg552", 5, 3},  {"aug", 3, 3},
        {"ak47", 4, 4},      {"m4a1", 4, 3},      {"famas", 4, 3},        {"galil", 4, 3},  {"elite", 4, 3}};
    for (const Case& c : cases) {
        // At 640 wide and "large" nothing is scaled: the right arm starts at the distance itself.
        const CrosshairFrame rest = crosshairFrame(640, 480, "large", {.weapon = c.weapon});
        ASSERT_EQ(rest.arms.size(), 4U) << c.weapon;
        EXPECT_EQ(rest.arms[0].x - 320, c.distance) << c.weapon;
        const CrosshairFrame shot = crosshairFrame(640, 480, "large", {.weapon = c.weapon, .shots = 1});
        EXPECT_EQ(shot.arms[0].x - 320, c.distance + c.delta) << c.weapon;
        EXPECT_EQ(shot.arms[0].width, c.delta / 2 + 5) << c.weapon;
    }
    EXPECT_EQ(CrosshairWeapons.size(), cases.size() + 4); // and the four below
}

TEST(Crosshair, ScopedRiflesAndUnknownNamesDrawNone) {
    for (std::string_view weapon : {"awp", "scout", "sg550", "g3sg1", "AWP", "weapon_ak47", "", "shield"}) {
        EXPECT_TRUE(crosshairAtRest(1920, 1080, "large", weapon).empty()) << weapon;
    }
}

TEST(Crosshair, DynamicModifiersWidenOrNarrowTheGap) {
    struct Case {
        CrosshairState state;
        int distance; // from the centre at 640 wide, "large"
    };
    // clang-format off
    const std::vector<Case> cases{
        {{.weapon = "ak47"},                                           4},
        {{.weapon = "ak47", .movement = InAir},                        8},
        {{.weapon = "ak47", .movement = Ducking},                      2},
        {{.weapon = "ak47", .movement = Running},                      6},
        {{.weapon = "aug", .movement = Running},                       4},  // 3 x 1.5 truncated
        {{.weapon = "deagle"},                                         8},  // standing: not faster than 0
        {{.weapon = "deagle", .movement = Running},                    12},
        {{.weapon = "mac10", .movement = InAir},                       18},
        {{.weapon = "mac10", .movement = Ducking},                     9},  // air flag only
        {{.weapon = "mac10", .movement = Running},                     9},
        {{.weapon = "m3", .movement = InAir},                          8},  // no flags
        {{.weapon = "usp", .secondMode = true},                        11},
        {{.weapon = "glock18", .secondMode = true},                    11},
        {{.weapon = "m4a1", .secondMode = true},                       5},
        {{.weapon = "famas", .secondMode = true},                      5},
        {{.weapon = "usp", .movement = Ducking, .secondMode = true},   5},  // 8 x 0.5 = 4, x 1.4 = 5
        {{.weapon = "ak47", .secondMode = true},                       4},  // no second mode
        {{.weapon = "ak47", .movement = InAir, .dynamic = false},      4},
        {{.weapon = "usp", .secondMode = true, .dynamic = false},      8},
        {{.weapon = "ak47", .movement = InAir, .dynamic = false, .shots = 1}, 8},
        {{.weapon = "ak47", .shots = 3},                               15}, // 4 + 3 x 4, at most 15
        {{.weapon = "mac10", .movement = InAir, .shots = 2},           18}, // wider than 15 already
    };
    // clang-format on
    for (const Case& c : cases) {
        const CrosshairFrame frame = crosshairFrame(640, 480, "large", c.state);
        ASSERT_EQ(frame.arms.size(), 4U) << c.state.weapon;
        EXPECT_EQ(frame.arms[0].x - 320, c.distance)
            << c.state.weapon << " movement " << static_cast<int>(c.state.movement) << " shots " << c.state.shots;
    }
}

TEST(Crosshair, ShotsDimTheArmsAndTheGapClosesAgain) {
    EXPECT_EQ(crosshairFrame(640, 480, "large", {.shots = 0}).alpha, 255);
    EXPECT_EQ(crosshairFrame(640, 480, "large", {.shots = 1}).alpha, 215);
    EXPECT_EQ(crosshairFrame(640, 480, "large", {.shots = 5}).alpha, 120);
    CrosshairRecoil recoil{.distance = 15, .alpha = 120};
    int frames = 0;
    for (; recoil.distance > 4 && frames < 1000; ++frames) {
        recoil = nextCrosshairFrame(recoil, 4, 4, false);
    }
    EXPECT_EQ(recoil.distance, 4.0F);
    EXPECT_GT(frames, 30); // about half a second at 100 frames a second
    EXPECT_LT(frames, 100);
}

TEST(Crosshair, LookComesFromTheWindowsChoices) {
    struct Case {
        std::string size, translucent, dynamic, colour; // option buttons and list text; "" = no choice
        Rgb seen;
        bool additive, isDynamic;
        std::string_view gameSize;
    };
    const std::vector<Case> cases{
        {"", "", "", "", {50, 250, 50}, true, true, "auto"},
        {"o7", "o9", "o11", "Rot", {250, 50, 50}, false, false, "large"},
        {"o5", "o8", "o10", "Weiß", {255, 255, 255}, true, true, "small"},
        {"o6", "", "", "rot", {50, 250, 50}, true, true, "medium"}, // not an item: the game's green
    };
    for (const Case& c : cases) {
        SettingsState state;
        state.cl_crosshair_size = c.size;
        state.cl_crosshair_translucent = c.translucent;
        state.cl_dynamiccrosshair = c.dynamic;
        state.cl_crosshair_color = c.colour;
        const CrosshairLook look = crosshairLook(state);
        EXPECT_EQ(look.colour, c.seen) << c.colour;
        EXPECT_EQ(look.additive, c.additive) << c.translucent;
        EXPECT_EQ(look.dynamic, c.isDynamic) << c.dynamic;
        EXPECT_EQ(look.size, c.gameSize) << c.size;
    }
}

TEST(Crosshair, AdditiveArmsLightenAndVanishOnWhite) {
    struct Case {
        Rgb below, colour;
        int alpha;
        bool additive;
        Rgb seen;
    };
    const std::vector<Case> cases{
        {{186, 214, 240}, {50, 250, 50}, 255, true, {236, 255, 255}},
        {{24, 26, 30}, {50, 250, 50}, 255, true, {74, 255, 80}},
        {{255, 255, 255}, {250, 50, 50}, 255, true, {255, 255, 255}},
        {{255, 255, 255}, {250, 50, 50}, 255, false, {250, 50, 50}},
        {{0, 0, 0}, {250, 50, 50}, 120, false, {118, 24, 24}},
        {{100, 100, 100}, {250, 50, 50}, 120, true, {218, 124, 124}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(blendCrosshairPixel(c.below, c.colour, c.alpha, c.additive), c.seen);
    }
}

TEST(Crosshair, PreviewStartsAtTheLargestSizeTheMonitorShowsWhole) {
    struct Case {
        int width, height;
        std::array<int, 2> chosen;
    };
    const std::vector<Case> cases{{1024, 768, {1024, 768}},   {1366, 768, {1024, 768}},   {1920, 1080, {1920, 1080}},
                                  {2560, 1440, {1920, 1080}}, {1280, 1024, {1280, 1024}}, {800, 480, {640, 480}},
                                  {320, 200, {640, 480}}};
    for (const Case& c : cases) {
        EXPECT_EQ(PreviewResolutions.at(defaultPreviewResolution(c.width, c.height)), c.chosen) << c.width;
    }
}

} // namespace
} // namespace setforge::config
