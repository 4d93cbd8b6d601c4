// Reading an existing userconfig.cfg back into the window's inputs.
//
// The game runs the file as one C string: it stops at the first NUL byte, ends a command at a line
// feed and at a ';' outside quotes (a lone CR is just a blank to it), and a variable keeps the
// first argument of the last command naming it. Writing puts the name and the setting lines before
// the free text, so a line may only move into a control when nothing before it in the file can
// change the same variable. Where the engine's variants read a line differently, or a line is too
// unusual to be sure of, it stays in the free text: the game then does exactly what it did.
#include "config/ascii.h"
#include "config/config_text.h"
#include "config/settings_catalogue.h"
#include "config/userconfig.h"
#include "config/utf8.h"
#include "config/windows1252.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <optional>
#include <vector>

namespace setforge::config {
namespace {

constexpr std::string_view ManualMarker = "// User Angaben";
constexpr std::size_t None = std::string_view::npos;

// The engine cuts a command after 1023 bytes and runs the rest as a command of its own. Lines up
// to this length are taken apart precisely; longer ones are judged by every name they contain.
constexpr std::size_t PreciseLineLimit = 1000;

// What a line can set: the twenty settings in catalogue order, then the nickname.
constexpr std::size_t SettingCount = SettingsCatalogue.size();
constexpr std::size_t NameTarget = SettingCount;
constexpr std::size_t TargetCount = SettingCount + 1;
using TargetMask = std::uint32_t;
static_assert(TargetCount < 32);
constexpr TargetMask AllTargets = (TargetMask{1} << TargetCount) - 1;

constexpr TargetMask bit(std::size_t target) {
    return TargetMask{1} << target;
}

// A line's mark: the target of a setting line in the low bits, and whether writing closes its quote.
constexpr std::uint8_t TargetBits = 0x1F;
constexpr std::uint8_t NotASettingLine = TargetBits;
constexpr std::uint8_t QuoteClosed = 0x20;
static_assert(TargetCount < TargetBits);

std::string_view targetKey(std::size_t target) {
    return target == NameTarget ? std::string_view("name") : SettingsCatalogue[target].key;
}

// Blanks and control characters separate arguments (NUL never reaches here: the game stops there).
bool isBlank(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}
// Some engine builds read bytes from 0x80 on as blanks, others as letters.
bool isHighByte(char c) {
    return static_cast<unsigned char>(c) >= 0x80;
}
// The engine's tokenizer makes an argument of its own of these outside quotes; simpler readers do not.
bool isSingleCharToken(char c) {
    return c == '{' || c == '}' || c == '(' || c == ')' || c == '\'' || c == ',' || c == ':';
}

void assignLowered(std::string& out, std::string_view s) {
    out.resize(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        out[i] = lowerAscii(s[i]);
    }
}

// --- Lines that can move into a control -------------------------------------------------------

// The arguments of a line that is exactly one command every engine variant reads alike: bare words
// of plain ASCII without quotes, ';' or single-character tokens, or quoted arguments closed on the
// line, with nothing but blanks around them. At most three arguments (the longest form).
struct PlainCommand {
    std::array<std::string_view, 3> args;
    std::size_t count = 0;
};

std::optional<PlainCommand> plainCommand(std::string_view line) {
    if (line.size() > PreciseLineLimit) {
        return std::nullopt;
    }
    PlainCommand command;
    std::size_t i = 0;
    while (true) {
        while (i < line.size() && isBlank(line[i])) {
            ++i;
        }
        if (i == line.size()) {
            return command;
        }
        if (command.count == command.args.size() || line.substr(i, 2) == "//") {
            return std::nullopt;
        }
        if (line[i] == '"') {
            const std::size_t close = line.find('"', i + 1);
            if (close == None) {
                return std::nullopt;
            }
            command.args[command.count++] = line.substr(i + 1, close - i - 1);
            i = close + 1;
            continue;
        }
        const std::size_t start = i;
        for (; i < line.size() && !isBlank(line[i]); ++i) {
            const char c = line[i];
            if (c == '"' || c == ';' || isHighByte(c) || isSingleCharToken(c)) {
                return std::nullopt;
            }
        }
        command.args[command.count++] = line.substr(start, i - start);
    }
}

struct SettingLine {
    std::size_t target = None;
    std::string_view value;
};

// `key value` for a console variable or the name (the game compares their names ignoring case),
// `setinfo key value` for a userinfo key (compared exactly).
SettingLine settingLine(std::string_view line) {
    const std::optional<PlainCommand> command = plainCommand(line);
    if (!command) {
        return {};
    }
    const auto& args = command->args;
    if (command->count == 2) {
        if (equalsIgnoringCase(args[0], "name")) {
            return {NameTarget, args[1]};
        }
        for (std::size_t t = 0; t < SettingCount; ++t) {
            if (SettingsCatalogue[t].lineForm == LineForm::Cvar &&
                equalsIgnoringCase(args[0], SettingsCatalogue[t].key)) {
                return {t, args[1]};
            }
        }
    }
    if (command->count == 3 && equalsIgnoringCase(args[0], "setinfo")) {
        for (std::size_t t = 0; t < SettingCount; ++t) {
            if (SettingsCatalogue[t].lineForm == LineForm::Setinfo && args[1] == SettingsCatalogue[t].key) {
                return {t, args[2]};
            }
        }
    }
    return {};
}

// Digits with at most one decimal point: the numbers every reader takes the same way.
std::optional<double> plainNumber(std::string_view text) {
    bool digit = false;
    bool point = false;
    for (char c : text) {
        if (c >= '0' && c <= '9') {
            digit = true;
        } else if (c == '.' && !point) {
            point = true;
        } else {
            return std::nullopt;
        }
    }
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (!digit || error != std::errc{} || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

// The game reads a variable's number with atof, so "2.2" and "2.200000" set the same gamma; a
// userinfo value is passed on as text and must match exactly.
const ChoiceSpec* choiceFor(const SettingSpec& setting, std::string_view value) {
    for (const ChoiceSpec& choice : setting.choices) {
        if (choice.value == value) {
            return &choice;
        }
    }
    const std::optional<double> number = plainNumber(value);
    if (setting.lineForm == LineForm::Setinfo || !number) {
        return nullptr;
    }
    for (const ChoiceSpec& choice : setting.choices) {
        if (const std::optional<double> choiceNumber = plainNumber(choice.value); choiceNumber == number) {
            return &choice;
        }
    }
    return nullptr;
}

// Writing turns `"` into `'` and line breaks into blanks, leaves out a blank nickname, and the
// window refuses a name the game refuses: only a name surviving all of that unchanged may move.
bool nicknameWritesBackUnchanged(std::string_view name) {
    return !isBlankNickname(name) && name.find_first_of("\r\n\"") == None && !nicknameRefusal(name);
}

// --- What any other line may change -----------------------------------------------------------

template <typename Visit> void forEachCommand(std::string_view line, Visit visit) {
    bool inQuotes = false;
    std::size_t start = 0;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '"') {
            inQuotes = !inQuotes;
        } else if (line[i] == ';' && !inQuotes) {
            visit(line.substr(start, i - start));
            start = i + 1;
        }
    }
    visit(line.substr(start));
}

// The command without a trailing `//` comment. Only a comment that starts an argument in every
// engine variant is cut off: when a high byte or a single-character token stands before it, one
// variant may see a quoted argument where another sees the comment, so all of it counts.
std::string_view runnablePart(std::string_view command) {
    std::size_t i = 0;
    std::size_t comment = command.size();
    while (true) {
        while (i < command.size() && isBlank(command[i])) {
            ++i;
        }
        if (i >= command.size()) {
            break;
        }
        if (command.substr(i, 2) == "//") {
            comment = i;
            break;
        }
        if (command[i] == '"') {
            const std::size_t close = command.find('"', i + 1);
            if (close == None) {
                break;
            }
            i = close + 1;
            continue;
        }
        while (i < command.size() && !isBlank(command[i])) {
            ++i;
        }
    }
    const std::string_view before = command.substr(0, comment);
    for (char c : before) {
        if (isHighByte(c) || isSingleCharToken(c)) {
            return command;
        }
    }
    return before;
}

// The command's first argument, read generously: blanks and high bytes skipped in front, a bare
// word ending at anything that ends it in some engine variant. Used to find every command that
// may set a variable, so it errs towards finding one.
std::string_view verbOf(std::string_view command) {
    std::size_t i = 0;
    while (i < command.size() && (isBlank(command[i]) || isHighByte(command[i]))) {
        ++i;
    }
    if (i == command.size() || command.substr(i, 2) == "//") {
        return {};
    }
    if (command[i] == '"') {
        const std::size_t close = command.find('"', i + 1);
        return command.substr(i + 1, close == None ? None : close - i - 1);
    }
    if (isSingleCharToken(command[i])) {
        return command.substr(i, 1);
    }
    const std::size_t start = i;
    while (i < command.size() && !isBlank(command[i]) && !isHighByte(command[i]) && command[i] != '"' &&
           !isSingleCharToken(command[i])) {
        ++i;
    }
    return command.substr(start, i - start);
}

// A bind only stores its command for a key press; loading the file runs none of it.
bool isBind(std::string_view command) {
    std::size_t i = 0;
    while (i < command.size() && isBlank(command[i])) {
        ++i;
    }
    if (i < command.size() && command[i] == '"') {
        const std::size_t close = command.find('"', i + 1);
        return close != None && equalsIgnoringCase(command.substr(i + 1, close - i - 1), "bind");
    }
    const std::size_t start = i;
    while (i < command.size() && !isBlank(command[i])) {
        ++i;
    }
    return equalsIgnoringCase(command.substr(start, i - start), "bind");
}

TargetMask namedTargets(std::string_view lowered) {
    TargetMask named = 0;
    for (std::size_t t = 0; t < TargetCount; ++t) {
        if (lowered.find(targetKey(t)) != None) {
            named |= bit(t);
        }
    }
    return named;
}

struct Reach {
    TargetMask sets = 0;    // commands that set the variable while the file loads
    TargetMask touches = 0; // anything that might change it: its name outside a comment or a bind, or an exec
};

// `lowered` is scratch space, kept to spare an allocation per line.
Reach reachOf(std::string_view line, std::string& lowered) {
    if (line.size() > PreciseLineLimit) {
        assignLowered(lowered, line);
        const TargetMask named = namedTargets(lowered);
        return {named, lowered.find("exec") != None ? AllTargets : named};
    }
    Reach reach;
    forEachCommand(line, [&](std::string_view command) {
        const std::string_view verb = verbOf(command);
        for (std::size_t t = 0; t < TargetCount; ++t) {
            if (equalsIgnoringCase(verb, targetKey(t))) {
                reach.sets |= bit(t);
            }
        }
        if (isBind(command)) {
            return;
        }
        assignLowered(lowered, runnablePart(command));
        const TargetMask named = namedTargets(lowered);
        reach.touches |= lowered.find("exec") != None ? AllTargets : named;
        if (equalsIgnoringCase(verb, "setinfo")) {
            reach.sets |= named;
        }
    });
    return reach;
}

// --- Lines of the file ------------------------------------------------------------------------

struct Line {
    std::size_t begin = 0;
    std::string_view content; // without its line end
    bool crlf = false;        // ended by CR LF (a lone CR is part of the content)
};

// Calls visit(line) for each line; a last line without a line end counts, an empty rest does not.
template <typename Visit> void forEachLine(std::string_view text, Visit visit) {
    std::size_t begin = 0;
    while (begin < text.size()) {
        const std::size_t lf = text.find('\n', begin);
        const std::size_t end = lf == None ? text.size() : lf;
        const bool crlf = lf != None && end > begin && text[end - 1] == '\r';
        visit(Line{begin, text.substr(begin, end - begin - (crlf ? 1 : 0)), crlf});
        begin = lf == None ? text.size() : lf + 1;
    }
}

// Writing ends every line with CR LF. A line that ended with a bare LF (or the file's end) inside
// an open quoted argument would take that CR into the argument, so the quote is closed instead:
// the game then reads what it read before.
bool endsInsideQuotes(std::string_view line) {
    std::size_t start = 0;
    forEachCommand(line,
                   [&](std::string_view command) { start = static_cast<std::size_t>(command.data() - line.data()); });
    const std::string_view command = line.substr(start);
    std::size_t i = 0;
    while (true) {
        while (i < command.size() && isBlank(command[i])) {
            ++i;
        }
        if (i >= command.size() || command.substr(i, 2) == "//") {
            return false;
        }
        if (command[i] == '"') {
            const std::size_t close = command.find('"', i + 1);
            if (close == None) {
                return true;
            }
            i = close + 1;
            continue;
        }
        while (i < command.size() && !isBlank(command[i])) {
            ++i;
        }
    }
}

// The line as it will be written, ended by CR LF, and read by the game just as before.
std::string_view asWritten(const Line& line, std::string& buffer) {
    if (line.crlf || !endsInsideQuotes(line.content)) {
        return line.content;
    }
    buffer.assign(line.content);
    buffer += '"';
    return buffer;
}

} // namespace

std::string userconfigText(std::string_view fileBytes) {
    return decodeConfigBytes(fileBytes).text;
}

SettingsState parseUserconfig(std::string_view fileBytes) {
    const std::string decoded = userconfigText(fileBytes);
    const std::string_view text = decoded;
    // The game never reads past a NUL byte: nothing there can move, nothing there changes anything.
    const std::size_t runEnd = std::min(text.find('\0'), text.size());

    // First pass: the last line setting each target, and the first free-text line that may change it.
    std::array<std::size_t, TargetCount> lastSet{};
    std::array<std::size_t, TargetCount> firstTouch{};
    std::array<std::string, TargetCount> lastValue{};
    std::array<bool, TargetCount> lastIsSettingLine{};
    lastSet.fill(None);
    firstTouch.fill(None);
    // Per line, for the second pass: the target of a setting line, and whether its quote is closed.
    std::vector<std::uint8_t> marks;
    std::string scratch;
    std::string closed;
    forEachLine(text, [&](const Line& line) {
        const std::size_t lineIndex = marks.size();
        marks.push_back(NotASettingLine);
        if (line.begin >= runEnd) {
            return;
        }
        const bool whole = line.begin + line.content.size() <= runEnd;
        const std::string_view content = whole ? asWritten(line, closed) : line.content.substr(0, runEnd - line.begin);
        if (whole && content.size() != line.content.size()) {
            marks.back() |= QuoteClosed;
        }
        const SettingLine setting = whole ? settingLine(content) : SettingLine{};
        if (setting.target != None) {
            marks.back() = static_cast<std::uint8_t>((marks.back() & QuoteClosed) | setting.target);
            lastSet[setting.target] = lineIndex;
            lastValue[setting.target].assign(setting.value);
            lastIsSettingLine[setting.target] = true;
            return;
        }
        const Reach reach = reachOf(content, scratch);
        for (std::size_t t = 0; t < TargetCount; ++t) {
            if (reach.sets & bit(t)) {
                lastSet[t] = lineIndex;
                lastIsSettingLine[t] = false;
            }
            if ((reach.touches & bit(t)) && firstTouch[t] == None) {
                firstTouch[t] = lineIndex;
            }
        }
    });

    SettingsState state;
    TargetMask moved = 0;
    for (std::size_t t = 0; t < TargetCount; ++t) {
        if (lastSet[t] == None || !lastIsSettingLine[t] || (firstTouch[t] != None && firstTouch[t] < lastSet[t])) {
            continue;
        }
        if (t == NameTarget) {
            if (nicknameWritesBackUnchanged(lastValue[t])) {
                state.nickname = lastValue[t];
                moved |= bit(t);
            }
            continue;
        }
        const SettingSpec& setting = SettingsCatalogue[t];
        if (const ChoiceSpec* choice = choiceFor(setting, lastValue[t])) {
            state.*setting.field = std::string(setting.kind == SettingKind::List ? choice->display : choice->control);
            moved |= bit(t);
        }
    }

    // Second pass: every other line into the free text, in order. The marker is written again.
    std::string& freeText = state.manual_text;
    freeText.reserve(text.size() + 64);
    bool first = true;
    bool markerSeen = false;
    std::size_t lineIndex = 0;
    forEachLine(text, [&](const Line& line) {
        const std::uint8_t mark = marks[lineIndex++];
        const std::size_t target = mark & TargetBits;
        if (target < TargetCount && (moved & bit(target))) {
            return;
        }
        if (!markerSeen && line.content == ManualMarker) {
            markerSeen = true;
            return;
        }
        if (!first) {
            freeText += "\r\n";
        }
        first = false;
        freeText += line.content;
        if (mark & QuoteClosed) {
            freeText += '"';
        }
    });
    return state;
}

} // namespace setforge::config
