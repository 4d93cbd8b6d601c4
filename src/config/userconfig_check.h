#pragma once

#include "config/settings_catalogue.h"
#include "config/settings_state.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace setforge::config {

// What the game will make of the player's own lines, against what the window shows.
enum class FindingKind {
    OverridesChoice, // a later line sets what a control of the window chose: the game takes the line's value
    CutByGame,       // the game cuts the line or command and runs something else than it says
    UnknownKey,      // a bind or unbind with a key name the game does not have
    NearName,        // a command or variable one or two letters away from one the game has
    KeyBoundAgain,   // a later line binds the same key: this bind never takes effect
};

// Where a finding stands: in the free text, or on a line the window writes from its controls.
enum class FindingPlace { FreeText, WindowLine };

struct ConfigFinding {
    FindingKind kind;
    std::size_t line;               // 1-based line of the free text
    std::size_t begin, end;         // byte range in the free text
    std::string message;            // German: what the game will do, what to change
    std::optional<std::string> fix; // replacement for [begin, end), where there is one
    // OverridesChoice only: the setting the line overrides (nullptr for the name), and the setting's
    // choice the line's value stands for, if it is one: the window can take the value over.
    const SettingSpec* setting = nullptr;
    const ChoiceSpec* lineChoice = nullptr;
    // WindowLine: the finding is on the name line (setting == nullptr) or a setting's line (setting
    // names it); line, begin and end are 0 then.
    FindingPlace place = FindingPlace::FreeText;
    // OverridesChoice only: the value the game takes from the line, as it reads it.
    std::string value{};
};

// `exec` runs a file whole only while it fits the game's 16,384-byte command buffer with the text
// already queued (16,381 bytes into an empty one); a larger file is read line by line, and there a
// line also ends at a TAB, a CR and at each byte of 0x80 and above. At start-up the game queues
// commands of its own before the config (the rest of the start-up script, command-line options),
// so a file is taken to be read whole only when it leaves this margin free.
inline constexpr std::size_t CommandBufferFileLimit = 16381;
inline constexpr std::size_t StartupQueueMargin = 1024;
inline constexpr std::size_t WholeFileLimit = CommandBufferFileLimit - StartupQueueMargin;

// True for the findings that make the file do something other than the window shows or the line
// says; a save asks first when there are any.
[[nodiscard]] constexpr bool stopsSave(FindingKind kind) {
    return kind == FindingKind::OverridesChoice || kind == FindingKind::CutByGame;
}

// The findings for the file `state` writes, in the order of the free text.
[[nodiscard]] std::vector<ConfigFinding> checkUserconfig(const SettingsState& state);

// A variable's value after the game has run the file `state` writes.
struct FileValue {
    std::string value{};
    std::size_t line = 0; // 1-based line of the free text when fromFreeText, else 0
    bool fromFreeText = false;
};

// The value the game holds for the console variable `cvar` (any case) after running the file
// `state` writes, read as the console reads it; nullopt when no line sets it.
[[nodiscard]] std::optional<FileValue> valueAfterLoad(const SettingsState& state, std::string_view cvar);

} // namespace setforge::config
