// The player's own lines as the game will run them, compared with what the window shows and with
// what each line says to someone reading it.
//
// The game's side is game::runFile, the engine's console run over the whole file the window writes
// (its own lines included). What a line says is its plain reading: a line ends at LF and at a lone
// CR, a `//` comment runs to the line's end, ';' separates commands, and words end only at blanks.
// Where the two differ, the line gets one finding naming the cause.
#include "config/userconfig_check.h"

#include "config/game_config.h"
#include "config/userconfig.h"
#include "config/utf8.h"
#include "game/ascii.h"
#include "game/console.h"
#include "game/console_names.h"
#include "game/keys.h"
#include "game/number.h"
#include "game/run.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace setforge::config {
namespace {

using game::None;
using game::console::Argument;
using game::console::Span;
using Words = std::vector<std::vector<std::string_view>>;

// What a command can set that a control of the window also sets: a setting, or the name.
constexpr std::size_t SettingCount = SettingsCatalogue.size();
constexpr std::size_t NameTarget = SettingCount;
constexpr std::size_t TargetCount = SettingCount + 1;
// The engine keeps userinfo keys and values shorter than this many bytes.
constexpr std::size_t UserinfoLimit = 127;

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

// "2,5", "-0,01", ",5": a number as a German writes it, which the game's atof ends at the comma.
bool isDecimalComma(std::string_view s) {
    if (!s.empty() && (s.front() == '-' || s.front() == '+')) {
        s.remove_prefix(1);
    }
    const std::size_t comma = s.find(',');
    const auto digits = [](std::string_view part) {
        return std::ranges::all_of(part, [](char c) { return c >= '0' && c <= '9'; });
    };
    return comma != std::string_view::npos && comma + 1 < s.size() && digits(s.substr(0, comma)) &&
           digits(s.substr(comma + 1));
}

bool isPlainNumber(std::string_view s) {
    return !s.empty() && std::ranges::all_of(s, [](char c) { return (c >= '0' && c <= '9') || c == '.'; });
}

// A variable's value as the game uses it: a number by its float value, anything else as written.
bool sameValue(const SettingSpec& setting, std::string_view choice, std::string_view value) {
    if (choice == value) {
        return true;
    }
    return setting.lineForm == LineForm::Cvar && isPlainNumber(choice) &&
           game::variableNumber(choice) == game::variableNumber(value);
}

const ChoiceSpec* choiceWithValue(const SettingSpec& setting, std::string_view value) {
    for (const ChoiceSpec& choice : setting.choices) {
        if (sameValue(setting, choice.value, value)) {
            return &choice;
        }
    }
    return nullptr;
}

bool isBlankByte(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

std::string joined(std::span<const Argument> args) {
    std::string out;
    for (const Argument& arg : args) {
        out += out.empty() ? "" : " ";
        out += arg.text;
    }
    return out;
}

void appendWords(Words& out, std::span<const Argument> args) {
    std::vector<std::string_view> words;
    for (const Argument& arg : args) {
        words.push_back(arg.text);
    }
    if (!words.empty()) {
        out.push_back(std::move(words));
    }
}

// What a line says: its commands in the plain reading, up to a `//` comment. `commentAt` is where
// the comment starts (in the line's offsets), None without one.
struct SaidLine {
    Words commands;
    std::size_t commentAt = None;
};

SaidLine saidBy(std::string_view line) {
    SaidLine said;
    game::console::forEachCommand(
        line,
        [&](const game::console::Command& command) {
            if (said.commentAt != None) {
                return;
            }
            const std::string_view text = line.substr(command.begin, command.end - command.begin);
            std::vector<Argument> args;
            const game::console::Ending ending =
                game::console::readArguments(text, game::console::PlainReading, [&](const Argument& a) {
                    args.push_back(a);
                    return true;
                });
            appendWords(said.commands, args);
            if (ending.commentAt != None) {
                said.commentAt = command.begin + ending.commentAt;
            }
        },
        game::console::LongCommands::Keep);
    return said;
}

// The line's pieces between lone CRs (a reader sees each as a line of its own).
template <typename Visit> void forEachSaidLine(std::string_view line, Visit visit) {
    std::size_t begin = 0;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '\r' && i + 1 < line.size() && line[i + 1] != '\n') {
            visit(line.substr(begin, i - begin), begin);
            begin = i + 1;
        }
    }
    visit(line.substr(begin), begin);
}

// Everything `text` says, line by line.
Words saidWords(std::string_view text) {
    Words said;
    std::size_t begin = 0;
    while (begin <= text.size()) {
        const std::size_t lf = std::min(text.find('\n', begin), text.size());
        forEachSaidLine(text.substr(begin, lf - begin), [&](std::string_view piece, std::size_t) {
            const Words commands = saidBy(piece).commands;
            said.insert(said.end(), commands.begin(), commands.end());
        });
        begin = lf + 1;
    }
    return said;
}

// True when the game, stopping at the NUL byte at `nul`, leaves out something the text says: the
// NUL's line read on past the NUL, or any line after it.
bool nulChangesWhatRuns(std::string_view text, std::size_t nul) {
    const std::size_t lf = text.rfind('\n', nul);
    const std::size_t start = lf == None ? 0 : lf + 1;
    return saidWords(text.substr(start, nul - start)) != saidWords(text.substr(start));
}

// A value the game's userinfo refuses: it then keeps what it had.
bool userinfoRefuses(std::string_view text) {
    return text.find_first_of("\\\"") != None || text.find("..") != None || text.size() >= UserinfoLimit ||
           !isValidUtf8(text);
}

