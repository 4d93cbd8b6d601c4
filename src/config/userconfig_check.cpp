// The player's own lines as the game will run them, compared with what the window shows.
//
// The facts come from the public reconstructions of the game's engine (the command buffer, the
// tokenizer and `exec` of ReHLDS, rehlds/engine/cmd.cpp and common.cpp): the buffer ends a command
// at a line feed and at a ';' outside quotes and cuts it after 1023 bytes; the tokenizer stops
// reading a command at an argument of 515 characters or more, and after 80 arguments; `exec` reads
// a file too large for the buffer line by line, ending a line also at a TAB, a CR and at each byte
// of 0x80 and above.
#include "config/userconfig_check.h"

#include "buyscript/game_keys.h"
#include "config/ascii.h"
#include "config/console.h"
#include "config/console_names.h"
#include "config/userconfig.h"
#include "config/utf8.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace setforge::config {
namespace {

using console::Argument;
using console::Span;
using console::Tokens;

constexpr std::size_t None = std::string_view::npos;

// What a command can set that a control of the window also sets: a setting, or the name.
constexpr std::size_t SettingCount = SettingsCatalogue.size();
constexpr std::size_t NameTarget = SettingCount;
constexpr std::size_t TargetCount = SettingCount + 1;

std::string quoted(std::string_view text) {
    constexpr std::size_t Shown = 60;
    std::size_t shown = std::min(text.size(), Shown);
    while (shown < text.size() && shown > 0 && (static_cast<unsigned char>(text[shown]) & 0xC0) == 0x80) {
        --shown; // never cut a character in two
    }
    std::string out = "„";
    out += sanitizeUtf8(text.substr(0, shown));
    if (shown < text.size()) {
        out += "…";
    }
    out += "“";
    return out;
}

// A cvar's value as the game reads it: a number by its value, anything else as written.
bool sameValue(std::string_view a, std::string_view b) {
    if (a == b) {
        return true;
    }
    const auto number = [](std::string_view s) -> std::optional<double> {
        double value = 0;
        const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), value);
        return error == std::errc{} && end == s.data() + s.size() && !s.empty() ? std::optional(value) : std::nullopt;
    };
    const auto x = number(a);
    const auto y = number(b);
    return x && y && *x == *y;
}

const ChoiceSpec* choiceWithValue(const SettingSpec& setting, std::string_view value) {
    for (const ChoiceSpec& choice : setting.choices) {
        if (sameValue(choice.value, value)) {
            return &choice;
        }
    }
    return nullptr;
}

bool isBlankByte(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

// A command as the game runs it: its arguments as the tokenizer keeps them, in the free text's offsets.
struct RunCommand {
    Span span;
    std::vector<Argument> args;
    std::size_t cutAt = None; // where the tokenizer stopped at a limit
};

RunCommand runCommand(std::string_view text, Span span) {
    const std::string_view command = text.substr(span.begin, span.end - span.begin);
    Tokens tokens = console::tokenize(command);
    RunCommand run{span, std::move(tokens.args), None};
    for (Argument& arg : run.args) {
        arg.span = {span.begin + arg.span.begin, span.begin + arg.span.end};
    }
    if (tokens.cut) {
        std::size_t at = run.args.empty() ? span.begin : run.args.back().span.end;
        while (at < span.end && isBlankByte(text[at])) {
            ++at;
        }
        run.cutAt = at;
    }
    return run;
}

// The arguments of each command of `text` that has any, read as the text says (no cut).
std::vector<std::vector<std::string_view>> commandWords(std::string_view text) {
    std::vector<std::vector<std::string_view>> commands;
    console::forEachCommand(
        text,
        [&](const console::Command& command) {
            std::vector<std::string_view> words;
            for (const Argument& arg :
                 console::tokenize(text.substr(command.begin, command.end - command.begin)).args) {
                words.push_back(arg.text);
            }
            if (!words.empty()) {
                commands.push_back(std::move(words));
            }
        },
        console::LongCommands::Keep);
    return commands;
}

// True when the game, stopping at the NUL byte at `nul`, runs other commands than the text says:
// the NUL's own command, read up to the NUL and read on, and everything after it.
bool nulChangesWhatRuns(std::string_view text, std::size_t nul) {
    std::size_t start = 0;
    console::forEachCommand(
        text,
        [&](const console::Command& command) {
            if (command.begin <= nul) {
                start = command.begin;
            }
        },
        console::LongCommands::Keep);
    const std::string readOn = std::string(text.substr(start)) + "\r\n"; // writing ends the text with CR LF
    return commandWords(text.substr(start, nul - start)) != commandWords(readOn);
}

struct Setter {
    std::size_t line = 0;
    Span span;    // the command without blanks around it
    Span removal; // the command with its separator, or its whole line with the line break
    std::string value;
};

class Checker {
public:
    Checker(const SettingsState& state, std::string_view text)
        : m_state(state)
        , m_text(text) {
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '\n') {
                m_lineStarts.push_back(i + 1);
            }
        }
    }

    std::vector<ConfigFinding> run() {
        // The game reads the file as a C string: nothing after a NUL byte runs.
        const std::size_t runEnd = std::min(m_text.find('\0'), m_text.size());
        if (runEnd < m_text.size() && nulChangesWhatRuns(m_text, runEnd)) {
            add(FindingKind::CutByGame, runEnd, m_text.size(),
                "Das Spiel liest die Datei nur bis zu diesem Nullzeichen: Alles danach führt es nicht aus.\r\n"
                "Entferne das Nullzeichen.");
        }
        const std::string_view runnable = m_text.substr(0, runEnd);
        if (composeUserconfig(m_state).size() > WholeFileLimit) {
            readLineByLine(runnable);
        } else {
            console::forEachCommand(runnable, [&](const console::Command& command) { collect(command, 0); });
        }
        for (const RunCommand& command : m_commands) {
            rememberAlias(command);
        }
        for (const RunCommand& command : m_commands) {
            check(command);
        }
        addOverrides();
        std::ranges::stable_sort(m_findings, {}, &ConfigFinding::begin);
        return std::move(m_findings);
    }

