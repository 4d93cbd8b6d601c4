#pragma once

#include <optional>
#include <span>
#include <string_view>

namespace setforge::game {

// The console commands and variables of the original game, lower case and sorted; made at build
// time from data/game-console-names.tsv. The list has gaps: a name missing here may still be real.
[[nodiscard]] std::span<const std::string_view> gameConsoleNames();

// True when `name` is in the list (any case).
[[nodiscard]] bool isGameConsoleName(std::string_view name);

// The listed names the player's own game runs itself, lower case and sorted: its variables and the
// commands of the engine and of the client library. The rest are commands only the game server
// knows: the client sends them on, after its aliases (an alias of such a name runs instead).
[[nodiscard]] std::span<const std::string_view> localConsoleNames();

// True when `name` is in localConsoleNames() (any case).
[[nodiscard]] bool isLocalConsoleName(std::string_view name);

// The listed names that are variables (cvars), lower case and sorted.
[[nodiscard]] std::span<const std::string_view> gameVariableNames();

// True when `name` is in gameVariableNames() (any case).
[[nodiscard]] bool isGameVariable(std::string_view name);

// The listed name a typo of `name` most likely meant: one edit away for names of four to seven
// characters, up to two for longer ones; nullopt for a listed name, a short one or one near nothing.
[[nodiscard]] std::optional<std::string_view> nearGameConsoleName(std::string_view name);

} // namespace setforge::game