// The last command that changed a target while the file loaded.
struct Setter {
    std::size_t step = 0;
    std::string value;
    bool removed = false; // a `setinfo` removed the key
};

// The file the window writes, with where its free text starts and what each window line writes.
struct WrittenFile {
    std::string text;
    std::size_t freeTextAt = 0;
    std::vector<std::size_t> lineStarts;          // of the window's lines, then the marker line
    std::vector<const SettingSpec*> lineSettings; // nullptr for the name line
};

WrittenFile writtenFile(const SettingsState& state) {
    SettingsState windowOnly = state;
    windowOnly.manual_text.clear();
    WrittenFile file{composeUserconfig(windowOnly), 0, {}, {}};
    file.text.resize(file.text.size() - 2); // the empty free text's line end
    file.freeTextAt = file.text.size();
    for (std::size_t i = 0; i < file.freeTextAt; i = file.text.find('\n', i) + 1) {
        file.lineStarts.push_back(i);
    }
    if (!isBlankNickname(state.nickname)) {
        file.lineSettings.push_back(nullptr);
    }
    for (const SettingSpec& setting : SettingsCatalogue) {
        if (currentChoice(setting, state) != nullptr) {
            file.lineSettings.push_back(&setting);
        }
    }
    file.text += state.manual_text;
    file.text += "\r\n";
    return file;
}

class Checker {
public:
    Checker(const SettingsState& state)
        : m_state(state)
        , m_text(state.manual_text)
        , m_file(writtenFile(state)) {
        for (std::size_t i = 0; i < m_text.size(); ++i) {
            if (m_text[i] == '\n') {
                m_lineStarts.push_back(i + 1);
            }
        }
        const std::size_t size = composeUserconfig(state).size();
        m_lineByLine = size > WholeFileLimit;
        m_surelyLineByLine = size > CommandBufferFileLimit;
    }

    std::vector<ConfigFinding> run() {
        // The game reads the file as a C string: nothing after a NUL byte runs.
        const std::size_t nul = m_text.find('\0');
        if (nul != None && nulChangesWhatRuns(m_text, nul)) {
            add(FindingKind::CutByGame, nul, m_text.size(),
                "Das Spiel liest die Datei nur bis zu diesem Nullzeichen: Alles danach führt es nicht aus.\r\n"
                "Entferne das Nullzeichen.");
        }
        m_runEnd = nul == None ? m_file.text.size() : m_file.freeTextAt + nul;
        m_run = game::runFile(std::string_view(m_file.text).substr(0, m_runEnd), m_lineByLine, &runsUserconfigAgain);
        compareLines();
        checkRunFacts();
        checkSteps();
        addOverrides();
        std::ranges::stable_sort(m_findings, {}, &ConfigFinding::begin);
        return std::move(m_findings);
    }

    std::optional<FileValue> valueOf(std::string_view cvar) {
        m_run =
            game::runFile(std::string_view(m_file.text).substr(0, std::min(m_file.text.find('\0'), m_file.text.size())),
                          m_lineByLine, &runsUserconfigAgain);
        std::optional<FileValue> found;
        for (const game::Step& step : m_run.steps) {
            if (step.args.size() >= 2 && game::equalsIgnoringCase(step.args[0].text, cvar)) {
                const bool free = step.span.begin >= m_file.freeTextAt;
                found = FileValue{std::string(step.args[1].text), free ? lineOf(toFree(step.span.begin)) : 0, free};
            }
        }
        return found;
    }

private:
    // --- Offsets -----------------------------------------------------------------------------

    std::size_t toFree(std::size_t fileOffset) const { return fileOffset - m_file.freeTextAt; }
    bool inFreeText(const game::Step& step) const { return step.span.begin >= m_file.freeTextAt; }

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
    Span trim(Span span) const {
        while (span.begin < span.end && isBlankByte(m_text[span.begin])) {
            ++span.begin;
        }
        while (span.end > span.begin && isBlankByte(m_text[span.end - 1])) {
            --span.end;
        }
        return span;
    }
    std::string lineName(std::size_t offset) const { return "Zeile " + std::to_string(lineOf(offset)); }

    void add(FindingKind kind, std::size_t begin, std::size_t end, std::string message,
             std::optional<std::string> fix = std::nullopt) {
        m_findings.push_back({kind, lineOf(begin), begin, end, std::move(message), std::move(fix)});
    }

    // A finding on a line the window writes belongs to that line's control.
    void addOnWindowLine(std::size_t windowLine, std::string message) {
        ConfigFinding finding{FindingKind::CutByGame, 0, 0, 0, std::move(message), std::nullopt};
        finding.place = FindingPlace::WindowLine;
        finding.setting = windowLine < m_file.lineSettings.size() ? m_file.lineSettings[windowLine] : nullptr;
        m_findings.push_back(std::move(finding));
    }

    // --- Each line: what it says against what the game runs of it -----------------------------

