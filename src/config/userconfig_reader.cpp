// Reading an existing userconfig.cfg back into the window's inputs.
//
// The game runs the file as one C string: it stops at the first NUL byte, ends a command at a line
// feed and at a ';' outside quotes (a lone CR is just a blank to it), and a variable keeps the
// first argument of the last command naming it. Writing puts the name and the setting lines before
// the free text, so a line may only move into a control when nothing before it in the file can
// change the same variable. Where the engine's variants read a line differently, or a line is too
// unusual to be sure of, it stays in the free text: the game then does exactly what it did.
#include "config/config_text.h"
#include "config/settings_catalogue.h"
#include "config/userconfig.h"
#include "game/ascii.h"
#include "game/console.h"

#include <algorithm>
#include <array>
#include <bitset>
#include <charconv>
#include <cstdint>
#include <optional>
#include <vector>

namespace setforge::config {
namespace {

constexpr std::size_t None = std::string_view::npos;

// The engine cuts a command after 1023 bytes and runs the rest as a command of its own. Lines up
// to this length are taken apart precisely; longer ones are judged by every name they contain.
constexpr std::size_t PreciseLineLimit = 1000;
static_assert(PreciseLineLimit < game::console::MaxCommandBytes);

// What a line can set: the twenty settings in catalogue order, then the nickname.
constexpr std::size_t SettingCount = SettingsCatalogue.size();
constexpr std::size_t NameTarget = SettingCount;
constexpr std::size_t TargetCount = SettingCount + 1;
using Targets = std::bitset<TargetCount>;

std::string_view targetKey(std::size_t target) {
    return target == NameTarget ? std::string_view("name") : SettingsCatalogue[target].key;
}

void assignLowered(std::string& out, std::string_view s) {
    out.resize(s.size());
    std::ranges::transform(s, out.begin(), game::lowerAscii);
}

// --- Lines that can move into a control -------------------------------------------------------

// A bare word every engine variant reads alike and as one argument of one command.
bool isPlainWord(const game::console::Argument& argument) {
    return argument.quoted || std::ranges::none_of(argument.text, [](char c) {
               return c == '"' || c == ';' || game::console::readsDifferentlyAcrossBuilds(c);
           });
}

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
    bool plain = true;
    const game::console::Ending ending =
        game::console::readArguments(line, game::console::PlainReading, [&](const game::console::Argument& a) {
            plain = command.count < command.args.size() && isPlainWord(a);
            if (plain) {
                command.args[command.count++] = a.text;
            }
            return plain;
        });
    if (!plain || ending.commentAt != None || ending.unclosedQuote) {
        return std::nullopt;
    }
    return command;
}

struct SettingLine {
    std::size_t target = None;
    std::string_view value;
};

// The setting a line of this form sets through `key`: a console variable's name compared ignoring
// case, a userinfo key exactly.
SettingLine settingOf(std::string_view key, std::string_view value, LineForm form) {
    for (std::size_t t = 0; t < SettingCount; ++t) {
        const SettingSpec& setting = SettingsCatalogue[t];
        const bool sameKey = form == LineForm::Cvar ? game::equalsIgnoringCase(key, setting.key) : key == setting.key;
        if (setting.lineForm == form && sameKey) {
            return {t, value};
        }
    }
    return {};
}

// `key value` for a console variable or the name, `setinfo key value` for a userinfo key.
SettingLine settingLine(std::string_view line) {
    const std::optional<PlainCommand> command = plainCommand(line);
    if (!command) {
        return {};
    }
    const auto& args = command->args;
    if (command->count == 2) {
        return game::equalsIgnoringCase(args[0], "name") ? SettingLine{NameTarget, args[1]}
                                                         : settingOf(args[0], args[1], LineForm::Cvar);
    }
    if (command->count == 3 && game::equalsIgnoringCase(args[0], "setinfo")) {
        return settingOf(args[1], args[2], LineForm::Setinfo);
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

// How the plain reading of a command ends.
game::console::Ending readToTheEnd(std::string_view command) {
    return game::console::readArguments(command, game::console::PlainReading,
                                        [](const game::console::Argument&) { return true; });
}

// The command without a trailing `//` comment. Only a comment that starts an argument in every
// engine variant is cut off: when a high byte or a single-character token stands before it, one
// variant may see a quoted argument where another sees the comment, so all of it counts.
std::string_view runnablePart(std::string_view command) {
    const std::string_view before = command.substr(0, readToTheEnd(command).commentAt);
    return std::ranges::any_of(before, game::console::readsDifferentlyAcrossBuilds) ? command : before;
}

// The command's first argument in the engine variant that splits most: used to find every command
// that may set a variable, so it errs towards finding one.
std::string_view verbOf(std::string_view command) {
    const std::optional<game::console::Argument> verb =
        game::console::firstArgument(command, game::console::WidestReading);
    return verb ? verb->text : std::string_view{};
}

// A bind only stores its command for a key press; loading the file runs none of it.
bool isBind(std::string_view command) {
    const std::optional<game::console::Argument> verb =
        game::console::firstArgument(command, game::console::PlainReading);
    return verb && !verb->unclosedQuote && game::equalsIgnoringCase(verb->text, "bind");
}

Targets namedTargets(std::string_view lowered) {
    Targets named;
    for (std::size_t t = 0; t < TargetCount; ++t) {
        if (lowered.find(targetKey(t)) != None) {
            named.set(t);
        }
    }
    return named;
}

// The game compares command and variable names ignoring case.
Targets targetsNamedBy(std::string_view verb) {
    Targets named;
    for (std::size_t t = 0; t < TargetCount; ++t) {
        if (game::equalsIgnoringCase(verb, targetKey(t))) {
            named.set(t);
        }
    }
    return named;
}

struct Reach {
    Targets sets;    // commands that set the variable while the file loads
    Targets touches; // anything that might change it: its name outside a comment or a bind, or an exec
};

// `lowered` is scratch space, kept to spare an allocation per command.
void addCommandReach(std::string_view command, std::string& lowered, Reach& reach) {
    const std::string_view verb = verbOf(command);
    reach.sets |= targetsNamedBy(verb);
    if (isBind(command)) {
        return;
    }
    assignLowered(lowered, runnablePart(command));
    const Targets named = namedTargets(lowered);
    reach.touches |= lowered.find("exec") != None ? Targets().set() : named;
    if (game::equalsIgnoringCase(verb, "setinfo")) {
        reach.sets |= named;
    }
}

Reach reachOf(std::string_view line, std::string& lowered) {
    if (line.size() > PreciseLineLimit) {
        assignLowered(lowered, line);
        const Targets named = namedTargets(lowered);
        return {named, lowered.find("exec") != None ? Targets().set() : named};
    }
    Reach reach;
    game::console::forEachCommand(line, [&](const game::console::Span& command) {
        addCommandReach(line.substr(command.begin, command.end - command.begin), lowered, reach);
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
// the game then reads what it read before. Asked as the game reads the line: its command buffer
// cuts long commands, and its tokenizer skips bytes of 0x80 and above before a word, so a quote
// behind one opens an argument there.
bool endsInsideQuotes(std::string_view line) {
    std::size_t start = 0;
    game::console::forEachCommand(
        line, [&](const game::console::Span& command) { start = command.begin; }, game::console::LongCommands::Cut);
    // Without the argument limits: past them the quote state still decides where the CR lands.
    constexpr game::console::Reading GameQuotes{.limits = false};
    return game::console::readArguments(line.substr(start), GameQuotes,
                                        [](const game::console::Argument&) { return true; })
        .unclosedQuote;
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

// --- The file as a whole ----------------------------------------------------------------------

// What the first pass learns about a line, for the second.
struct LineFacts {
    static constexpr std::uint8_t NoTarget = 0xFF;
    std::uint8_t target = NoTarget; // the setting or the name a setting line sets
    bool quoteClosed = false;       // writing closes the quote the line leaves open
};
static_assert(TargetCount < LineFacts::NoTarget);

// The last line setting each target, and the first line that may change it otherwise.
struct Scan {
    std::vector<LineFacts> lines;
    std::array<std::size_t, TargetCount> lastSet{};
    std::array<std::size_t, TargetCount> firstTouch{};
    std::array<std::string, TargetCount> lastValue{};
    Targets lastIsSettingLine;

    Scan() {
        lastSet.fill(None);
        firstTouch.fill(None);
    }
    void noteSetting(std::size_t line, const SettingLine& setting) {
        lastSet[setting.target] = line;
        lastValue[setting.target].assign(setting.value);
        lastIsSettingLine.set(setting.target);
    }
    void noteReach(std::size_t line, const Reach& reach) {
        for (std::size_t t = 0; t < TargetCount; ++t) {
            if (reach.sets[t]) {
                lastSet[t] = line;
                lastIsSettingLine.reset(t);
            }
            if (reach.touches[t] && firstTouch[t] == None) {
                firstTouch[t] = line;
            }
        }
    }
    // The target's last setter is a setting line and nothing before it may change the target.
    [[nodiscard]] bool settledBySettingLine(std::size_t t) const {
        return lastSet[t] != None && lastIsSettingLine[t] && (firstTouch[t] == None || firstTouch[t] > lastSet[t]);
    }
};

// `runEnd`: the game never reads past a NUL byte, so nothing there moves or changes anything.
Scan scanLines(std::string_view text, std::size_t runEnd) {
    Scan scan;
    std::string scratch;
    std::string closed;
    forEachLine(text, [&](const Line& line) {
        const std::size_t index = scan.lines.size();
        LineFacts& facts = scan.lines.emplace_back();
        if (line.begin >= runEnd) {
            return;
        }
        const bool whole = line.begin + line.content.size() <= runEnd;
        const std::string_view content = whole ? asWritten(line, closed) : line.content.substr(0, runEnd - line.begin);
        facts.quoteClosed = whole && content.size() != line.content.size();
        const SettingLine setting = whole ? settingLine(content) : SettingLine{};
        if (setting.target == None) {
            scan.noteReach(index, reachOf(content, scratch));
            return;
        }
        facts.target = static_cast<std::uint8_t>(setting.target);
        scan.noteSetting(index, setting);
    });
    return scan;
}

// Fills the target's control from its value when the window can show it; false when it cannot.
bool fillControl(std::size_t target, std::string_view value, SettingsState& state) {
    if (target == NameTarget) {
        if (!nicknameWritesBackUnchanged(value)) {
            return false;
        }
        state.nickname = value;
        return true;
    }
    const SettingSpec& setting = SettingsCatalogue[target];
    const ChoiceSpec* choice = choiceFor(setting, value);
    if (choice == nullptr) {
        return false;
    }
    state.*setting.field = std::string(setting.kind == SettingKind::List ? choice->display : choice->control);
    return true;
}

// The targets whose lines move out of the free text into their controls.
Targets fillControls(const Scan& scan, SettingsState& state) {
    Targets moved;
    for (std::size_t t = 0; t < TargetCount; ++t) {
        moved[t] = scan.settledBySettingLine(t) && fillControl(t, scan.lastValue[t], state);
    }
    return moved;
}

// Every line that did not move, in order, joined by CR LF. Writing puts the marker back in front.
std::string freeTextOf(std::string_view text, const std::vector<LineFacts>& facts, const Targets& moved) {
    std::string freeText;
    freeText.reserve(text.size() + 64);
    bool first = true;
    bool markerSeen = false;
    std::size_t index = 0;
    forEachLine(text, [&](const Line& line) {
        const LineFacts& fact = facts[index++];
        if (fact.target < TargetCount && moved[fact.target]) {
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
        if (fact.quoteClosed) {
            freeText += '"';
        }
    });
    return freeText;
}

} // namespace

std::string userconfigText(std::string_view fileBytes) {
    return decodeConfigBytes(fileBytes).text;
}

SettingsState parseUserconfig(std::string_view fileBytes) {
    const std::string decoded = userconfigText(fileBytes);
    const std::string_view text = decoded;
    const Scan scan = scanLines(text, std::min(text.find('\0'), text.size()));
    SettingsState state;
    const Targets moved = fillControls(scan, state);
    state.manual_text = freeTextOf(text, scan.lines, moved);
    return state;
}

} // namespace setforge::config
