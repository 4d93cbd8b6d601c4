#include "support/game_console.h"

#include "config/settings_catalogue.h"
#include "game/run.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string_view>

namespace setforge::testing {

std::vector<std::string> splitCommands(std::string_view text) {
    std::vector<std::string> commands;
    std::size_t start = 0;
    bool inQuotes = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"') {
            inQuotes = !inQuotes;
        }
        if (c == '\n' || (c == ';' && !inQuotes)) {
            commands.emplace_back(text.substr(start, i - start));
            start = i + 1;
            inQuotes = false;
        }
    }
    if (start < text.size()) {
        commands.emplace_back(text.substr(start));
    }
    return commands;
}

// The original engine's tokenizer: a signed `char` makes bytes from 0x80 on blanks where an
// argument would start (inside a word they stay), and `{ } ( ) ' , :` are words of their own. A
// reader's plain tokenizer ends words only at blanks.
Command tokenizeAs(std::string_view command, bool original) {
    Command args;
    std::size_t i = 0;
    const auto skipped = [original](char c) {
        return original ? static_cast<signed char>(c) <= ' ' : static_cast<unsigned char>(c) <= ' ';
    };
    const auto single = [original](char c) {
        return original && std::string_view("{}()',:").find(c) != std::string_view::npos;
    };
    while (true) {
        while (i < command.size() && skipped(command[i])) {
            ++i;
        }
        if (i >= command.size() || command.substr(i, 2) == "//") {
            return args;
        }
        if (command[i] == '"') {
            const std::size_t close = command.find('"', i + 1);
            const std::size_t end = close == std::string_view::npos ? command.size() : close;
            args.emplace_back(command.substr(i + 1, end - i - 1));
            i = close == std::string_view::npos ? command.size() : close + 1;
            continue;
        }
        const std::size_t start = i++;
        while (!single(command[start]) && i < command.size() && static_cast<unsigned char>(command[i]) > ' ' &&
               !single(command[i])) {
            ++i;
        }
        args.emplace_back(command.substr(start, i - start));
    }
}

Command tokenize(std::string_view command) {
    return tokenizeAs(command, true);
}

Command plainTokenize(std::string_view command) {
    return tokenizeAs(command, false);
}

std::vector<Command> readConsole(std::string_view text) {
    std::vector<Command> commands;
    for (const std::string& command : splitCommands(text)) {
        Command args = tokenize(command);
        if (!args.empty()) {
            commands.push_back(std::move(args));
        }
    }
    return commands;
}

std::vector<Command> readPlainly(std::string_view text) {
    std::vector<Command> commands;
    std::size_t begin = 0;
    while (begin <= text.size()) {
        std::size_t end = begin;
        while (end < text.size() && text[end] != '\n' &&
               !(text[end] == '\r' && end + 1 < text.size() && text[end + 1] != '\n')) {
            ++end;
        }
        for (const std::string& command : splitCommands(text.substr(begin, end - begin))) {
            const Command args = plainTokenize(command);
            if (!args.empty()) {
                commands.push_back(args);
            }
            // A comment ends the line: what follows a ';' in it is comment too.
            bool inQuotes = false;
            bool comment = false;
            for (std::size_t i = 0; i < command.size(); ++i) {
                inQuotes = inQuotes != (command[i] == '"');
                if (!inQuotes && command.compare(i, 2, "//") == 0 &&
                    (i == 0 || static_cast<unsigned char>(command[i - 1]) <= ' ' || command[i - 1] == '"')) {
                    comment = true;
                    break;
                }
            }
            if (comment) {
                break;
            }
        }
        begin = end + 1;
    }
    return commands;
}