    void compareLines() {
        std::vector<Words> ran(m_file.lineStarts.size() + m_lineStarts.size());
        m_lineSteps.assign(ran.size(), {});
        for (std::size_t i = 0; i < m_run.steps.size(); ++i) {
            const game::Step& step = m_run.steps[i];
            if (step.alias.empty()) {
                const std::size_t l = fileLineOf(step.span.begin);
                appendWords(ran[l], step.args);
                m_lineSteps[l].push_back(i);
            }
        }
        // Where loading never ends (an endless alias, an exec of the file itself), the rest of that
        // line and everything after it never runs: its own mark says so.
        const std::size_t stoppedAt = std::min(m_run.endlessAt, m_run.selfExecAt);
        for (std::size_t l = 0; l < ran.size(); ++l) {
            Span line = fileLine(l);
            if (line.begin > m_runEnd || (line.begin == m_runEnd && m_runEnd < m_file.text.size())) {
                break; // after the NUL: judged as a whole above
            }
            if (stoppedAt != None && line.end > stoppedAt) {
                break;
            }
            line.end = std::min(line.end, m_runEnd);
            const std::string_view text = std::string_view(m_file.text).substr(line.begin, line.end - line.begin);
            Words said;
            std::size_t commentAt = None;
            forEachSaidLine(text, [&](std::string_view piece, std::size_t at) {
                SaidLine s = saidBy(piece);
                said.insert(said.end(), s.commands.begin(), s.commands.end());
                if (s.commentAt != None && commentAt == None) {
                    commentAt = at + s.commentAt;
                }
            });
            if (l >= m_file.lineStarts.size() && !m_lineByLine && reportLookalikes(line, ran[l])) {
                continue;
            }
            if (said != ran[l]) {
                reportLine(l, line, commentAt, ran[l]);
            }
        }
    }

    // Quotes and blanks copied from a web page (“ ” „ « » and the no-break space) look like '"' and
    // ' ' but are bytes of a word to the game: `bind “MOUSE4” “+jump”` binds nothing. Marked where
    // one stands outside quotes in a line whose first command takes keys, commands or values; in an
    // echo or say they may be the text meant.
    bool reportLookalikes(Span line, const Words& ran) {
        static constexpr std::pair<std::string_view, char> Lookalikes[] = {{"\xE2\x80\x9C", '"'}, {"\xE2\x80\x9D", '"'},
                                                                           {"\xE2\x80\x9E", '"'}, {"\xC2\xAB", '"'},
                                                                           {"\xC2\xBB", '"'},     {"\xC2\xA0", ' '}};
        const std::size_t begin = toFree(line.begin);
        const std::string_view text =
            std::string_view(m_text).substr(begin, std::min(toFree(line.end), m_text.size()) - begin);
        const std::string_view body = text.substr(0, text.size() - (text.ends_with('\r') ? 1 : 0));
        if (body.find_first_of("\xC2\xE2") == std::string_view::npos) {
            return false; // every lookalike starts with one of these bytes
        }
        std::string plain;
        bool inQuotes = false;
        bool lookalikeOpened = false; // the open quote is a typographic one: so is its end
        bool changed = false;
        for (std::size_t i = 0; i < body.size();) {
            const auto* lookalike = std::ranges::find_if(Lookalikes, [&](const auto& l) {
                return (!inQuotes || (lookalikeOpened && l.second == '"')) && body.substr(i).starts_with(l.first);
            });
            const bool replaced = lookalike != std::end(Lookalikes);
            const char c = replaced ? lookalike->second : body[i];
            i += replaced ? lookalike->first.size() : 1;
            changed = changed || replaced;
            if (c == '"') {
                inQuotes = !inQuotes;
                lookalikeOpened = inQuotes && replaced;
            }
            plain += c;
        }
        const std::optional<Argument> verb = game::console::firstArgument(plain, game::console::PlainReading);
        const auto takesNames = [](std::string_view v) {
            return game::equalsIgnoringCase(v, "bind") || game::equalsIgnoringCase(v, "unbind") ||
                   game::equalsIgnoringCase(v, "alias") || game::equalsIgnoringCase(v, "exec") ||
                   game::equalsIgnoringCase(v, "setinfo") ||
                   (game::isGameVariable(v) && !game::equalsIgnoringCase(v, "name"));
        };
        if (!changed || !verb || !takesNames(verb->text)) {
            return false;
        }
        add(FindingKind::CutByGame, begin, begin + body.size(),
            lineName(begin) +
                ": Hier stehen typografische Anführungszeichen oder geschützte Leerzeichen (aus "
                "einer Webseite kopiert?), für das Spiel Teil der Wörter: Es führt " +
                whatRuns(ran) + " aus.\r\nErsetze sie durch gerade Anführungszeichen (\") und Leerzeichen.",
            std::move(plain));
        return true;
    }

    // The file's lines: the window's, then the free text's (each up to its LF, a CR before it kept).
    std::size_t fileLineOf(std::size_t fileOffset) const {
        if (fileOffset < m_file.freeTextAt) {
            return static_cast<std::size_t>(std::ranges::upper_bound(m_file.lineStarts, fileOffset) -
                                            m_file.lineStarts.begin()) -
                   1;
        }
        return m_file.lineStarts.size() + lineOf(toFree(fileOffset)) - 1;
    }
    Span fileLine(std::size_t l) const {
        const std::size_t begin = l < m_file.lineStarts.size()
                                      ? m_file.lineStarts[l]
                                      : m_file.freeTextAt + m_lineStarts[l - m_file.lineStarts.size()];
        const std::size_t lf = m_file.text.find('\n', begin);
        return {begin, lf == None ? m_file.text.size() : lf};
    }

