#include "config/game_config.h"

#include "game/ascii.h"
#include "game/console.h"

namespace setforge::config {

namespace {
constexpr std::string_view UserconfigName = "userconfig.cfg";
} // namespace

bool runsUserconfig(std::string_view configCfgBytes) {
    // The game stops reading a file at its first NUL byte.
    const std::string_view text = configCfgBytes.substr(0, configCfgBytes.find('\0'));
    bool runs = false;
    game::console::forEachCommand(text, [&](const game::console::Command& command) {
        if (runs) {
            return;
        }
        const game::console::Tokens tokens =
            game::console::tokenize(text.substr(command.begin, command.end - command.begin));
        const std::optional<std::string_view> file = game::console::execFile(tokens.args);
        runs = file && isUserconfigName(*file);
    });
    return runs;
}

bool isUserconfigName(std::string_view fileName) {
    return game::equalsIgnoringCase(fileName, UserconfigName);
}

bool runsUserconfigAgain(std::string_view fileName) {
    return isUserconfigName(fileName) || game::equalsIgnoringCase(fileName, "config.cfg");
}

std::string userconfigNotRunMessage(std::string_view folder) {
    // The engine rewrites config.cfg at every exit (a read-only one too), so a line added by hand
    // lasts only with a build that writes it anyway.
    return "Die config.cfg in " + std::string(folder) +
           " enthält keine Zeile \"exec userconfig.cfg\": Dieses Spiel führt die userconfig.cfg beim Start nicht "
           "aus (ältere und Nicht-Steam-Versionen schreiben diese Zeile nicht in ihre config.cfg).\r\n"
           "Trage +exec userconfig.cfg in die Startoptionen des Spiels ein, oder aktualisiere das Spiel. Eine "
           "von Hand eingetragene Zeile überschreibt das Spiel beim Beenden.\r\n\r\nTrotzdem speichern?";
}

} // namespace setforge::config