private:
    std::size_t lineOf(std::size_t offset) const {
        return static_cast<std::size_t>(std::ranges::upper_bound(m_lineStarts, offset) - m_lineStarts.begin());
    }
    Span lineAt(std::size_t offset) const {
        const std::size_t line = lineOf(offset);
        const std::size_t begin = line == 0 ? 0 : m_lineStarts[line - 1];
        std::size_t end = line < m_lineStarts.size() ? m_lineStarts[line] - 1 : m_text.size();
        if (end > begin && m_text[end - 1] == '\r') {
            --end;
        }
        return {begin, end};
    }

    void add(FindingKind kind, std::size_t begin, std::size_t end, std::string message,
             std::optional<std::string> fix = std::nullopt) {
        m_findings.push_back({kind, lineOf(begin), begin, end, std::move(message), std::move(fix)});
    }

    // `offset` moves a command of a piece of the text to the free text's offsets.
    void collect(const console::Command& command, std::size_t offset) {
        const Span span{offset + command.begin, offset + command.end};
        if (m_cutBefore != None) {
            const Span rest = trim({m_cutBefore, span.end});
            add(FindingKind::CutByGame, rest.begin, std::max(rest.end, rest.begin + 1),
                "Dieser Befehl ist länger als 1023 Bytes: Das Spiel führt nur die ersten 1023 aus, verliert das "
                "nächste Byte und führt den Rest " +
                    quoted(m_text.substr(span.begin, span.end - span.begin)) +
                    " als eigenen Befehl aus.\r\nTeile den Befehl in kürzere auf, etwa mit alias.");
        }
        m_cutBefore = command.cut ? span.end : None;
        m_commands.push_back(runCommand(m_text, span));
    }

    Span trim(Span span) const {
        while (span.begin < span.end && isBlankByte(m_text[span.begin])) {
            ++span.begin;
        }
        while (span.end > span.begin && isBlankByte(m_text[span.end - 1])) {
            --span.end;
        }
        return span;
    }

    // A file too large for the command buffer: each line in the pieces `exec` reads it in.
    void readLineByLine(std::string_view runnable) {
        std::size_t begin = 0;
        while (begin < runnable.size()) {
            const std::size_t lf = runnable.find('\n', begin);
            std::size_t end = lf == None ? runnable.size() : lf;
            const bool crlf = lf != None && end > begin && runnable[end - 1] == '\r';
            if (crlf) {
                --end;
            }
            // Writing ends the last line with CR LF.
            readLine({begin, end}, crlf || lf == None);
            begin = lf == None ? runnable.size() : lf + 1;
        }
    }

    static bool endsReadLine(char c) {
        const auto u = static_cast<unsigned char>(c);
        return u < ' ' || u >= 0x80;
    }
    static bool skippedAfterReadLine(char c) { return endsReadLine(c) && c != '\t'; }

    // `crEnded`: the line ends with CR LF in the file, not with a bare LF.
    void readLine(Span line, bool crEnded) {
        std::vector<Span> pieces;
        std::size_t i = line.begin;
        while (i < line.end && skippedAfterReadLine(m_text[i])) {
            ++i;
        }
        while (i < line.end) {
            const std::size_t start = i++;
            while (i < line.end && i - start < console::MaxCommandBytes && !endsReadLine(m_text[i])) {
                ++i;
            }
            pieces.push_back({start, i});
            while (i < line.end && skippedAfterReadLine(m_text[i])) {
                ++i;
            }
        }
        const std::size_t firstCommand = m_commands.size();
        for (const Span piece : pieces) {
            console::forEachCommand(m_text.substr(piece.begin, piece.end - piece.begin),
                                    [&](const console::Command& command) { collect(command, piece.begin); });
        }
        // Only a line whose commands come out differently is reported. Read whole, the CR of its
        // line end belongs to a quote left open.
        std::vector<std::vector<std::string_view>> asPieces;
        for (std::size_t c = firstCommand; c < m_commands.size(); ++c) {
            appendWords(asPieces, m_commands[c]);
        }
        const std::string whole = std::string(m_text.substr(line.begin, line.end - line.begin)) + (crEnded ? "\r" : "");
        std::vector<std::vector<std::string_view>> asWhole;
        bool openQuote = false;
        console::forEachCommand(
            whole,
            [&](const console::Command& command) {
                const Span span{command.begin, command.end};
                appendWords(asWhole, runCommand(whole, span));
                openQuote =
                    console::tokenize(std::string_view(whole).substr(span.begin, span.end - span.begin)).unclosedQuote;
            },
            console::LongCommands::Keep);
        if (asPieces == asWhole) {
            return;
        }
        std::string runs;
        constexpr std::size_t ShownPieces = 4;
        for (std::size_t p = 0; p < pieces.size() && p < ShownPieces; ++p) {
            runs += p == 0 ? "" : ", ";
            runs += quoted(m_text.substr(pieces[p].begin, pieces[p].end - pieces[p].begin));
        }
        if (pieces.size() > ShownPieces) {
            runs += " und " + std::to_string(pieces.size() - ShownPieces) + " weitere";
        }
        std::string message = "Die Config ist größer als " + std::to_string(WholeFileLimit) +
                              " Bytes: Das Spiel liest sie dann Zeile für Zeile und beendet eine Zeile auch bei "
                              "einem Tabulator, einem CR, bei Umlauten und anderen Sonderzeichen und nach 1023 "
                              "Bytes.\r\n";
        message +=
            pieces.empty() ? "Von dieser Zeile führt es nichts aus." : "Von dieser Zeile führt es " + runs + " aus.";
        const std::string_view content = m_text.substr(line.begin, line.end - line.begin);
        std::optional<std::string> fix;
        if (std::ranges::none_of(content, [](char c) { return static_cast<unsigned char>(c) >= 0x80; })) {
            // Blanks for TAB and CR, and a closed quote, read the same both ways.
            std::string readable(content);
            std::ranges::replace_if(
                readable, [](char c) { return c == '\t' || c == '\r'; }, ' ');
            if (openQuote) {
                readable += '"';
            }
            fix = std::move(readable);
            message += openQuote ? "\r\nSchließe das Anführungszeichen am Ende der Zeile."
                                 : "\r\nErsetze Tabulatoren durch Leerzeichen.";
        } else {
            message += "\r\nVerzichte in dieser Zeile auf Umlaute und Sonderzeichen, oder kürze die Config.";
        }
        add(FindingKind::CutByGame, line.begin, line.end, std::move(message), std::move(fix));
    }

    static void appendWords(std::vector<std::vector<std::string_view>>& out, const RunCommand& command) {
        std::vector<std::string_view> words;
        for (const Argument& arg : command.args) {
            words.push_back(arg.text);
        }
        if (!words.empty()) {
            out.push_back(std::move(words));
        }
    }

    void rememberAlias(const RunCommand& command) {
        const auto& args = command.args;
        if (args.size() >= 2 && equalsIgnoringCase(args[0].text, "alias")) {
            std::string name(args[1].text);
            std::ranges::transform(name, name.begin(), lowerAscii);
            m_aliases.insert(std::move(name));
        }
    }

    void check(const RunCommand& command) {
        const std::span<const Argument> args = command.args;
        if (command.cutAt != None) {
            const Span rest = trim({command.cutAt, command.span.end});
            std::string message;
            if (args.size() == console::MaxArguments) {
                message = "Das Spiel liest höchstens 80 Argumente eines Befehls: Ab hier lässt es alles weg.\r\n"
                          "Teile den Befehl auf, etwa mit alias.";
            } else {
                // The argument the reading stopped at, read once more without the limits.
                const console::Tokens whole =
                    console::tokenize(m_text.substr(rest.begin, rest.end - rest.begin),
                                      {console::GameReading.singleChars, false, false, false});
                const std::size_t length = whole.args.empty() ? 0 : whole.args.front().text.size();
                message = "Dieses Argument ist " + std::to_string(length) +
                          " Zeichen lang: Ab 515 Zeichen hört das Spiel hier auf, den Befehl zu lesen, und führt nur " +
                          (args.empty() ? std::string("nichts") : quoted(joined(args))) +
                          " aus.\r\nKürze das Argument auf höchstens 514 Zeichen.";
            }
            add(FindingKind::CutByGame, rest.begin, rest.end, std::move(message));
        }
        if (args.empty()) {
            return;
        }
        checkOverride(command, args);
        checkBind(args);
        checkName(args[0]);
    }

    static std::string joined(std::span<const Argument> args) {
        std::string out;
        for (const Argument& arg : args) {
            out += out.empty() ? "" : " ";
            out += arg.text;
        }
        return out;
    }

    void checkOverride(const RunCommand& command, std::span<const Argument> args) {
        std::size_t target = None;
        std::string_view value;
        if (args.size() >= 2 && equalsIgnoringCase(args[0].text, "name")) {
            target = NameTarget;
            value = args[1].text;
        } else if (args.size() >= 3 && equalsIgnoringCase(args[0].text, "setinfo")) {
            for (std::size_t t = 0; t < SettingCount; ++t) {
                if (SettingsCatalogue[t].lineForm == LineForm::Setinfo && args[1].text == SettingsCatalogue[t].key) {
                    target = t;
                    value = args[2].text;
                }
            }
        } else if (args.size() >= 2) {
            for (std::size_t t = 0; t < SettingCount; ++t) {
                if (SettingsCatalogue[t].lineForm == LineForm::Cvar &&
                    equalsIgnoringCase(args[0].text, SettingsCatalogue[t].key)) {
                    target = t;
                    value = args[1].text;
                }
            }
        }
        if (target == None) {
            return;
        }
        const Span span = trim(command.span);
        m_setters[target] = Setter{lineOf(span.begin), span, removal(span), std::string(value)};
    }

    // What to remove to drop a command: its whole line when nothing else stands on it, else the
    // command with one ';' next to it.
    Span removal(Span command) const {
        const Span line = lineAt(command.begin);
        const Span content = trim(line);
        if (content.begin == command.begin && content.end == command.end) {
            const std::size_t next = line.end < m_text.size() ? m_text.find('\n', line.end) : None;
            if (next != None) {
                return {line.begin, next + 1};
            }
            return {line.begin > 0 ? line.begin - (line.begin >= 2 && m_text[line.begin - 2] == '\r' ? 2 : 1) : 0,
                    line.end};
        }
        std::size_t after = command.end;
        while (after < line.end && isBlankByte(m_text[after])) {
            ++after;
        }
        if (after < line.end && m_text[after] == ';') {
            return {command.begin, after + 1};
        }
        std::size_t before = command.begin;
        while (before > line.begin && isBlankByte(m_text[before - 1])) {
            --before;
        }
        return {before > line.begin && m_text[before - 1] == ';' ? before - 1 : command.begin, command.end};
    }

    void addOverrides() {
        for (std::size_t t = 0; t < TargetCount; ++t) {
            if (!m_setters[t]) {
                continue;
            }
            const Setter& setter = *m_setters[t];
            ConfigFinding finding{FindingKind::OverridesChoice, setter.line, setter.removal.begin,
                                  setter.removal.end,           {},          std::string()};
            if (t == NameTarget) {
                if (isBlankNickname(m_state.nickname)) {
                    continue;
                }
                const std::string window = sanitizeUtf8(nameLineSafe(m_state.nickname));
                if (setter.value == window) {
                    continue;
                }
                finding.message = "Diese Zeile setzt den Namen auf " + quoted(setter.value) +
                                  ": Das Spiel nimmt ihn statt des Nicknames " + quoted(window) +
                                  " aus dem Fenster.\r\nEntferne die Zeile, oder trage den Namen als Nickname ein.";
            } else {
                const SettingSpec& setting = SettingsCatalogue[t];
                const ChoiceSpec* chosen = currentChoice(setting, m_state);
                if (chosen == nullptr || sameValue(chosen->value, setter.value)) {
                    continue;
                }
                finding.setting = &setting;
                finding.lineChoice = choiceWithValue(setting, setter.value);
                finding.message = "Diese Zeile setzt " + std::string(setting.key) + " auf " + quoted(setter.value) +
                                  ": Das Spiel nimmt diesen Wert statt " + quoted(chosen->display) + " (" +
                                  std::string(setting.label) + ") aus dem Fenster.\r\n";
                finding.message += finding.lineChoice != nullptr
                                       ? "Entferne die Zeile, oder übernimm den Wert " +
                                             quoted(finding.lineChoice->display) + " in die Auswahl."
                                       : "Entferne die Zeile, dann gilt die Auswahl im Fenster.";
            }
            m_findings.push_back(std::move(finding));
        }
    }

    void checkBind(std::span<const Argument> args) {
        if (args.size() < 2 ||
            !(equalsIgnoringCase(args[0].text, "bind") || equalsIgnoringCase(args[0].text, "unbind"))) {
            return;
        }
        const Argument& key = args[1];
        if (buyscript::isGameKey(key.text)) {
            return;
        }
        const std::vector<std::string_view> near = buyscript::nearGameKeys(key.text);
        std::string message = "Das Spiel kennt keine Taste " + quoted(key.text) + ": Dieser Befehl belegt keine Taste.";
        std::optional<std::string> fix;
        if (!near.empty()) {
            message += "\r\nÄhnliche Tastennamen: ";
            for (std::size_t i = 0; i < near.size(); ++i) {
                message += i == 0 ? "" : ", ";
                message += near[i];
            }
            message += '.';
            fix = key.quoted ? "\"" + std::string(near.front()) + "\"" : std::string(near.front());
        } else {
            message += "\r\nTastennamen des Spiels sind zum Beispiel F5, KP_END, MOUSE4, SPACE oder q.";
        }
        add(FindingKind::UnknownKey, key.span.begin, key.span.end, std::move(message), std::move(fix));
    }

    void checkName(const Argument& verb) {
        if (verb.text.empty() || verb.text.size() > 62 || !std::ranges::all_of(verb.text, [](char c) {
                return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
                       c == '+' || c == '-' || c == '.';
            })) {
            return;
        }
        std::string lowered(verb.text);
        std::ranges::transform(lowered, lowered.begin(), lowerAscii);
        if (m_aliases.contains(lowered)) {
            return;
        }
        auto [it, fresh] = m_near.try_emplace(lowered);
        if (fresh) {
            it->second = nearGameConsoleName(lowered);
        }
        if (!it->second) {
            return;
        }
        const std::string name(*it->second);
        add(FindingKind::NearName, verb.span.begin, verb.span.end,
            "Meintest du " + name + "? Das Spiel kennt " + quoted(verb.text) +
                " nicht, außer als eigener Alias aus einer anderen Datei.",
            verb.quoted ? "\"" + name + "\"" : name);
    }

    const SettingsState& m_state;
    std::string_view m_text;
    std::vector<std::size_t> m_lineStarts{0};
    std::vector<RunCommand> m_commands;
    std::size_t m_cutBefore = None; // where the command buffer cut the command before
    std::vector<ConfigFinding> m_findings;
    std::array<std::optional<Setter>, TargetCount> m_setters;
    std::unordered_set<std::string> m_aliases;
    std::unordered_map<std::string, std::optional<std::string_view>> m_near;
};

} // namespace

std::vector<ConfigFinding> checkUserconfig(const SettingsState& state) {
    return Checker(state, state.manual_text).run();
}

} // namespace setforge::config