    void reportLine(std::size_t l, Span line, std::size_t commentAt, const Words& ran) {
        const std::string_view text = std::string_view(m_file.text).substr(line.begin, line.end - line.begin);
        const std::string runs = whatRuns(ran);
        if (l < m_file.lineStarts.size()) {
            reportWindowLine(l, runs, ran);
            return;
        }
        const Span free{toFree(line.begin), std::min(toFree(line.end), m_text.size())};
        const std::string_view body = text.substr(0, text.size() - (text.ends_with('\r') ? 1 : 0));
        // Read line by line, the CR of the line end closes no quote left open: it ends the piece.
        if (m_lineByLine && (body.size() > game::console::MaxCommandBytes || std::ranges::count(body, '"') % 2 == 1 ||
                             std::ranges::any_of(body, game::endsPieceByte))) {
            reportPieces(free, runs);
        } else if (const std::size_t cr = text.find('\r'); cr != None && cr + 1 < text.size()) {
            add(FindingKind::CutByGame, free.begin + cr, free.begin + cr + 1,
                lineName(free.begin) + ": Ein einzelnes CR (␍) beendet für das Spiel keine Zeile: Es führt " + runs +
                    " aus.\r\nMach daraus einen Zeilenumbruch.",
                "\r\n");
        } else if (commentAt != None && text.find(';', commentAt) != None) {
            reportCommentTail(free, commentAt, ran);
        } else if (!reportBufferCut(l, line, runs) && !reportLimit(l)) {
            reportReading(free, runs);
        }
    }

    std::string whatRuns(const Words& ran) const {
        if (ran.empty()) {
            return "nichts";
        }
        std::string out = ran.size() == 1 ? "einen Befehl" : std::to_string(ran.size()) + " Befehle";
        std::string first;
        for (const std::string_view word : ran.front()) {
            first += first.empty() ? "" : " ";
            first += word;
        }
        return out + (ran.size() == 1 ? ", " : ", zuerst ") + quoted(first) + ",";
    }

    std::string lineByLineIntro() const {
        return "Die Config ist größer als " + std::to_string(WholeFileLimit) + " Bytes: Das Spiel " +
               (m_surelyLineByLine ? "liest" : "liest sie vielleicht (je nachdem, was beim Start schon ansteht)") +
               (m_surelyLineByLine ? " sie " : " ") +
               "Zeile für Zeile und beendet eine Zeile dann auch bei einem Tabulator, einem CR, bei Umlauten und "
               "anderen Sonderzeichen und nach 1023 Bytes.\r\n";
    }

    void reportWindowLine(std::size_t l, const std::string& runs, const Words& ran) {
        const SettingSpec* setting = l < m_file.lineSettings.size() ? m_file.lineSettings[l] : nullptr;
        std::string message =
            lineByLineIntro() +
            (setting == nullptr ? "Von der Namenszeile" : "Von der Zeile für " + std::string(setting->label)) +
            " führt es " + runs + " aus.\r\n";
        if (setting == nullptr && !ran.empty() && ran.front().size() >= 2) {
            message += "Der Name im Spiel wird " + quoted(ran.front()[1]) + " statt " +
                       quoted(sanitizeUtf8(nameLineSafe(m_state.nickname))) + ".\r\n";
        }
        message += setting == nullptr ? "Wähle einen Nickname ohne Umlaute und Sonderzeichen, oder kürze die Config "
                                        "auf höchstens " +
                                            std::to_string(WholeFileLimit) + " Bytes."
                                      : "Kürze die Config auf höchstens " + std::to_string(WholeFileLimit) + " Bytes.";
        addOnWindowLine(l, std::move(message));
    }

    // A file read line by line: the line comes apart at TABs, CRs, high bytes or after 1023 bytes.
    void reportPieces(Span line, const std::string& runs) {
        const std::string_view content = std::string_view(m_text).substr(line.begin, line.end - line.begin);
        const bool crEnded = content.ends_with('\r');
        const Span shown{line.begin, line.end - (crEnded ? 1 : 0)};
        std::string message = lineByLineIntro() + "Von " + lineName(line.begin) + " führt es " + runs + " aus.";
        std::optional<std::string> fix;
        const std::string_view body = content.substr(0, shown.end - shown.begin);
        if (std::ranges::none_of(body, [](char c) { return static_cast<unsigned char>(c) >= 0x80; }) &&
            body.size() <= game::console::MaxCommandBytes) {
            // Blanks for TAB and CR, and a closed quote, read the same both ways.
            std::string readable(body);
            std::ranges::replace_if(
                readable, [](char c) { return c == '\t' || c == '\r'; }, ' ');
            const bool open = game::console::tokenize(readable, game::console::PlainReading).unclosedQuote;
            if (open) {
                readable += '"';
            }
            fix = std::move(readable);
            message += open ? "\r\nSchließe das Anführungszeichen am Ende der Zeile."
                            : "\r\nErsetze Tabulatoren durch Leerzeichen.";
        } else {
            message += "\r\nVerzichte in dieser Zeile auf Umlaute und Sonderzeichen, oder kürze die Config.";
        }
        add(FindingKind::CutByGame, shown.begin, shown.end, std::move(message), std::move(fix));
    }

    // The command buffer splits at ';' before the tokenizer sees the comment: the rest runs.
    void reportCommentTail(Span line, std::size_t commentAt, const Words& ran) {
        const std::string_view text = std::string_view(m_text).substr(line.begin, line.end - line.begin);
        const std::size_t semicolon = text.find(';', commentAt);
        std::size_t end = text.size();
        while (end > semicolon && (text[end - 1] == '\r' || isBlankByte(text[end - 1]))) {
            --end;
        }
        std::string fix(text.substr(semicolon, end - semicolon));
        std::ranges::replace(fix, ';', ',');
        const SaidLine before = saidBy(text.substr(0, commentAt));
        const Words tail(ran.begin() + static_cast<std::ptrdiff_t>(std::min(before.commands.size(), ran.size())),
                         ran.end());
        add(FindingKind::CutByGame, line.begin + semicolon, line.begin + end,
            lineName(line.begin) + ": Das „;“ beendet den Kommentar: Das Spiel führt danach " + whatRuns(tail) +
                " aus.\r\nSchreib im Kommentar ein Komma statt „;“.",
            std::move(fix));
    }

