#include "game/crosshair.h"

#include "game/ascii.h"
#include "game/number.h"

#include <algorithm>
#include <cstdlib>

namespace setforge::game {
namespace {

constexpr int ArmLengthAtRest = 5;
constexpr float WidestGap = 15.0F;

// The game's integer distance times a factor, truncated as its `int *= double` does.
int scaled(int distance, double factor) {
    return static_cast<int>(distance * factor);
}

// The text up to its first NUL: the game keeps a cvar's value as a C string.
std::string_view asCString(std::string_view text) {
    return text.substr(0, text.find('\0'));
}

// An integer as strtol and sscanf's %d take it at `p`: blanks, a sign, decimal digits (saturated
// far beyond the 0-255 that matters here). nullopt, and `p` unmoved, without a digit.
std::optional<long long> readInteger(std::string_view text, std::size_t& p) {
    std::size_t at = p;
    while (at < text.size() && isCSpace(text[at])) {
        ++at;
    }
    const bool negative = at < text.size() && text[at] == '-';
    if (at < text.size() && (text[at] == '-' || text[at] == '+')) {
        ++at;
    }
    const std::size_t digits = at;
    long long value = 0;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
        value = std::min(value * 10 + (text[at] - '0'), 1'000'000'000LL);
    }
    if (at == digits) {
        return std::nullopt;
    }
    p = at;
    return negative ? -value : value;
}

} // namespace

Rgb readCrosshairColour(std::string_view text) {
    text = asCString(text);
    // One reconstruction starts each channel at -1 and clamps after sscanf stops, the other reads
    // tokens with atoi: either way what is not read is 0. Where they part ("12abc 5 6": the token
    // reading takes 5 and 6 as well), this follows sscanf, which stops at the first unreadable text.
    std::array<long long, 3> channels{-1, -1, -1};
    std::size_t p = 0;
    for (long long& channel : channels) {
        const std::optional<long long> value = readInteger(text, p);
        if (!value) {
            break;
        }
        channel = *value;
    }
    const auto clamped = [](long long channel) { return static_cast<std::uint8_t>(std::clamp(channel, 0LL, 255LL)); };
    return {clamped(channels[0]), clamped(channels[1]), clamped(channels[2])};
}

CrosshairSize readCrosshairSize(std::string_view text) {
    text = asCString(text);
    for (const auto& [name, size] :
         {std::pair{"auto", CrosshairSize::Auto}, std::pair{"small", CrosshairSize::Small},
          std::pair{"medium", CrosshairSize::Medium}, std::pair{"large", CrosshairSize::Large}}) {
        if (equalsIgnoringCase(text, name)) {
            return size;
        }
    }
    std::size_t p = 0;
    const long long number = readInteger(text, p).value_or(0);
    if (number > 3 || (number == 0 && text != "0")) {
        return CrosshairSize::Kept;
    }
    // Any negative number falls to the default case of the one reconstruction that reads numbers
    // this way: the large size.
    static constexpr std::array<CrosshairSize, 4> Numbered{CrosshairSize::Auto, CrosshairSize::Small,
                                                           CrosshairSize::Medium, CrosshairSize::Large};
    return number < 0 ? CrosshairSize::Large : Numbered.at(static_cast<std::size_t>(number));
}

bool readCvarSwitch(std::string_view text) {
    return variableNumber(asCString(text)) != 0; // NaN is not 0 either
}

const CrosshairWeapon* findCrosshairWeapon(std::string_view name) {
    const auto* it = std::ranges::find_if(
        CrosshairWeapons, [name](const CrosshairWeapon& weapon) { return equalsIgnoringCase(weapon.name, name); });
    return it == CrosshairWeapons.end() ? nullptr : it;
}

bool shotsWidenCrosshair(const CrosshairWeapon& weapon) {
    using enum WeaponClass;
    return weapon.hasCrosshair && weapon.weaponClass != Knife && weapon.weaponClass != Grenade &&
           weapon.weaponClass != Bomb;
}

std::vector<double> crosshairShotTimes(const CrosshairWeapon& weapon, bool secondMode, int shots) {
    std::vector<double> times;
    if (!shotsWidenCrosshair(weapon)) {
        return times;
    }
    const bool burst = secondMode && weapon.mode == WeaponMode::Burst;
    // The game schedules the next shot from the time the last one was due, not from the frame it
    // came in, so the rate holds at any frame rate.
    for (int shot = 0; shot < shots; ++shot) {
        times.push_back(burst ? (shot / 3) * weapon.burstCycle + (shot % 3) * weapon.burstGap : shot * weapon.cycle);
    }
    return times;
}

int crosshairScaleBase(int screenWidth, std::string_view size) {
    switch (readCrosshairSize(size)) {
    case CrosshairSize::Small:
        return 1024;
    case CrosshairSize::Medium:
        return 800;
    case CrosshairSize::Large:
        return 640;
    case CrosshairSize::Auto:
    case CrosshairSize::Kept:
        break;
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
        for (int shot = 0; shot < state.shots && shotsWidenCrosshair(*weapon); ++shot) {
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

int crosshairReach(const CrosshairFrame& frame, int screenWidth, int screenHeight) {
    int reach = 0;
    const int cx = screenWidth / 2;
    const int cy = screenHeight / 2;
    for (const CrosshairRect& arm : frame.arms) {
        reach = std::max({reach, std::abs(arm.x - cx), std::abs(arm.x + arm.width - 1 - cx), std::abs(arm.y - cy),
                          std::abs(arm.y + arm.height - 1 - cy)});
    }
    return reach;
}

int widestCrosshairReach(int screenWidth, int screenHeight, std::string_view size, const CrosshairState& state) {
    const CrosshairWeapon* weapon = findCrosshairWeapon(state.weapon);
    const std::optional<int> distance = crosshairDistance(state);
    if (weapon == nullptr || !distance) {
        return 0;
    }
    // The gap and the arms only grow with it, so the widest frame is the one at the limit.
    const float widest = shotsWidenCrosshair(*weapon) ? std::max(WidestGap, static_cast<float>(*distance))
                                                      : static_cast<float>(*distance);
    const CrosshairFrame frame = crosshairFrame(screenWidth, screenHeight, size, state, {.distance = widest});
    return crosshairReach(frame, screenWidth, screenHeight);
}

int widestCrosshairReach(int screenWidth, int screenHeight, std::string_view size) {
    int reach = 0;
    for (const CrosshairWeapon& weapon : CrosshairWeapons) {
        for (const Movement movement : {Movement::Standing, Movement::Running, Movement::Ducking, Movement::InAir}) {
            for (const bool secondMode : {false, true}) {
                const CrosshairState state{.weapon = weapon.name, .movement = movement, .secondMode = secondMode};
                reach = std::max(reach, widestCrosshairReach(screenWidth, screenHeight, size, state));
            }
        }
    }
    return reach;
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

} // namespace setforge::game
