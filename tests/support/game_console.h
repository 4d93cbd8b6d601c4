#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace setforge::testing {

// A small model of how the game's console runs a config file, for checking what a file does:
// - the command buffer ends a command at a line feed, and at a ';' outside quotes (the quote count
//   starts afresh for every command);
// - the tokenizer skips blanks and control characters (and, as the original engine does, bytes from
//   0x80 on where an argument would start), stops at "//", takes a quoted argument up to the next
//   quote (there is no escape), makes `{ } ( ) ' , :` words of their own, and takes any other
//   argument up to the next blank;
// - an alias the file defines runs its text when called (names under 32 characters).
using Command = std::vector<std::string>;

[[nodiscard]] std::vector<std::string> splitCommands(std::string_view text);
[[nodiscard]] Command tokenize(std::string_view command);

// Every non-empty command of the file, in order.
[[nodiscard]] std::vector<Command> readConsole(std::string_view text);

// What the lines say to someone reading them: a line ends at LF and at a lone CR, a `//` comment
// (where a word would start, outside quotes) runs to the line's end, ';' outside quotes separates
// commands, and words end only at blanks.
[[nodiscard]] std::vector<Command> readPlainly(std::string_view text);

// What the file leaves behind (the game stops reading it at the first NUL byte): each variable's last value (names in
// lower case, as the game compares them; numbers as the game reads them), the userinfo keys set by `setinfo` and
// `name`, and every other command in order.
struct ConsoleEffect {
    std::vector<std::pair<std::string, std::string>> variables; // sorted by name
    std::vector<Command> otherCommands;
    bool endless = false; // an alias calls on without end: the game never finishes loading the file
    friend bool operator==(const ConsoleEffect&, const ConsoleEffect&) = default;
};
[[nodiscard]] ConsoleEffect effectOf(std::string_view text, const std::vector<std::string_view>& variableNames);

// True when `game` leaves every variable of `window` as it is. A variable the window sets to a
// number the game reads as a number (atof): ":" or "0 1" leave a "0" as it is. A userinfo value is
// passed on as text and must stay the same text.
[[nodiscard]] bool keepsWindowVariables(const ConsoleEffect& window, const ConsoleEffect& game);

// The console variables the window's settings write, for effectOf.
[[nodiscard]] std::vector<std::string_view> settingVariableNames();

// The game running a whole file by `exec`, with its limits: a command longer than 1,023 bytes is
// cut there, the next byte lost and the rest run as a command of its own; the arguments of a command
// end before one of 515 characters or more, and after the 80th. A file larger than
// `wholeFileLimit` bytes is read line by line, and there a line ends at every byte below the blank
// (TAB included) and at every byte from 0x80 on; a line takes at most 1,023 bytes.
[[nodiscard]] std::vector<std::string> execLines(std::string_view file);
[[nodiscard]] std::vector<Command> execFile(std::string_view file, std::size_t wholeFileLimit);
[[nodiscard]] ConsoleEffect effectOfExec(std::string_view file, std::size_t wholeFileLimit,
                                         const std::vector<std::string_view>& variableNames);

// The commands that line-by-line reading (execLines) leaves of a file, for effectOf() and
// readConsole(); reading stops at a NUL.
[[nodiscard]] std::string readLineByLine(std::string_view file);

} // namespace setforge::testing
