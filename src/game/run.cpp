// The engine's console as it runs a config (ReHLDS rehlds/engine/cmd.cpp and common.cpp, built
// without its fixes, as the game ships): Cbuf_Execute takes a command up to a line feed or a ';'
// outside quotes, cutting it after 1023 bytes and losing the next byte; an alias call inserts the
// alias's text before the rest of the buffer; `wait` ends the buffer's run for this frame. `exec`
// of a file too large for the buffer runs the buffer, then inserts the next line, and so on.
#include "game/run.h"

#include "game/ascii.h"
#include "game/console_names.h"

#include <algorithm>
#include <array>
#include <unordered_map>

namespace setforge::game {
namespace {

using console::Span;

// Text in the command buffer: the file (or one of its lines), or an alias's text.
struct Segment {
    std::string_view text;
    std::size_t pos = 0;
    std::size_t fileBase = None; // the text's offset in the file; None for an alias's text
    Span caller;                 // an alias's text: the file's command that called the alias
    std::string_view alias;
};

std::string lowered(std::string_view s) {
    std::string out(s);
    std::ranges::transform(out, out.begin(), lowerAscii);
    return out;
}

// The text an alias stores: its arguments joined by blanks, a blank after the last, and a line
// feed; at most MaxCommandBytes - 1 bytes before the line feed.
std::string aliasText(std::span<const console::Argument> args) {
    std::string text;
    for (std::size_t i = 2; i < args.size(); ++i) {
        text += args[i].text;
        text += ' ';
    }
    text.resize(std::min(text.size(), console::MaxCommandBytes - 1));
    text += '\n';
    return text;
}

class Engine {
public:
    Engine(Run& run, bool (*runsFileAgain)(std::string_view))
        : m_run(run)
        , m_runsFileAgain(runsFileAgain) {}

    void push(const Segment& segment) { m_stack.push_back(segment); }
    [[nodiscard]] bool idle() const { return m_stack.empty() || m_stopped; }

    // One run of the buffer; true when a `wait` ended it with text left for the next frame.
    bool execute() {
        while (!m_stack.empty() && !m_stopped) {
            Segment& top = m_stack.back();
            if (top.pos >= top.text.size()) {
                m_stack.pop_back();
                continue;
            }
            const Span command = take(top);
            const Segment origin = top;
            if (runCommand(origin, command)) {
                return !idle();
            }
        }
        return false;
    }

private:
    // The next command of `segment`, in the segment's offsets; moves past it and its separator.
    Span take(Segment& segment) {
        const std::string_view text = segment.text;
        std::size_t i = segment.pos;
        bool inQuotes = false;
        while (i < text.size() && text[i] != '\n' && !(text[i] == ';' && !inQuotes)) {
            inQuotes = inQuotes != (text[i] == '"');
            ++i;
        }
        const std::size_t begin = segment.pos;
        if (i - begin > console::MaxCommandBytes) {
            // The cut changes nothing when all past the limit is blank (the CR of a CR LF line end,
            // say): the lost byte is a blank, and the rest runs as an empty command.
            const bool unseen =
                std::all_of(text.begin() + static_cast<std::ptrdiff_t>(begin + console::MaxCommandBytes),
                            text.begin() + static_cast<std::ptrdiff_t>(i),
                            [](char c) { return static_cast<unsigned char>(c) <= ' '; });
            if (segment.fileBase != None && !unseen) {
                m_run.cuts.push_back({{segment.fileBase + begin, segment.fileBase + i},
                                      segment.fileBase + begin + console::MaxCommandBytes + 1});
            }
            segment.pos = begin + console::MaxCommandBytes + 1;
            return {begin, begin + console::MaxCommandBytes};
        }
        segment.pos = i + 1;
        return {begin, i};
    }

