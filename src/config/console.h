#pragma once

// How the game's console takes a config apart: the command buffer cuts the text into commands, the
// tokenizer cuts each command into arguments. Engine builds differ in details (bytes from 0x80 on,
// which characters stand alone); `Reading` names those differences so a cautious caller can ask
// for the reading that splits least or most.
#include <cstddef>
#include <string_view>
#include <vector>

namespace setforge::config::console {

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

[[nodiscard]] constexpr bool isSeparator(char c, bool inQuotes) {
    return c == '\n' || (c == ';' && !inQuotes);
}

// The commands of `text` as the game's command buffer splits it: at LF and at ';' outside quotes
// (every '"' flips the quote state, which starts afresh for each command). visit(Command) for each,
// in order, without the separator; the piece after the last separator is visited even when empty.
// A command longer than MaxCommandBytes is cut there; the byte after the cut is lost and the rest
// is read as a new command. The game stops at a NUL byte: pass only the text before it.
// `cutAt` other than MaxCommandBytes (npos: never) reads commands as the text says, without the cut.
template <typename Visit>
void forEachCommand(std::string_view text, Visit&& visit, std::size_t cutAt = MaxCommandBytes) {
    std::size_t begin = 0;
    bool inQuotes = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (i - begin == cutAt && !isSeparator(text[i], inQuotes)) {
            visit(Command{{begin, i}, true});
            begin = i + 1;
            inQuotes = false;
            continue;
        }
        inQuotes = inQuotes != (text[i] == '"');
        if (isSeparator(text[i], inQuotes)) {
            visit(Command{{begin, i}, false});
            begin = i + 1;
            inQuotes = false;
        }
    }
    visit(Command{{begin, text.size()}, false});
}

// How an engine build reads arguments. The default is the game's own tokenizer.
struct Reading {
    std::string_view singleChars = "{}()':"; // stand alone outside quotes ("{}()'," in Xash3D builds)
    bool highBytesAreBlanks = false;         // builds with a signed `char` read 0x80..0xFF as blanks
    bool quoteEndsWord = false;              // a '"' inside a bare word starts a new argument
    bool limits = true;                      // stop at an argument over MaxArgumentChars and after MaxArguments
};

// The game's tokenizer.
inline constexpr Reading GameReading{};
// A reader without single-character tokens or limits: what simple tools and older builds see.
inline constexpr Reading PlainReading{"", false, false, false};
// Every variant's split at once: the first argument is never longer than in any engine build.
inline constexpr Reading WidestReading{"{}()':,", true, true, false};

// True for a byte that some engine build reads differently from another outside quotes.
[[nodiscard]] constexpr bool readsDifferentlyAcrossBuilds(char c) {
    return static_cast<unsigned char>(c) >= 0x80 || WidestReading.singleChars.find(c) != std::string_view::npos;
}

struct Argument {
    std::string_view text; // without its quotes
    Span span;             // as written, quotes included
    bool quoted = false;
};

struct Tokens {
    std::vector<Argument> args;
    std::size_t commentAt = std::string_view::npos; // where a `//` ended the command
    bool unclosedQuote = false;                     // the last argument's quote runs to the end
    bool cut = false;                               // the reading stopped at a limit: more text was not read
};

// The arguments of one command as the game's tokenizer reads them: blanks are bytes <= ' ', a
// quoted argument runs to the next '"' (there is no escape), a `//` where an argument would start
// ends the command, and the engine's single-character tokens stand alone.
[[nodiscard]] Tokens tokenize(std::string_view command, const Reading& reading = GameReading);

} // namespace setforge::config::console
