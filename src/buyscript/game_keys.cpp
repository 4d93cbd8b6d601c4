#include "buyscript/game_keys.h"

#include "config/ascii.h"
#include "config/edit_distance.h"

#include <algorithm>
#include <array>
#include <utility>

namespace setforge::buyscript {
namespace {

// clang-format off
// The names the engine's key table gives to keys that are not a single character.
constexpr auto KeyNames = std::to_array<std::string_view>({
    "TAB", "ENTER", "ESCAPE", "SPACE", "BACKSPACE", "SEMICOLON", "PAUSE", "CAPSLOCK",
    "UPARROW", "DOWNARROW", "LEFTARROW", "RIGHTARROW", "ALT", "CTRL", "SHIFT",
    "F1", "F2", "F3", "F4", "F5", "F6", "F7", "F8", "F9", "F10", "F11", "F12",
    "INS", "DEL", "PGDN", "PGUP", "HOME", "END",
    "MOUSE1", "MOUSE2", "MOUSE3", "MOUSE4", "MOUSE5", "MWHEELUP", "MWHEELDOWN",
    "KP_HOME", "KP_UPARROW", "KP_PGUP", "KP_LEFTARROW", "KP_5", "KP_RIGHTARROW", "KP_END",
    "KP_DOWNARROW", "KP_PGDN", "KP_ENTER", "KP_INS", "KP_DEL", "KP_SLASH", "KP_MINUS", "KP_PLUS",
    "JOY1", "JOY2", "JOY3", "JOY4",
    "AUX1", "AUX2", "AUX3", "AUX4", "AUX5", "AUX6", "AUX7", "AUX8", "AUX9", "AUX10", "AUX11",
    "AUX12", "AUX13", "AUX14", "AUX15", "AUX16", "AUX17", "AUX18", "AUX19", "AUX20", "AUX21",
    "AUX22", "AUX23", "AUX24", "AUX25", "AUX26", "AUX27", "AUX28", "AUX29", "AUX30", "AUX31",
    "AUX32", "SCROLLOCK",
});
// clang-format on

} // namespace

bool isGameKey(std::string_view key) {
    if (key.size() == 1) {
        const char c = key.front();
        return c > ' ' && c < 0x7F && c != '"';
    }
    return std::ranges::any_of(KeyNames,
                               [key](std::string_view name) { return config::equalsIgnoringCase(key, name); });
}

std::vector<std::string_view> nearGameKeys(std::string_view key) {
    constexpr std::size_t MaxEdits = 2;
    constexpr std::size_t MaxNames = 3;
    std::string joined;
    for (const char c : key) {
        if (c != ' ') {
            joined += c;
        }
    }
    std::vector<std::pair<std::size_t, std::string_view>> near;
    for (const std::string_view name : KeyNames) {
        if (const std::size_t distance = config::nameDistance(joined, name, MaxEdits); distance <= MaxEdits) {
            near.emplace_back(distance, name);
        }
    }
    std::ranges::stable_sort(near, {}, &std::pair<std::size_t, std::string_view>::first);
    std::vector<std::string_view> names;
    for (std::size_t i = 0; i < near.size() && i < MaxNames; ++i) {
        names.push_back(near[i].second);
    }
    return names;
}

std::string bindableKey(std::string_view key) {
    if (key.size() == 1 && key.front() >= 'A' && key.front() <= 'Z') {
        return std::string(1, static_cast<char>(key.front() - 'A' + 'a'));
    }
    return std::string(key);
}

std::string unknownKeyMessage(std::string_view key) {
    // A pasted paragraph is not repeated whole in the message.
    std::size_t shown = std::min<std::size_t>(key.size(), 40);
    while (shown < key.size() && (static_cast<unsigned char>(key[shown]) & 0xC0) == 0x80) {
        --shown; // never cut a character in two
    }
    std::string text = "Das Spiel kennt keine Taste \"";
    text += key.substr(0, shown);
    if (shown < key.size()) {
        text += "…";
    }
    text += "\".\r\n\r\nBitte gib einen Tastennamen des Spiels ein, zum Beispiel F5, KP_END, MOUSE4 oder q:\r\n"
            "ein einzelnes Zeichen oder einen Namen wie SPACE, MWHEELUP oder UPARROW.";
    return text;
}

} // namespace setforge::buyscript
