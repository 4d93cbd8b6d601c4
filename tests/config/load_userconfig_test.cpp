#include "config/load_userconfig.h"
#include "config/userconfig.h"

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
        {"UTF-16 with its NULs", std::string("\xFF\xFEg\0a\0m\0m\0a\0", 12), ""},
        {"all that is read", std::string(LargestFileRead, 'x'), ""},
        {"one byte more", std::string(LargestFileRead + 1, 'x'), "1 MB"},
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

std::string lines(std::size_t count, std::string_view line, std::string_view end) {
    std::string text;
    for (std::size_t i = 0; i < count; ++i) {
        text.append(line).append(end);
    }
    return text;
}

// Whatever opens comes back the same when saved and opened again, so a saved file always opens.
TEST(LoadUserconfig, OpensWithinLimitsAndWhatItSavesOpensAgain) {
    // Saved, the marker line comes first: this file is saved as exactly 1 MB.
    const std::string largest = lines(255, std::string(4094, 'a'), "\r\n") +
                                std::string(LargestConfigBytes - 17 - 255 * 4096 - 2, 'a') + "\r\n";
    const auto utf16 = [](std::string_view ascii) {
        std::string wide;
        for (const char c : ascii) {
            wide += c;
            wide += '\0';
        }
        return wide;
    };
    struct Case {
        std::string name;
        std::string bytes;
        std::string reasonHolds; // "" when the file opens
    };
    const std::vector<Case> cases = {
        {"typical", "name \"x\"\r\ngamma \"2.2\"\r\nbind \"F5\" \"vest\"\r\n", ""},
        {"most lines", lines(MostConfigLines - 1, "", "\r\n"), ""},
        {"a line more", lines(MostConfigLines, "", "\n"), "50.001 Zeilen"},
        {"longest line", std::string(LongestConfigLine, 'a'), ""},
        {"a byte longer", "x\n" + std::string(LongestConfigLine + 1, 'a'), "Eine Zeile ist 4.097 Bytes"},
        {"largest", largest, ""},
        // The file's own size is named, and the size it would have once saved.
        {"a byte larger", largest + " ",
         "1.048.560 Bytes groß; gespeichert, mit den Zeilen der Auswahl und CR LF "
         "am Zeilenende, wäre sie 1.048.579 Bytes"},
        {"just under 1 MB with LF ends", lines(10'485, std::string(99, 'a'), "\n"), "1.048.500 Bytes groß; gesp"},
        {"Windows-1252 grows", std::string(700'000, '\xE4'), "ist 700.000 Bytes groß; gespeichert"},
        {"over 1 MB itself", std::string(1'500'000, 'a'), "Die Datei ist 1.500.000 Bytes groß."},
        {"UTF-16 of more than 1 MB", "\xFF\xFE" + lines(13'000, utf16(std::string(40, 'a') + "\r\n"), ""), ""},
    };
    for (const Case& c : cases) {
        const LoadedConfig loaded = loadUserconfig(c.bytes);
        if (!c.reasonHolds.empty()) {
            ASSERT_TRUE(loaded.refusal.has_value()) << c.name;
            EXPECT_NE(loaded.refusal->find(c.reasonHolds), std::string::npos) << c.name << ": " << *loaded.refusal;
            EXPECT_NE(loaded.refusal->find("Spiel"), std::string::npos) << c.name;
            continue;
        }
        ASSERT_FALSE(loaded.refusal.has_value()) << c.name << ": " << *loaded.refusal;
        const LoadedConfig again = loadUserconfig(composeUserconfig(loaded.state));
        ASSERT_FALSE(again.refusal.has_value()) << c.name << ": " << *again.refusal;
        EXPECT_EQ(composeUserconfig(again.state), composeUserconfig(loaded.state)) << c.name;
    }
}

TEST(LoadUserconfig, Utf16FileIsOpenedWithANotice) {
    const LoadedConfig loaded = loadUserconfig(std::string("\xFE\xFF\0g\0a\0m\0m\0a\0 \0\x32", 16));
    ASSERT_FALSE(loaded.refusal.has_value());
    EXPECT_EQ(loaded.state.gamma, "2");
    ASSERT_TRUE(loaded.notice.has_value());
    EXPECT_NE(loaded.notice->find("UTF-16"), std::string::npos);
    EXPECT_FALSE(loadUserconfig("gamma 2").notice.has_value());
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
