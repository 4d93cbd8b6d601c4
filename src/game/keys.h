#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace setforge::game {

// True when the game's `bind` finds the key: one of its key names (any case), or one single
// printable ASCII character other than '"' and the blank.
[[nodiscard]] bool isGameKey(std::string_view key);

// Which key a bind names, the same text for two names of one key: a single character as written
// (the game reports letters in lower case, so "Q" is a key never pressed), SEMICOLON as ';', any
// other name in lower case.
[[nodiscard]] std::string gameKeyId(std::string_view key);

// Up to three of the game's key names nearest to a key it does not know, nearest first: the one a
// common other name stands for ("Entf", "MAUS4", "Num 5", "ESC"), else names at most two letters
// away (blanks and underscores left out) that keep a letter of the key; none when nothing is that close.
[[nodiscard]] std::vector<std::string_view> nearGameKeys(std::string_view key);

// The key the player surely meant: the first of nearGameKeys when no other is as near; none on a tie.
[[nodiscard]] std::optional<std::string_view> meantGameKey(std::string_view key);

// The key as it goes into the bind line: as typed, except that a single upper-case letter is
// written in lower case. The game reports letter keys in lower case, so `bind "Q"` would bind a key
// that is never pressed.
[[nodiscard]] std::string bindableKey(std::string_view key);

// The German message for a key the game does not know.
[[nodiscard]] std::string unknownKeyMessage(std::string_view key);

// A key as the keyboard reports it: where it sits, as a PC set-1 scan code (0x100 added for the
// keys sent with an E0 prefix; 0 when the system gave none), and the character the player's layout
// puts on it (0 when not known, e.g. with Shift held; DeadKey for an accent key).
inline constexpr char32_t DeadKey = 0xFFFF;
struct PressedKey {
    std::uint16_t scanCode = 0;
    char32_t layoutChar = 0;
};

// What a pressed key gives: the game's name for it, or none with a German line saying why (a key
// the game cannot bind, or one whose name depends on a layout rule nobody has settled).
struct KeyReading {
    std::string name;
    std::string note;     // "" when the name is certain
    bool refused = false; // the game cannot bind the key at all
};

// The game (since its SDL2 build) names keys by their place on a US keyboard, but builds and
// reports differ on whether it follows the layout's character instead. Where the two readings give
// different names, the reading says so and gives no name.
[[nodiscard]] KeyReading readPressedKey(PressedKey key);

// MOUSE1..MOUSE5 for the left, right, middle, back and forward button (1..5); "" for others.
[[nodiscard]] std::string_view mouseButtonKey(int button);
[[nodiscard]] std::string_view wheelKey(bool up);

} // namespace setforge::game