    // Runs one command; true for a `wait`.
    bool runCommand(const Segment& origin, Span command) {
        const std::string_view text = origin.text.substr(command.begin, command.end - command.begin);
        console::Tokens tokens = console::tokenize(text);
        if (tokens.args.empty()) {
            return false;
        }
        Step step{std::move(tokens.args), origin.caller, origin.alias};
        if (origin.fileBase != None) {
            const std::size_t base = origin.fileBase + command.begin;
            step.span = {base, origin.fileBase + command.end};
            if (tokens.cut) {
                step.limitAt = base + step.args.back().span.end;
                step.tooManyArguments = step.args.size() == console::MaxArguments;
            }
        }
        const std::string_view verb = step.args[0].text;
        m_run.steps.push_back(step);
        if (equalsIgnoringCase(verb, "wait")) {
            return true;
        }
        if (const auto file = console::execFile(step.args);
            file && m_runsFileAgain != nullptr && m_runsFileAgain(*file)) {
            m_run.selfExecAt = step.span.begin;
            m_stopped = true;
            return false;
        }
        if (equalsIgnoringCase(verb, "alias") && step.args.size() >= 2) {
            define(step);
        } else if (const auto alias = m_aliases.find(lowered(verb)); alias != m_aliases.end()) {
            call(step, *alias->second);
        }
        return false;
    }

    // The game refuses a name of MaxAliasName characters or more; some names never run.
    void define(const Step& step) {
        const std::string_view name = step.args[1].text;
        if (name.size() >= MaxAliasName) {
            m_run.refusedAliases.push_back(step.span);
            return;
        }
        if (aliasNeverRuns(name)) {
            return;
        }
        m_run.aliasTexts.push_back(std::make_unique<std::string>(aliasText(step.args)));
        m_aliases[lowered(name)] = m_run.aliasTexts.back().get();
    }

    void call(const Step& step, const std::string& text) {
        if (++m_calls > MaxAliasCalls) {
            m_run.endlessAt = step.span.begin;
            m_run.endlessWaits = std::ranges::any_of(m_run.steps, [](const Step& s) {
                return !s.alias.empty() && equalsIgnoringCase(s.args[0].text, "wait");
            });
            m_stopped = true;
            return;
        }
        // An alias may have the empty name (`alias "" …`, called by `""`); its commands still come
        // from an alias, so they carry a name that says so.
        const std::string_view name = step.args[0].text.empty() ? std::string_view("\"\"") : step.args[0].text;
        push({text, 0, None, step.span, step.alias.empty() ? name : step.alias});
    }

    Run& m_run;
    bool (*m_runsFileAgain)(std::string_view);
    std::vector<Segment> m_stack; // the buffer's front is the back
    std::unordered_map<std::string, const std::string*> m_aliases;
    std::size_t m_calls = 0;
    bool m_stopped = false;
};

} // namespace

bool aliasNeverRuns(std::string_view name) {
    constexpr std::array<std::string_view, 5> Refused{"cl_autobuy", "cl_rebuy", "gl_ztrick", "gl_ztrick_old",
                                                      "gl_d3dflip"};
    return isLocalConsoleName(name) ||
           std::ranges::any_of(Refused, [&](std::string_view refused) { return equalsIgnoringCase(name, refused); });
}

std::vector<Span> lineByLinePieces(std::string_view file) {
    std::vector<Span> pieces;
    std::size_t i = 0;
    while (i < file.size()) {
        const std::size_t start = i++; // the first byte is always taken
        while (i < file.size() && i - start < console::MaxCommandBytes && !endsPieceByte(file[i])) {
            ++i;
        }
        pieces.push_back({start, i});
        while (i < file.size() && endsPieceByte(file[i]) && file[i] != '\t') {
            ++i;
        }
    }
    return pieces;
}

Run runFile(std::string_view file, bool lineByLine, bool (*runsFileAgain)(std::string_view)) {
    Run run;
    Engine engine(run, runsFileAgain);
    if (!lineByLine) {
        engine.push({file, 0, 0, {}, {}});
    } else {
        for (const Span piece : lineByLinePieces(file)) {
            if (engine.execute()) {
                run.reorderedAt.push_back(run.steps.back().span.begin);
            }
            engine.push({file.substr(piece.begin, piece.end - piece.begin), 0, piece.begin, {}, {}});
        }
    }
    while (engine.execute()) {
    }
    return run;
}

} // namespace setforge::game