namespace {

void runBuffer(std::string_view text, std::vector<Command>& out);

std::string lower(std::string_view s) {
    std::string out(s);
    std::ranges::transform(out, out.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

// The game reads a number from a variable with atof: "2.2" and "2.200000" set the same gamma.
std::string asTheGameReadsIt(const std::string& value) {
    char* end = nullptr;
    const double number = std::strtod(value.c_str(), &end);
    // A value with more numbers after the first ("50 250 50") is read by the game as text.
    if (end == value.c_str() || std::string_view(end).find_first_of("0123456789") != std::string_view::npos) {
        return value;
    }
    char text[64];
    std::snprintf(text, sizeof text, "%.9g", static_cast<double>(static_cast<float>(number)));
    return text;
}

bool userinfoCvar(std::string_view name) {
    return std::ranges::any_of(config::SettingsCatalogue, [name](const config::SettingSpec& setting) {
        return setting.lineForm == config::LineForm::Setinfo && setting.key == name;
    });
}

// The model keeps userinfo keys beside the variables: "name", and "setinfo KEY" for the others.
bool isUserinfoEntry(const std::string& entry) {
    return entry == "name" || entry.starts_with("setinfo ");
}

bool refusedInfo(const std::string& s) {
    return s.find('\\') != std::string::npos || s.find("..") != std::string::npos || s.find('"') != std::string::npos ||
           s.size() >= 127;
}

struct Effects {
    const std::vector<std::string_view>& names;
    std::map<std::string, std::string> variables;
    std::map<std::string, std::string> aliases;
    ConsoleEffect effect;
    int calls = 0;

    // The game would call on without end (and never finish loading the file).
    bool calledTooOften() {
        effect.endless = effect.endless || ++calls >= 4096;
        return effect.endless;
    }

    void run(Command args) {
        const std::string verb = lower(args[0]);
        const bool known = std::ranges::find(names, verb) != names.end();
        if (verb == "alias" && args.size() >= 2) {
            if (args[1].size() < 32 && !game::aliasNeverRuns(args[1])) {
                std::string value;
                for (std::size_t i = 2; i < args.size(); ++i) {
                    value += args[i] + " ";
                }
                aliases[lower(args[1])] = value;
            }
            effect.otherCommands.push_back(std::move(args));
        } else if (aliases.contains(verb) && !known && verb != "name" && verb != "setinfo" && !calledTooOften()) {
            std::vector<Command> inner;
            runBuffer(aliases[verb], inner);
            effect.otherCommands.push_back(std::move(args));
            for (Command& command : inner) {
                run(std::move(command));
            }
        } else if (known && args.size() >= 2 && userinfoCvar(verb)) {
            run({"setinfo", verb, args[1]}); // the client's FCVAR_USERINFO cvars write the userinfo
        } else if (known && args.size() >= 2) {
            variables[verb] = asTheGameReadsIt(args[1]);
        } else if (verb == "name" && args.size() >= 2) {
            if (!refusedInfo(args[1])) {
                variables["name"] = args[1];
            }
        } else if (verb == "setinfo" && args.size() == 3) {
            if (args[1].empty() || refusedInfo(args[1]) || refusedInfo(args[2])) {
                return;
            }
            // The engine removes every key the given one is the start of, then sets it.
            for (auto it = variables.begin(); it != variables.end();) {
                const bool userinfo = isUserinfoEntry(it->first);
                const std::string key = !userinfo ? "" : it->first == "name" ? "name" : it->first.substr(8);
                it = userinfo && key.starts_with(args[1]) ? variables.erase(it) : std::next(it);
            }
            if (!args[2].empty()) {
                variables[args[1] == "name" ? "name" : "setinfo " + args[1]] = args[2];
            }
        } else {
            effect.otherCommands.push_back(std::move(args));
        }
    }
};

ConsoleEffect effectOfCommands(std::vector<Command> commands, const std::vector<std::string_view>& variableNames) {
    Effects effects{variableNames, {}, {}, {}};
    for (Command& args : commands) {
        effects.run(std::move(args));
    }
    effects.effect.variables.assign(effects.variables.begin(), effects.variables.end());
    return effects.effect;
}

// The command buffer with its 1,023-byte cut, and the tokenizer with its two limits.
void runBuffer(std::string_view text, std::vector<Command>& out) {
    constexpr std::size_t MaxCommand = 1023;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t i = pos;
        bool inQuotes = false;
        while (i < text.size() && text[i] != '\n' && !(text[i] == ';' && !inQuotes)) {
            inQuotes = inQuotes != (text[i] == '"');
            ++i;
        }
        std::size_t next = i + 1;
        if (i - pos > MaxCommand) {
            i = pos + MaxCommand;
            next = i + 1;
        }
        Command args = tokenize(text.substr(pos, i - pos));
        const auto tooLong = std::ranges::find_if(args, [](const std::string& a) { return a.size() >= 515; });
        args.erase(tooLong, args.end());
        if (args.size() > 80) {
            args.resize(80);
        }
        if (!args.empty()) {
            out.push_back(std::move(args));
        }
        pos = next;
    }
}

} // namespace

ConsoleEffect effectOf(std::string_view text, const std::vector<std::string_view>& variableNames) {
    // The game loads the file as a C string: nothing after a NUL byte is ever run.
    return effectOfCommands(readConsole(text.substr(0, text.find('\0'))), variableNames);
}

bool keepsWindowVariables(const ConsoleEffect& window, const ConsoleEffect& game) {
    const auto number = [](const std::string& value) { return static_cast<float>(std::atof(value.c_str())); };
    return std::ranges::all_of(window.variables, [&](const auto& variable) {
        const auto it = std::ranges::find(game.variables, variable.first, &std::pair<std::string, std::string>::first);
        if (it == game.variables.end()) {
            return false;
        }
        const char* value = variable.second.c_str();
        char* end = nullptr;
        std::strtod(value, &end);
        const bool numeric = !isUserinfoEntry(variable.first) && end != value && *end == '\0';
        return it->second == variable.second || (numeric && number(it->second) == number(variable.second));
    });
}

std::vector<std::string> execLines(std::string_view file) {
    std::vector<std::string> lines;
    const auto inLine = [](unsigned char c) { return c >= ' ' && c < 0x80; };
    const auto skipped = [](unsigned char c) { return (c < ' ' && c != '\t') || c >= 0x80; };
    std::size_t i = 0;
    while (i < file.size()) {
        const std::size_t start = i++; // the first byte is always taken
        while (i < file.size() && i - start < 1023 && inLine(static_cast<unsigned char>(file[i]))) {
            ++i;
        }
        lines.emplace_back(file.substr(start, i - start));
        while (i < file.size() && skipped(static_cast<unsigned char>(file[i]))) {
            ++i;
        }
    }
    return lines;
}

std::vector<Command> execFile(std::string_view file, std::size_t wholeFileLimit) {
    const std::string_view run = file.substr(0, file.find('\0'));
    std::vector<Command> commands;
    if (file.size() <= wholeFileLimit) {
        runBuffer(run, commands);
        return commands;
    }
    // Each line goes in front of what a `wait` left in the buffer, so it runs before that rest.
    std::vector<Command> buffer;
    const auto execute = [&] {
        std::size_t i = 0;
        while (i < buffer.size()) {
            commands.push_back(buffer[i++]);
            if (lower(commands.back()[0]) == "wait") {
                break;
            }
        }
        buffer.erase(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(i));
    };
    for (const std::string& line : execLines(run)) {
        execute();
        std::vector<Command> lineCommands;
        runBuffer(line, lineCommands);
        buffer.insert(buffer.begin(), lineCommands.begin(), lineCommands.end());
    }
    while (!buffer.empty()) {
        execute();
    }
    return commands;
}

std::string readLineByLine(std::string_view file) {
    std::string commands;
    for (const std::string& line : execLines(file.substr(0, file.find('\0')))) {
        commands += '\n';
        commands += line;
        commands += '\n';
    }
    return commands;
}

ConsoleEffect effectOfExec(std::string_view file, std::size_t wholeFileLimit,
                           const std::vector<std::string_view>& variableNames) {
    return effectOfCommands(execFile(file, wholeFileLimit), variableNames);
}

std::vector<std::string_view> settingVariableNames() {
    std::vector<std::string_view> names;
    for (const config::SettingSpec& setting : config::SettingsCatalogue) {
        names.push_back(setting.key);
    }
    return names;
}

} // namespace setforge::testing
