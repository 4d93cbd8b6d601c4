#include "support/game_console.h"

#include "config/settings_catalogue.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <map>

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

Command tokenize(std::string_view command) {
    Command args;
    std::size_t i = 0;
    const auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    while (true) {
        while (i < command.size() && blank(command[i])) {
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
        const std::size_t start = i;
        while (i < command.size() && !blank(command[i])) {
            ++i;
        }
        args.emplace_back(command.substr(start, i - start));
    }
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

namespace {

std::string lower(std::string_view s) {
    std::string out(s);
    std::ranges::transform(out, out.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

// The game reads a number from a variable with atof: "2.2" and "2.200000" set the same gamma.
std::string asTheGameReadsIt(const std::string& value) {
    if (value.empty()) {
        return value;
    }
    char* end = nullptr;
    const double number = std::strtod(value.c_str(), &end);
    if (*end != '\0') {
        return value;
    }
    char text[64];
    std::snprintf(text, sizeof text, "%.9g", number);
    return text;
}

ConsoleEffect effectOfCommands(std::vector<Command> commands, const std::vector<std::string_view>& variableNames) {
    std::map<std::string, std::string> variables;
    ConsoleEffect effect;
    for (Command& args : commands) {
        const std::string verb = lower(args[0]);
        const bool known = std::ranges::find(variableNames, verb) != variableNames.end();
        if (known && args.size() >= 2) {
            variables[verb] = asTheGameReadsIt(args[1]);
        } else if (verb == "name" && args.size() >= 2) {
            variables["name"] = args[1];
        } else if (verb == "setinfo" && args.size() >= 3) {
            variables["setinfo " + args[1]] = asTheGameReadsIt(args[2]);
        } else {
            effect.otherCommands.push_back(std::move(args));
        }
    }
    effect.variables.assign(variables.begin(), variables.end());
    return effect;
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
    for (const std::string& line : execLines(run)) {
        runBuffer(line, commands);
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