    bool reportBufferCut(std::size_t l, Span line, const std::string& runs) {
        for (const game::BufferCut& cut : m_run.cuts) {
            if (cut.command.begin < line.begin || cut.command.begin >= line.end) {
                continue;
            }
            Words rest;
            for (const std::size_t i : m_lineSteps[l]) {
                const game::Step& step = m_run.steps[i];
                if (step.span.begin >= cut.restAt && step.span.end <= cut.command.end) {
                    appendWords(rest, step.args);
                }
            }
            const std::size_t at = toFree(cut.restAt) - 1;
            // The CR of a CR LF line end is no byte the player sees.
            const std::size_t seen = cut.command.end - cut.command.begin -
                                     (m_file.text[cut.command.end - 1] == '\r' ? std::size_t{1} : std::size_t{0});
            add(FindingKind::CutByGame, at, std::min(toFree(cut.command.end), m_text.size()),
                lineName(at) + ": Dieser Befehl ist " + std::to_string(seen) +
                    " Bytes lang: Das Spiel führt nur die ersten 1023 als Befehl aus, verliert das nächste Byte und "
                    "führt vom Rest " +
                    whatRuns(rest) + " aus. Insgesamt führt es von der Zeile " + runs +
                    " aus.\r\nTeile den Befehl in kürzere auf, etwa mit alias.");
            return true;
        }
        return false;
    }

    bool reportLimit(std::size_t l) {
        for (const std::size_t i : m_lineSteps[l]) {
            const game::Step& step = m_run.steps[i];
            if (step.limitAt == None) {
                continue;
            }
            std::size_t at = toFree(step.limitAt);
            const std::size_t end = std::min(toFree(step.span.end), m_text.size());
            while (at < end && isBlankByte(m_text[at])) {
                ++at;
            }
            const Span rest = trim({at, end});
            std::string message;
            if (step.tooManyArguments) {
                message = lineName(at) + ": Das Spiel liest höchstens 80 Argumente eines Befehls: Ab hier lässt es "
                                         "alles weg.\r\nTeile den Befehl auf, etwa mit alias.";
            } else {
                const game::console::Tokens whole =
                    game::console::tokenize(m_text.substr(rest.begin, rest.end - rest.begin),
                                            {game::console::GameReading.singleChars, false, false, false});
                const std::size_t length = whole.args.empty() ? 0 : whole.args.front().text.size();
                message = lineName(at) + ": Dieses Argument ist " + std::to_string(length) +
                          " Zeichen lang: Ab 515 Zeichen hört das Spiel hier auf, den Befehl zu lesen, und führt nur " +
                          quoted(joined(step.args)) + " aus.\r\nKürze das Argument auf höchstens 514 Zeichen.";
            }
            add(FindingKind::CutByGame, rest.begin, std::max(rest.end, rest.begin + 1), std::move(message));
            return true;
        }
        return false;
    }

    // The engine's own word rules: `{ } ( ) ' , :` stand alone, a high byte starting a word is skipped.
    void reportReading(Span line, const std::string& runs) {
        const std::string_view text = std::string_view(m_text).substr(line.begin, line.end - line.begin);
        std::optional<Span> word;
        bool decimalComma = false; // the word is a variable's value written with a decimal comma
        game::console::forEachCommand(text, [&](const game::console::Command& command) {
            const std::string_view c = text.substr(command.begin, command.end - command.begin);
            std::size_t index = 0;
            std::string_view verb;
            game::console::readArguments(c, game::console::PlainReading, [&](const Argument& a) {
                verb = index == 0 ? a.text : verb;
                const bool odd = !a.quoted && (a.text.find_first_of(game::console::GameReading.singleChars) != None ||
                                               static_cast<unsigned char>(a.text.front()) >= 0x80);
                if (odd && !word) {
                    word = Span{command.begin + a.span.begin, command.begin + a.span.end};
                    decimalComma = index == 1 && isDecimalComma(a.text) && game::isGameVariable(verb);
                }
                ++index;
                return !word;
            });
        });
        std::string message = lineName(line.begin) +
                              ": Das Spiel liest hier Wörter anders: Die Zeichen { } ( ) ' , und : sind für es eigene "
                              "Wörter, und Umlaute am Anfang eines Worts überspringt es. Es führt " +
                              runs + " aus.";
        if (!word) {
            add(FindingKind::CutByGame, line.begin, std::max(line.end, line.begin + 1), std::move(message));
            return;
        }
        const std::string_view w = text.substr(word->begin, word->end - word->begin);
        std::optional<std::string> fix;
        if (decimalComma) {
            // In quotes the comma would still end the number: atof reads "2,5" as 2.
            fix = std::string(w);
            std::ranges::replace(*fix, ',', '.');
            message += "\r\nDas Spiel liest Zahlen nur mit Dezimalpunkt: Schreib " + quoted(*fix) + ".";
        } else {
            message += "\r\nSetze " + quoted(w) + " in Anführungszeichen.";
            fix = w.find('"') == None ? std::optional("\"" + std::string(w) + "\"") : std::nullopt;
        }
        add(FindingKind::CutByGame, line.begin + word->begin, line.begin + word->end, std::move(message),
            std::move(fix));
    }

    // --- What the run itself reports ------------------------------------------------------------

