// The game's console: where the command buffer ends a command and how the tokenizer reads it.
#include "game/console.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace setforge::game::console {
namespace {

std::vector<std::string> commandsOf(std::string_view text) {
    std::vector<std::string> out;
    forEachCommand(text, [&](const Command& c) {
        out.push_back(std::string(c.cut ? "cut:" : "") + std::string(text.substr(c.begin, c.end - c.begin)));
    });
    return out;
}

TEST(Console, CommandBufferSplitsAtLineFeedAndUnquotedSemicolon) {
    const std::string longCommand(MaxCommandBytes, 'a');
    struct Case {
        std::string text;
        std::vector<std::string> commands;
    };
    // clang-format off
    const std::vector<Case> cases = {
        {"a;b\nc",                         {"a", "b", "c"}},
        {"bind x \"a;b\";c",               {"bind x \"a;b\"", "c"}},
        {"say \"open;\nb;c",               {"say \"open;", "b", "c"}},  // the quote ends with the line
        {"a\r\nb",                         {"a\r", "b"}},               // CR stays in the command
        {"say \"a\"b\"; c",                {"say \"a\"b\"; c"}},        // every quote flips the state
        {"a;",                             {"a", ""}},
        {longCommand + ";b",               {longCommand, "b"}},         // 1,023 bytes run whole
        {longCommand + "xyz;b",            {"cut:" + longCommand, "yz", "b"}},
        {longCommand + "\"x;y",            {"cut:" + longCommand, "x", "y"}},  // quotes start afresh
    };
    // clang-format on
    for (const Case& c : cases) {
        EXPECT_EQ(commandsOf(c.text), c.commands) << c.text.substr(0, 40);
    }
}

TEST(Console, TokenizerReadsArgumentsLikeTheGame) {
    const std::string longArg(MaxArgumentChars, 'x');
    std::string eightyOne;
    for (int i = 0; i < 81; ++i) {
        eightyOne += "a ";
    }
    struct Case {
        std::string command;
        Reading reading;
        std::vector<std::string> args;
        std::size_t commentAt = std::string_view::npos;
        bool unclosed = false;
        bool cut = false;
    };
    // clang-format off
    const std::vector<Case> cases = {
        {" \tgamma\x01 \"2.2\" ",           GameReading,   {"gamma", "2.2"}},
        {"say \"a b\"c d",                  GameReading,   {"say", "a b", "c", "d"}},
        {"say a\"b c\"",                    GameReading,   {"say", "a\"b", "c\""}},
        {"echo hi // note",                 GameReading,   {"echo", "hi"}, 8},
        {"echo a//b \"//\"",                GameReading,   {"echo", "a//b", "//"}},
        {"say \"open // x",                 GameReading,   {"say", "open // x"}, std::string_view::npos, true},
        {"say \"\"",                        GameReading,   {"say", ""}},
        {"say \"",                          GameReading,   {"say", ""}, std::string_view::npos, true},
        {"f(x):y,z'",                       GameReading,   {"f", "(", "x", ")", ":", "y", ",", "z", "'"}},
        {"f(x):y,z'",                       PlainReading,  {"f(x):y,z'"}},
        {"f(x):y,z'",                       WidestReading, {"f", "(", "x", ")", ":", "y", ",", "z", "'"}},
        {"\xC3\xA4gamma a\"b",              GameReading,   {"gamma", "a\"b"}},
        {"name J\xC3\xBCrgen \xC3\x9Cnal",      GameReading,   {"name", "J\xC3\xBCrgen", "nal"}},
        {"\xC3\xA4gamma a\"b",              WidestReading, {"gamma", "a", "b"}, std::string_view::npos, true},
        {"say " + longArg + " b",           GameReading,   {"say", longArg, "b"}},
        {"say " + longArg + "x b",          GameReading,   {"say"}, std::string_view::npos, false, true},
        {"say " + longArg + "x b",          PlainReading,  {"say", longArg + "x", "b"}},
        {eightyOne,                         GameReading,   std::vector<std::string>(80, "a"), std::string_view::npos, false, true},
    };
    // clang-format on
    for (const Case& c : cases) {
        const Tokens tokens = tokenize(c.command, c.reading);
        std::vector<std::string> args;
        for (const Argument& a : tokens.args) {
            args.emplace_back(a.text);
            const std::string_view written =
                std::string_view(c.command).substr(a.span.begin, a.span.end - a.span.begin);
            EXPECT_EQ(written.substr(a.quoted ? 1 : 0, a.text.size()), a.text) << c.command.substr(0, 40);
        }
        EXPECT_EQ(args, c.args) << c.command.substr(0, 40);
        EXPECT_EQ(tokens.commentAt, c.commentAt) << c.command.substr(0, 40);
        EXPECT_EQ(tokens.unclosedQuote, c.unclosed) << c.command.substr(0, 40);
        EXPECT_EQ(tokens.cut, c.cut) << c.command.substr(0, 40);
    }
}

} // namespace
} // namespace setforge::game::console
