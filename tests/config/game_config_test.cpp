#include "config/game_config.h"

#include <gtest/gtest.h>

#include <string>

namespace setforge::config {
namespace {

TEST(GameConfig, RunsUserconfigOnlyWhenOneCommandExecsIt) {
    struct Case {
        std::string configCfg;
        bool runs;
    };
    const Case cases[] = {
        // As the engine writes it, LF and CR LF.
        {"unbindall\nbind \"w\" \"+forward\"\n+mlook\nexec userconfig.cfg\n", true},
        {"unbindall\r\nexec userconfig.cfg\r\n", true},
        {"EXEC \"UserConfig.CFG\"", true},
        {"echo a; exec userconfig.cfg // end", true},
        {"\texec   userconfig.cfg  ", true},
        // Not a command that runs it.
        {"", false},
        {"unbindall\n+mlook\n", false},
        {"// exec userconfig.cfg\n", false},
        {"echo \"exec userconfig.cfg\"\n", false},
        {"exec userconfig.cfg extra\n", false}, // exec takes exactly one argument
        {"exec userconfig\n", false},
        {"exec autoexec.cfg\n", false},
        {"execuserconfig.cfg\n", false},
        {std::string("echo\0exec userconfig.cfg\n", 25), false}, // the game stops at a NUL
    };
    for (const Case& c : cases) {
        EXPECT_EQ(runsUserconfig(c.configCfg), c.runs) << c.configCfg;
    }
}

TEST(GameConfig, UserconfigNameIgnoresCaseOnly) {
    EXPECT_TRUE(isUserconfigName("userconfig.cfg"));
    EXPECT_TRUE(isUserconfigName("UserConfig.CFG"));
    EXPECT_FALSE(isUserconfigName("autoexec.cfg"));
    EXPECT_FALSE(isUserconfigName("userconfig.cfg.bak"));
}

} // namespace
} // namespace setforge::config