    void checkRunFacts() {
        for (const Span alias : m_run.refusedAliases) {
            if (alias.begin >= m_file.freeTextAt) {
                const Span span = trim({toFree(alias.begin), toFree(alias.end)});
                add(FindingKind::CutByGame, span.begin, span.end,
                    lineName(span.begin) + ": Der Name dieses alias hat 32 Zeichen oder mehr: Das Spiel lehnt es ab "
                                           "(„Alias name is too long“), und seine Aufrufe tun nichts.\r\nKürze den "
                                           "Namen auf höchstens 31 Zeichen.");
            }
        }
        for (const std::size_t wait : m_run.reorderedAt) {
            if (wait >= m_file.freeTextAt) {
                const Span span = trim(lineAt(toFree(wait)));
                add(FindingKind::CutByGame, span.begin, span.end,
                    lineByLineIntro() + "Nach dem wait in " + lineName(span.begin) +
                        " führt es erst die nächste Zeile aus und dann den Rest dieser Zeile.\r\nSchreib den Rest in "
                        "eine eigene Zeile, oder kürze die Config.");
            }
        }
        if (m_run.endlessAt != None && m_run.endlessAt >= m_file.freeTextAt) {
            const Span span = trim(lineAt(toFree(m_run.endlessAt)));
            add(FindingKind::CutByGame, span.begin, span.end,
                lineName(span.begin) + ": Das alias, das diese Zeile aufruft, ruft sich ohne Ende selbst auf: " +
                    (m_run.endlessWaits ? "Mit seinem wait läuft das Spiel weiter, aber was danach kommt (der Rest "
                                          "der Config, jede Eingabe in der Konsole), führt es nie aus."
                                        : "Das Spiel hängt beim Laden fest oder bricht ab.") +
                    "\r\nÄndere das alias so, dass es sich nicht selbst aufruft.");
        }
        if (m_run.selfExecAt != None && m_run.selfExecAt >= m_file.freeTextAt) {
            const Span span = trim(lineAt(toFree(m_run.selfExecAt)));
            // The run stops at that exec, so it is the last command the game runs.
            const std::string how = isUserconfigName(m_run.steps.back().args[1].text)
                                        ? "führt diese Config noch einmal aus"
                                        : "führt die config.cfg des Spiels aus, und die führt an ihrem Ende wieder "
                                          "diese Config aus";
            add(FindingKind::CutByGame, span.begin, span.end,
                lineName(span.begin) + ": Das exec in dieser Zeile " + how +
                    ", und so ohne Ende: Das Spiel hängt beim Laden fest oder bricht ab.\r\nLösch das exec.");
        }
    }

    // --- Each command the game runs --------------------------------------------------------------

    void checkSteps() {
        std::unordered_map<std::string, std::size_t> bound; // gameKeyId -> step of its last bind
        for (std::size_t i = 0; i < m_run.steps.size(); ++i) {
            const game::Step& step = m_run.steps[i];
            const auto& args = step.args;
            if (game::equalsIgnoringCase(args[0].text, "alias") && args.size() >= 2) {
                m_aliases.insert(lowered(args[1].text));
            }
            noteSetter(i);
            noteBind(i, bound);
            if (step.alias.empty() && inFreeText(step)) {
                checkBindKey(step);
                checkSingleValue(step);
                checkStuckComment(step);
            }
        }
        for (const game::Step& step : m_run.steps) {
            if (step.alias.empty() && inFreeText(step)) {
                checkName(step.args[0], step.span);
            }
        }
    }

    static std::string lowered(std::string_view s) {
        std::string out(s);
        std::ranges::transform(out, out.begin(), game::lowerAscii);
        return out;
    }

    // A bind with a command, or an unbind, replaces what a key did: an earlier bind of it never acts.
    // An unbindall does that to every key.
    void noteBind(std::size_t i, std::unordered_map<std::string, std::size_t>& bound) {
        const auto& args = m_run.steps[i].args;
        if (game::equalsIgnoringCase(args[0].text, "unbindall")) {
            for (const auto& [key, earlier] : bound) {
                addNeverBound(earlier, i,
                              " löscht mit unbindall alle Tastenbelegungen: Diese Belegung gilt nie.\r\nLösch das "
                              "unbindall, oder setze es vor die erste Belegung.");
            }
            bound.clear();
            return;
        }
        const bool bind = game::equalsIgnoringCase(args[0].text, "bind") && args.size() >= 3;
        const bool unbind = game::equalsIgnoringCase(args[0].text, "unbind") && args.size() >= 2;
        if ((!bind && !unbind) || !game::isGameKey(args[1].text)) {
            return;
        }
        const std::string key = game::gameKeyId(args[1].text);
        if (const auto earlier = bound.find(key); earlier != bound.end()) {
            addNeverBound(earlier->second, i,
                          " belegt die Taste " + quoted(args[1].text) +
                              " später neu: Diese Belegung gilt nie.\r\nEntferne eine der beiden Zeilen.");
        }
        if (bind) {
            bound[key] = i;
        } else {
            bound.erase(key);
        }
    }

    // The bind of step `earlier` never acts because step `later` undoes it; `what` says how.
    void addNeverBound(std::size_t earlier, std::size_t later, const std::string& what) {
        const game::Step& before = m_run.steps[earlier];
        if (!before.alias.empty() || !inFreeText(before) || !inFreeText(m_run.steps[later])) {
            return;
        }
        const Span span = trim({toFree(before.span.begin), toFree(before.span.end)});
        const Span cut = removal(span);
        m_findings.push_back({FindingKind::KeyBoundAgain, lineOf(span.begin), cut.begin, cut.end,
                              lineName(span.begin) + ": " + lineName(toFree(m_run.steps[later].span.begin)) + what,
                              std::string()});
    }

