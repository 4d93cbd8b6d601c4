#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace setforge::config {

// The library folders listed in Steam's steamapps/libraryfolders.vdf (Valve's KeyValues text):
// the "path" value of every library, in the file's order. Broken or foreign text gives what could
// be read before the fault, never an error.
[[nodiscard]] std::vector<std::string> parseLibraryFolders(std::string_view vdfText);

// Where to look for the game on this machine.
struct SteamRoots {
    std::string home;                             // the player's home folder
    std::optional<std::string> registrySteamPath; // Windows: HKCU\Software\Valve\Steam\SteamPath
    bool windows = false;                         // look in the Windows places instead of the Linux ones
};

// Every existing Counter-Strike 1.6 `cstrike` folder (steamapps/common/Half-Life/cstrike) of every
// Steam library listed by the Steam roots, each once, in the order the roots and libraries are
// found. Missing or broken files just find nothing. Paths go in and come out as UTF-8.
[[nodiscard]] std::vector<std::string> findGameFolders(const SteamRoots& roots);

} // namespace setforge::config
