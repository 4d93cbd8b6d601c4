#include "config/crosshair.h"

#include "config/ascii.h"
#include "config/settings_catalogue.h"

#include <algorithm>
#include <charconv>

namespace setforge::config {
namespace {

constexpr int ArmLengthAtRest = 5;
constexpr float WidestGap = 15.0F;

// The game's integer distance times a factor, truncated as its `int *= double` does.
int scaled(int distance, double factor) {
    return static_cast<int>(distance * factor);
}

// The choice's value written for `key` in `state`, or `fallback` (the game's default) without one.
std::string_view settingValue(const SettingsState& state, std::string_view key, std::string_view fallback) {
    const SettingSpec* setting = findSetting(key);
    const ChoiceSpec* choice = setting != nullptr ? currentChoice(*setting, state) : nullptr;
    return choice != nullptr ? choice->value : fallback;
}

// "R G B" as the game's sscanf("%d %d %d") reads it, each clamped to 0-255.
Rgb parseColour(std::string_view text) {
    std::array<int, 3> channels{50, 250, 50};
    const char* p = text.data();
    const char* end = text.data() + text.size();
    for (int& channel : channels) {
        while (p != end && *p == ' ') {
            ++p;
        }
        const auto [next, error] = std::from_chars(p, end, channel);
        if (error != std::errc{}) {
            break;
        }
        channel = std::clamp(channel, 0, 255);
        p = next;
    }
    return {static_cast<std::uint8_t>(channels[0]), static_cast<std::uint8_t>(channels[1]),
            static_cast<std::uint8_t>(channels[2])};
}

} // namespace

const CrosshairWeapon* findCrosshairWeapon(std::string_view name) {
    const auto* it = std::ranges::find_if(
        CrosshairWeapons, [name](const CrosshairWeapon& weapon) { return equalsIgnoringCase(weapon.name, name); });
    return it == CrosshairWeapons.end() ? nullptr : it;
}

int crosshairScaleBase(int screenWidth, std::string_view size) {
    if (equalsIgnoringCase(size, "small") || size == "1") {
        return 1024;
    }
    if (equalsIgnoringCase(size, "medium") || size == "2") {
        return 800;
    }
    if (equalsIgnoringCase(size, "large") || size == "3") {
        return 640;
    }
    // "auto". The reconstructions disagree at exactly 640 and 1024; this is the reading most share.
    if (screenWidth < 640) {
        return 1024;
    }
    return screenWidth < 1024 ? 800 : 640;
}

std::optional<int> crosshairDistance(const CrosshairState& state) {
    const CrosshairWeapon* weapon = findCrosshairWeapon(state.weapon);
    if (weapon == nullptr || !weapon->hasCrosshair) {
        return std::nullopt;
    }
    int distance = weapon->distance;
    if (!state.dynamic || weapon->flags == NoFlags) {
        return distance;
    }
    if (state.movement == Movement::InAir && (weapon->flags & AirFlag) != 0) {
        distance = scaled(distance, 2.0);
    } else if (state.movement == Movement::Ducking && (weapon->flags & DuckFlag) != 0) {
        distance = scaled(distance, 0.5);
    } else if ((weapon->flags & SpeedFlag) != 0 && state.movement == Movement::Running) {
        // Running is faster than every limit. One reconstruction compares speed >= limit, which
        // would widen a pistol standing still; the others compare >, as here: standing never widens.
        distance = scaled(distance, 1.5);
    }
    if (state.secondMode && weapon->mode != WeaponMode::None) {
        distance = scaled(distance, 1.4);
    }
    return distance;
}

CrosshairRecoil nextCrosshairFrame(CrosshairRecoil recoil, int distance, int delta, bool shot) {
    if (shot) {
        recoil.distance = std::min(recoil.distance + static_cast<float>(delta), WidestGap);
        recoil.alpha = std::max(recoil.alpha - 40, 120);
    } else {
        recoil.distance -= recoil.distance * 0.013F + 0.1F;
        recoil.alpha = std::min(recoil.alpha + 2, 255);
    }
    recoil.distance = std::max(recoil.distance, static_cast<float>(distance));
    return recoil;
}

CrosshairFrame crosshairFrame(int screenWidth, int screenHeight, std::string_view size, const CrosshairState& state,
                              CrosshairRecoil recoil) {
    CrosshairFrame frame;
    const std::optional<int> distance = crosshairDistance(state);
    const int base = crosshairScaleBase(screenWidth, size);
    if (!distance || screenWidth <= 0 || screenHeight <= 0) {
        return frame;
    }
    const float gap = std::max(recoil.distance, static_cast<float>(*distance));
    frame.distance = *distance;
    frame.alpha = std::clamp(recoil.alpha, 0, 255);
    int length = static_cast<int>((gap - static_cast<float>(*distance)) * 0.5F) + ArmLengthAtRest;
    length = screenWidth * length / base;
    const float d = static_cast<float>(screenWidth) * gap / static_cast<float>(base);
    const int cx = screenWidth / 2;
    const int cy = screenHeight / 2;
    // One truncation of the whole float sum, so a fractional distance puts the left and top arms
    // one pixel further out. The other reading (truncating the distance first) draws them one
    // pixel closer; the worked examples follow this one.
    const auto at = [](float position) { return static_cast<int>(position); };
    const float l = static_cast<float>(length);
    frame.arms = {
        {at(static_cast<float>(cx) + d), cy, length, 1},
        {cx, at(static_cast<float>(cy) + d), 1, length},
        {at(static_cast<float>(cx) - d - l + 1.0F), cy, length, 1},
        {cx, at(static_cast<float>(cy) - d - l + 1.0F), 1, length},
    };
    return frame;
}

CrosshairFrame crosshairFrame(int screenWidth, int screenHeight, std::string_view size, const CrosshairState& state) {
    CrosshairRecoil recoil;
    const CrosshairWeapon* weapon = findCrosshairWeapon(state.weapon);
    if (const std::optional<int> distance = crosshairDistance(state); distance && weapon != nullptr) {
        recoil.distance = static_cast<float>(*distance);
        for (int shot = 0; shot < state.shots; ++shot) {
            recoil = nextCrosshairFrame(recoil, *distance, weapon->delta, true);
        }
    }
    return crosshairFrame(screenWidth, screenHeight, size, state, recoil);
}

std::vector<CrosshairRect> crosshairAtRest(int screenWidth, int screenHeight, std::string_view size,
                                           std::string_view weapon) {
    CrosshairState state;
    state.weapon = weapon;
    return crosshairFrame(screenWidth, screenHeight, size, state).arms;
}

CrosshairLook crosshairLook(const SettingsState& state) {
    return {.colour = parseColour(settingValue(state, "cl_crosshair_color", "50 250 50")),
            .additive = settingValue(state, "cl_crosshair_translucent", "1") != "0",
            .dynamic = settingValue(state, "cl_dynamiccrosshair", "1") != "0",
            .size = settingValue(state, "cl_crosshair_size", "auto")};
}

Rgb blendCrosshairPixel(Rgb background, Rgb colour, int alpha, bool additive) {
    const auto channel = [alpha, additive](int below, int above) {
        const int a = std::clamp(alpha, 0, 255);
        const int mixed = additive ? below + (above * a + 127) / 255 : (above * a + below * (255 - a) + 127) / 255;
        return static_cast<std::uint8_t>(std::min(mixed, 255));
    };
    return {channel(background.r, colour.r), channel(background.g, colour.g), channel(background.b, colour.b)};
}

std::size_t defaultPreviewResolution(int monitorWidth, int monitorHeight) {
    std::size_t chosen = 0;
    for (std::size_t i = 0; i < PreviewResolutions.size(); ++i) {
        if (PreviewResolutions[i][0] <= monitorWidth && PreviewResolutions[i][1] <= monitorHeight) {
            chosen = i;
        }
    }
    return chosen;
}

} // namespace setforge::config