    // The command of a step of the free text, as written there.
    std::string_view freeTextOf(const game::Step& step) const {
        const std::size_t at = toFree(step.span.begin);
        return std::string_view(m_text).substr(at, toFree(step.span.end) - at);
    }

    // A variable takes one word: `con_color 255 180 30` sets "255" (Cvar_Command reads only the
    // first argument). Words the tokenizer split off are the reading's mark, so the plain reading counts.
    void checkSingleValue(const game::Step& step) {
        if (step.args.size() < 3 || !game::isGameVariable(step.args[0].text)) {
            return;
        }
        const std::size_t at = toFree(step.span.begin);
        const std::vector<Argument> plain = game::console::tokenize(freeTextOf(step), game::console::PlainReading).args;
        if (plain.size() < 3 || plain[0].text != step.args[0].text) {
            return; // a verb the tokenizer reads otherwise has the reading's mark
        }
        const std::size_t begin = at + plain[1].span.begin;
        const std::string_view value = std::string_view(m_text).substr(begin, at + plain.back().span.end - begin);
        add(FindingKind::CutByGame, begin, begin + value.size(),
            lineName(begin) + ": Eine Variable nimmt nur ein Wort: Das Spiel setzt " + std::string(plain[0].text) +
                " auf " + quoted(plain[1].text) +
                " und übergeht den Rest.\r\nSetze den ganzen Wert in "
                "Anführungszeichen.",
            value.find('"') == None ? std::optional("\"" + std::string(value) + "\"") : std::nullopt);
    }

    // `//` starts a comment only where a word starts: `bind f +use//benutzen` binds the unknown
    // command "+use//benutzen". A word the tokenizer splits (a URL's "://") has the reading's mark.
    void checkStuckComment(const game::Step& step) {
        const std::size_t at = toFree(step.span.begin);
        const std::string_view command = freeTextOf(step);
        if (command.find("//") == None) {
            return;
        }
        for (const Argument& arg : game::console::tokenize(command, game::console::PlainReading).args) {
            const std::size_t slashes = arg.text.find("//");
            if (arg.quoted || slashes == None || slashes == 0 ||
                arg.text.find_first_of(game::console::GameReading.singleChars) != None) {
                continue;
            }
            const std::size_t begin = at + arg.span.begin;
            std::string fix(arg.text);
            fix.insert(slashes, " ");
            add(FindingKind::CutByGame, begin, begin + arg.span.end - arg.span.begin,
                lineName(begin) + ": Ein Kommentar beginnt nur nach einem Leerzeichen: Das Spiel liest " +
                    quoted(arg.text) + " als ein Wort.\r\nSetze ein Leerzeichen vor //.",
                std::move(fix));
            return;
        }
    }

    void checkBindKey(const game::Step& step) {
        const auto& args = step.args;
        if (args.size() < 2 ||
            !(game::equalsIgnoringCase(args[0].text, "bind") || game::equalsIgnoringCase(args[0].text, "unbind"))) {
            return;
        }
        const Argument& key = args[1];
        if (game::isGameKey(key.text)) {
            return;
        }
        const std::size_t begin = toFree(step.span.begin) + key.span.begin;
        const std::size_t end = toFree(step.span.begin) + key.span.end;
        const std::vector<std::string_view> near = game::nearGameKeys(key.text);
        std::string message = lineName(begin) + ": Das Spiel kennt keine Taste " + quoted(key.text) +
                              ": Dieser Befehl belegt keine Taste.";
        std::optional<std::string> fix;
        if (!near.empty()) {
            message += "\r\nÄhnliche Tastennamen: ";
            for (std::size_t i = 0; i < near.size(); ++i) {
                message += i == 0 ? "" : ", ";
                message += near[i];
            }
            message += '.';
            if (const std::optional<std::string_view> meant = game::meantGameKey(key.text)) {
                fix = key.quoted ? "\"" + std::string(*meant) + "\"" : std::string(*meant);
            }
        } else {
            message += "\r\nTastennamen des Spiels sind zum Beispiel F5, KP_END, MOUSE4, SPACE oder q.";
        }
        add(FindingKind::UnknownKey, begin, end, std::move(message), std::move(fix));
    }

    void checkName(const Argument& verb, Span span) {
        if (verb.text.empty() || verb.text.size() > 62 || !std::ranges::all_of(verb.text, [](char c) {
                return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
                       c == '+' || c == '-' || c == '.';
            })) {
            return;
        }
        const std::string name = lowered(verb.text);
        if (m_aliases.contains(name)) {
            return;
        }
        auto [it, fresh] = m_near.try_emplace(name);
        if (fresh) {
            it->second = game::nearGameConsoleName(name);
        }
        if (!it->second) {
            return;
        }
        const std::string near(*it->second);
        const std::size_t begin = toFree(span.begin) + verb.span.begin;
        add(FindingKind::NearName, begin, toFree(span.begin) + verb.span.end,
            lineName(begin) + ": Meintest du " + near + "? Das Spiel kennt " + quoted(verb.text) +
                " nicht, außer als eigener Alias aus einer anderen Datei.",
            verb.quoted ? "\"" + near + "\"" : near);
    }

    // --- What the file leaves in the window's variables -------------------------------------------

