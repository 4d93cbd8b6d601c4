#pragma once

// The game running a config file by `exec`, command by command, as its console does: the command
// buffer, the tokenizer, aliases the file defines and calls, `wait`, and the line-by-line reading
// of a file too large for the buffer. Used to judge what the player's lines do.
#include "game/console.h"

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace setforge::game {

inline constexpr std::size_t None = std::string_view::npos;

// An alias name this long or longer is refused ("Alias name is too long").
inline constexpr std::size_t MaxAliasName = 32;
// True when an alias of this name never runs: the game refuses the name of a variable and a few
// names of its own (Cmd_Alias_f), and the console runs its own command of that name before looking
// for an alias. A command only the game server knows is no command on the player's machine, so an
// alias of that name runs.
[[nodiscard]] bool aliasNeverRuns(std::string_view name);

// How many alias calls one file may make before it is taken to call itself without end: the game
// then hangs or overflows its buffer, and nothing after it can be judged.
inline constexpr std::size_t MaxAliasCalls = 4096;

// One command the game runs.
struct Step {
    std::vector<console::Argument> args; // text views stay valid as long as the Run
    // The command in the file, without its separator; for a command an alias runs, the command of
    // the file that called the alias.
    console::Span span;
    std::string_view alias;     // the alias called at `span` that runs this command; empty for the file's own
    std::size_t limitAt = None; // file offset where the tokenizer stopped at a limit (the file's own only)
    bool tooManyArguments = false;
};

// A command the buffer cut after MaxCommandBytes: the rest runs as commands of their own.
struct BufferCut {
    console::Span command; // the whole command as written
    std::size_t restAt;    // the first byte of the rest (the byte before it is lost)
};

struct Run {
    std::vector<Step> steps;
    std::vector<BufferCut> cuts;
    std::vector<console::Span> refusedAliases; // alias commands the game refuses: the name is too long
    std::vector<std::size_t> reorderedAt;      // `wait` commands after which the next line runs first
    std::size_t endlessAt = None;              // the command whose alias calls never end
    // The endless calls run a `wait`: the game goes on, one round per frame, but nothing queued
    // behind them (the rest of the file, later console input) ever runs.
    bool endlessWaits = false;
    // The `exec` that runs the file again: the engine inserts the whole file before the rest of the
    // buffer each time, so loading never ends and nothing after it runs.
    std::size_t selfExecAt = None;
    std::vector<std::unique_ptr<std::string>> aliasTexts;
};

// The pieces the line-by-line reading takes `file` apart into, in file offsets: a piece ends
// before a byte below the blank (TAB included) or from 0x80 on, and after 1023 bytes; the bytes
// ending it are skipped, except a TAB, which starts the next piece.
// True for a byte that ends a piece of the line-by-line reading.
[[nodiscard]] constexpr bool endsPieceByte(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u < ' ' || u >= 0x80;
}

[[nodiscard]] std::vector<console::Span> lineByLinePieces(std::string_view file);

// Runs `file` (the text before any NUL byte) whole, or line by line. `runsFileAgain` tells the
// file names whose `exec` runs this file again (itself, or a file that runs it).
[[nodiscard]] Run runFile(std::string_view file, bool lineByLine, bool (*runsFileAgain)(std::string_view) = nullptr);

} // namespace setforge::game
