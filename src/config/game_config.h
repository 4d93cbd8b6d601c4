#pragma once

#include <string>
#include <string_view>

namespace setforge::config {

// The game runs a player's userconfig.cfg only because its own config.cfg ends with the command
// `exec userconfig.cfg` (the engine writes that line since its 2013 update; older and non-Steam
// builds do not). True when the bytes of a config.cfg run it: one command, read as the console
// reads it, that is `exec` with the one argument userconfig.cfg, in any case, quoted or not.
[[nodiscard]] bool runsUserconfig(std::string_view configCfgBytes);

// True for a file name the game runs only through config.cfg (compared as the game's file system
// on Windows compares names).
[[nodiscard]] bool isUserconfigName(std::string_view fileName);

// True for a file name whose `exec` in userconfig.cfg runs userconfig.cfg again: itself, and the
// game's config.cfg, which runs it at its end.
[[nodiscard]] bool runsUserconfigAgain(std::string_view fileName);

// German: what a save into a folder whose config.cfg does not run userconfig.cfg means, and what
// to do about it; `folder` is shown as given.
[[nodiscard]] std::string userconfigNotRunMessage(std::string_view folder);

} // namespace setforge::config