    void noteSetter(std::size_t i) {
        const auto& args = m_run.steps[i].args;
        if (game::equalsIgnoringCase(args[0].text, "name") && args.size() >= 2) {
            if (!userinfoRefuses(args[1].text)) {
                m_setters[NameTarget] = Setter{i, std::string(args[1].text)};
            }
        } else if (game::equalsIgnoringCase(args[0].text, "setinfo")) {
            if (args.size() == 3) {
                noteUserinfo(i, args[1].text, args[2].text);
            }
        } else if (args.size() >= 2) {
            for (std::size_t t = 0; t < SettingCount; ++t) {
                if (!game::equalsIgnoringCase(args[0].text, SettingsCatalogue[t].key)) {
                    continue;
                }
                if (SettingsCatalogue[t].lineForm == LineForm::Cvar) {
                    m_setters[t] = Setter{i, std::string(args[1].text)};
                } else {
                    // The client registers its userinfo keys as cvars too (FCVAR_USERINFO): setting
                    // one writes the value into the userinfo as setinfo would.
                    noteUserinfo(i, SettingsCatalogue[t].key, args[1].text);
                }
            }
        }
    }

    // A userinfo key set to a value; the key removes every userinfo key it is the start of
    // (Info_RemoveKey compares only its length) before it is set, and an empty value only removes.
    void noteUserinfo(std::size_t i, std::string_view givenKey, std::string_view value) {
        if (givenKey.empty() || userinfoRefuses(givenKey) || userinfoRefuses(value)) {
            return;
        }
        for (std::size_t t = 0; t < TargetCount; ++t) {
            const std::string_view key = t == NameTarget ? std::string_view("name") : SettingsCatalogue[t].key;
            if ((t == NameTarget || SettingsCatalogue[t].lineForm == LineForm::Setinfo) && key.starts_with(givenKey)) {
                const bool set = key == givenKey && !value.empty();
                m_setters[t] = Setter{i, set ? std::string(value) : std::string(), !set};
            }
        }
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
            if (!m_setters[t] || !inFreeText(m_run.steps[m_setters[t]->step])) {
                continue;
            }
            const Setter& setter = *m_setters[t];
            const game::Step& step = m_run.steps[setter.step];
            const Span span = trim({toFree(step.span.begin), toFree(step.span.end)});
            const Span cut = removal(span);
            ConfigFinding finding{
                FindingKind::OverridesChoice, lineOf(span.begin), cut.begin, cut.end, {}, std::string()};
            finding.value = setter.value;
            std::string what = lineName(span.begin) + ": ";
            what +=
                step.alias.empty() ? "Diese Zeile" : "Das alias " + quoted(step.alias) + ", das diese Zeile aufruft,";
            if (t == NameTarget ? describeNameOverride(setter, what, finding)
                                : describeSettingOverride(SettingsCatalogue[t], setter, what, finding)) {
                m_findings.push_back(std::move(finding));
            }
        }
    }

    // False when the line leaves the window's nickname as it is.
    bool describeNameOverride(const Setter& setter, const std::string& what, ConfigFinding& finding) const {
        if (isBlankNickname(m_state.nickname)) {
            return false;
        }
        const std::string window = sanitizeUtf8(nameLineSafe(m_state.nickname));
        if (!setter.removed && setter.value == window) {
            return false;
        }
        finding.message = what +
                          (setter.removed ? " entfernt den Namen aus den Spielerdaten"
                                          : " setzt den Namen auf " + quoted(setter.value)) +
                          ": Das Spiel nimmt das statt des Nicknames " + quoted(window) +
                          " aus dem Fenster.\r\nEntferne die Zeile, oder trage den Namen als Nickname ein.";
        return true;
    }

    // False when the window chose nothing for the setting, or the same value.
    bool describeSettingOverride(const SettingSpec& setting, const Setter& setter, const std::string& what,
                                 ConfigFinding& finding) const {
        const ChoiceSpec* chosen = currentChoice(setting, m_state);
        if (chosen == nullptr || (!setter.removed && sameValue(setting, chosen->value, setter.value))) {
            return false;
        }
        finding.setting = &setting;
        finding.lineChoice = setter.removed ? nullptr : choiceWithValue(setting, setter.value);
        finding.message = what +
                          (setter.removed ? " entfernt " + std::string(setting.key)
                                          : " setzt " + std::string(setting.key) + " auf " + quoted(setter.value)) +
                          ": Das Spiel nimmt das statt " + quoted(chosen->display) + " (" + std::string(setting.label) +
                          ") aus dem Fenster.\r\n";
        finding.message += finding.lineChoice != nullptr ? "Entferne die Zeile, oder übernimm den Wert " +
                                                               quoted(finding.lineChoice->display) + " in die Auswahl."
                                                         : "Entferne die Zeile, dann gilt die Auswahl im Fenster.";
        return true;
    }

    const SettingsState& m_state;
    std::string_view m_text;
    WrittenFile m_file;
    bool m_lineByLine = false;
    bool m_surelyLineByLine = false;
    std::size_t m_runEnd = 0;
    game::Run m_run;
    std::vector<std::vector<std::size_t>> m_lineSteps; // the file's own steps of each line
    std::vector<std::size_t> m_lineStarts{0};
    std::vector<ConfigFinding> m_findings;
    std::array<std::optional<Setter>, TargetCount> m_setters;
    std::unordered_set<std::string> m_aliases;
    std::unordered_map<std::string, std::optional<std::string_view>> m_near;
};

} // namespace

std::vector<ConfigFinding> checkUserconfig(const SettingsState& state) {
    return Checker(state).run();
}

std::optional<FileValue> valueAfterLoad(const SettingsState& state, std::string_view cvar) {
    return Checker(state).valueOf(cvar);
}

} // namespace setforge::config
