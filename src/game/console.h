#pragma once

// How the game's console takes a config apart: the command buffer cuts the text into commands, the
// tokenizer cuts each command into arguments. Engine builds differ in details (bytes from 0x80 on,
// which characters stand alone); `Reading` names those differences so a cautious caller can ask
// for the reading that splits least or most.
#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

namespace setforge::game::console {

inline constexpr std::size_t MaxCommandBytes = 1023; // a longer command is cut; the rest runs as a command of its own
inline constexpr std::size_t MaxArgumentChars = 514; // an argument of 515+ chars ends the reading of its line
inline constexpr std::size_t MaxArguments = 80;      // a command keeps at most 80 arguments

struct Span {
    std::size_t begin = 0;
    std::size_t end = 0;
};

// One command of the buffer; `cut` when the game cut it at MaxCommandBytes.
struct Command : Span {
    bool cut = false;
};

// Whether forEachCommand cuts a command at MaxCommandBytes as the game does.
enum class LongCommands { Cut, Keep };

// The commands of `text` as the game's command buffer splits it: at LF and at ';' outside quotes
// (every '"' flips the quote state, which starts afresh for each command). visit(Command) for each,
// in order, without the separator; the piece after the last separator is visited even when empty.
// A command longer than MaxCommandBytes is cut there; the byte after the cut is lost and the rest
// is read as a new command. The game stops at a NUL byte: pass only the text before it.
template <typename Visit>
void forEachCommand(std::string_view text, Visit&& visit, LongCommands longCommands = LongCommands::Cut) {
    const bool cutLong = longCommands == LongCommands::Cut;
    std::size_t begin = 0;
    bool inQuotes = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const bool separator = c == '\n' || (c == ';' && !inQuotes);
        if (cutLong && i - begin == MaxCommandBytes && !separator) {
            visit(Command{{begin, i}, true});
            begin = i + 1;
            inQuotes = false;
        } else if (separator) {
            visit(Command{{begin, i}, false});
            begin = i + 1;
            inQuotes = false;
        } else if (c == '"') {
            inQuotes = !inQuotes;
        }
    }
    visit(Command{{begin, text.size()}, false});
}

// How an engine build reads arguments. The default is the game's own tokenizer.
struct Reading {
    std::string_view singleChars = "{}()',:"; // stand alone outside quotes
    bool highBytesAreBlanks = false;          // 0x80..0xFF end a word and are skipped like blanks
    bool quoteEndsWord = false;               // a '"' inside a bare word starts a new argument
    bool limits = true;                       // stop at an argument over MaxArgumentChars and after MaxArguments
    // The command tokenizer compares a signed `char` with the blank, so it skips 0x80..0xFF where an
    // argument would start ("name Ünal" sets "nal"); inside a word they stay.
    bool highBytesSkippedBeforeArgument = true;
};

// The game's tokenizer: the engine's word parser makes `{ } ( ) ' ,` and `:` words of their own.
inline constexpr Reading GameReading{};
// A reader without single-character tokens or limits: what the lines say to a reader of the text.
inline constexpr Reading PlainReading{"", false, false, false, false};
// Every variant's split at once: the first argument is never longer than in any engine build.
inline constexpr Reading WidestReading{"{}()':,", true, true, false, true};

// True for a byte that some engine build reads differently from another outside quotes.
[[nodiscard]] constexpr bool readsDifferentlyAcrossBuilds(char c) {
    return static_cast<unsigned char>(c) >= 0x80 || c == '{' || c == '}' || c == '(' || c == ')' || c == '\'' ||
           c == ':' || c == ',';
}

struct Argument {
    std::string_view text; // without its quotes
    Span span;             // as written, quotes included
    bool quoted = false;
    bool unclosedQuote = false; // quoted, and the quote runs to the end of the command
};

// Where the bare word starting at `begin` ends in this reading.
[[nodiscard]] std::size_t wordEnd(std::string_view command, std::size_t begin, const Reading& reading);
// The argument starting at `begin`, which is neither a blank nor the start of a comment.
[[nodiscard]] Argument argumentAt(std::string_view command, std::size_t begin, const Reading& reading);
// The first byte from `i` on that is not a blank in this reading (command.size() when none).
[[nodiscard]] std::size_t skipBlanks(std::string_view command, std::size_t i, const Reading& reading);

// How the reading of a command ended.
struct Ending {
    std::size_t commentAt = std::string_view::npos; // where a `//` ended the command
    bool unclosedQuote = false;                     // the last argument's quote runs to the end
    bool cut = false;                               // the reading stopped at a limit: more text was not read
};

// The arguments of one command as the game's tokenizer reads them: blanks are bytes <= ' ', a
// quoted argument runs to the next '"' (there is no escape), a `//` where an argument would start
// ends the command, and the engine's single-character tokens stand alone. visit(const Argument&)
// for each in order; when it returns false the reading stops there.
template <typename Visit> Ending readArguments(std::string_view command, const Reading& reading, Visit&& visit) {
    Ending ending;
    std::size_t count = 0;
    for (std::size_t i = skipBlanks(command, 0, reading); i < command.size(); i = skipBlanks(command, i, reading)) {
        if (command.substr(i, 2) == "//") {
            ending.commentAt = i;
            break;
        }
        const Argument argument = argumentAt(command, i, reading);
        if (reading.limits && (count == MaxArguments || argument.text.size() > MaxArgumentChars)) {
            ending.cut = true;
            break;
        }
        ending.unclosedQuote = argument.unclosedQuote;
        ++count;
        if (!visit(argument)) {
            break;
        }
        i = argument.span.end;
    }
    return ending;
}

struct Tokens : Ending {
    std::vector<Argument> args;
};

// Every argument of one command, read as readArguments does.
[[nodiscard]] Tokens tokenize(std::string_view command, const Reading& reading = GameReading);

// The file a command's arguments make the engine run: exec takes exactly one argument and with
// more only prints its usage. nullopt for any other command.
[[nodiscard]] std::optional<std::string_view> execFile(const std::vector<Argument>& args);

// Only the first argument (no limits apply to one argument); nullopt for a blank or comment command.
[[nodiscard]] std::optional<Argument> firstArgument(std::string_view command, const Reading& reading = GameReading);

} // namespace setforge::game::console
