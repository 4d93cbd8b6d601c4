#include "buyscript/buy_bind.h"
#include "game/bindings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace setforge::buyscript {
namespace {

using game::bindingOf;
using game::KeyBinding;
using game::keyBindings;

TEST(KeyBindings, TheLastBindOfAKeyHoldsAsTheConsoleReadsIt) {
    const std::string text = "bind \"r\" \"+reload\"\r\n"
                             "bind e +use; bind MOUSE4 \"say hi; say ho\"\r\n"
                             "// bind f3 quit\r\n"
                             "bind \"F3\" \"ak47;vesthelm;\" // buy\r\n"
                             "BIND q lastinv\r\n"
                             "bind x \"+duck\"\r\n"
                             "unbind x\r\n"
                             "bind kp_end say left right\n"
                             "bind \"Z\" \"+jump\"";
    struct Case {
        std::string_view key;
        std::string_view command; // "" = unbound
        std::size_t line;
    };
    // clang-format off
    const std::vector<Case> cases = {
        {"r", "+reload", 1},           {"e", "+use", 2},          {"mouse4", "say hi; say ho", 2},
        {"f3", "ak47;vesthelm;", 4},   {"q", "lastinv", 5},       {"x", "", 0},
        {"KP_END", "say left right", 8}, {"Z", "+jump", 9},       {"z", "", 0},
        {"R", "", 0},                  {"F4", "", 0},
    };
    // clang-format on
    const std::vector<KeyBinding> bindings = game::keyBindings(text);
    for (const Case& c : cases) {
        const KeyBinding* bound = game::bindingOf(bindings, c.key);
        EXPECT_EQ(bound == nullptr ? "" : bound->command, c.command) << c.key;
        EXPECT_EQ(bound == nullptr ? 0 : bound->line, c.line) << c.key;
    }
    EXPECT_EQ(game::bindingOf(game::keyBindings(text + "\r\nunbindall\r\nbind t y"), "r"), nullptr);
}

TEST(KeyBindings, BuyBindOnALineGivesItsKeyItemsAndKeptWords) {
    struct Case {
        std::string_view line;
        bool isBuyBind;
        std::string_view key;
        std::set<std::string> ticked;
        std::vector<std::string> unknown;
    };
    // clang-format off
    const std::vector<Case> cases = {
        {"bind \"F3\" \"ak47;vesthelm;\"",           true,  "F3",     {"c22", "c25"},        {}},
        {"bind F3 ak47",                             true,  "F3",     {"c22"},               {}},
        {"  bind \"kp_end\" \"m4a1; DEFUSER ;buyammo1\"\r\n", true, "kp_end", {"c16", "c29"}, {"buyammo1"}},
        {"bind \"F3\" \"g3sg1;sg550\" // rifles",     true,  "F3",     {"c18", "c34"},        {}},
        {"bind \"F3\" \"buyammo1;buyammo2\"",        false, "", {}, {}},
        {"bind \"F3\" \"say ak47;vest\"",            false, "", {}, {}},
        {"bind F3 ak47; echo hi",                    false, "", {}, {}},
        {"bind F3 ak47 vest",                        false, "", {}, {}},
        {"// bind F3 ak47",                          false, "", {}, {}},
        {"alias x \"ak47\"",                         false, "", {}, {}},
        {"",                                         false, "", {}, {}},
    };
    // clang-format on
    for (const Case& c : cases) {
        const auto bind = buyBindOnLine(c.line);
        ASSERT_EQ(bind.has_value(), c.isBuyBind) << c.line;
        if (bind) {
            EXPECT_EQ(bind->key, c.key) << c.line;
            EXPECT_EQ(bind->ticked, c.ticked) << c.line;
            EXPECT_EQ(bind->unknown, c.unknown) << c.line;
        }
    }
}

} // namespace
} // namespace setforge::buyscript
