#include "config/load_userconfig.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace setforge::config {
namespace {

TEST(LoadUserconfig, RefusesOnlyWhatCannotBeAConfig) {
    struct Case {
        std::string name;
        std::string bytes;
        std::string reasonHolds; // "" when the bytes are taken
    };
    const std::vector<Case> cases = {
        {"empty file", "", ""},
        {"plain config", "gamma \"2.2\"\r\n", ""},
        {"one stray NUL", std::string("bind \"F5\" \"vest\"\0\r\n", 19), ""},
        {"four NULs", std::string(4, '\0') + "x", ""},
        {"five NULs", std::string(5, '\0'), "keine Textdatei"},
        {"an image", std::string("\x89PNG\r\n\x1A\n\0\0\0\rIHDR\0\0\0\x10", 20), "keine Textdatei"},
        {"exactly 16 MB", std::string(LargestConfigBytes, 'x'), ""},
        {"one byte more", std::string(LargestConfigBytes + 1, 'x'), "16 MB"},
    };
    for (const Case& c : cases) {
        const std::optional<std::string> reason = notAConfigReason(c.bytes);
        if (c.reasonHolds.empty()) {
            EXPECT_FALSE(reason.has_value()) << c.name;
        } else {
            ASSERT_TRUE(reason.has_value()) << c.name;
            EXPECT_NE(reason->find(c.reasonHolds), std::string::npos) << c.name << ": " << *reason;
        }
    }
}

TEST(LoadUserconfig, FailureMessageNamesPathAndReason) {
    EXPECT_EQ(loadFailureMessage("/home/spieler/cstrike/userconfig.cfg", "Die Datei gibt es nicht."),
              "Die Config wurde nicht geladen.\r\n\r\nDatei: /home/spieler/cstrike/userconfig.cfg\r\n"
              "Grund: Die Datei gibt es nicht.");
    EXPECT_NE(loadFailureMessage("x.cfg", "").find("unbekannter Fehler"), std::string::npos);
}

TEST(LoadUserconfig, OpenDialogAsksForAnyConfig) {
    const OpenDialogRequest request = userconfigOpenRequest();
    EXPECT_EQ(request.title, "Halvren Setforge 1.0");
    EXPECT_EQ(request.filterDescription, "CS 1.6 Config (*.cfg)");
    EXPECT_EQ(request.filterPattern, "*.cfg");
    EXPECT_EQ(request.startFolder, "");
}

} // namespace
} // namespace setforge::config
