// Prints what the console model makes of a config file, one `name=value` line per variable the
// window's settings write, so the real-window tests can ask what the game would hold.
// Usage: setforge_console_effect <file>
#include "config/userconfig_check.h"
#include "support/game_console.h"

#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: setforge_console_effect <file>\n";
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::cerr << "cannot read " << argv[1] << "\n";
        return 2;
    }
    const std::string file{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const auto effect = setforge::testing::effectOfExec(file, setforge::config::WholeFileLimit,
                                                        setforge::testing::settingVariableNames());
    for (const auto& [name, value] : effect.variables) {
        std::cout << name << '=' << value << '\n';
    }
    return 0;
}
