#include "platform/replace_file.h"

#include <charconv>
#include <chrono>
#include <random>
#include <thread>

namespace setforge::platform {

WriteTestHooks& writeTestHooks() {
    static WriteTestHooks hooks;
    return hooks;
}

namespace detail {

namespace {

constexpr std::string_view LeftoverPrefix = ".setforge-";
constexpr std::size_t RandomLength = 6;

std::string randomLetters() {
    static constexpr std::string_view Alphabet = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    static std::mt19937 generator{std::random_device{}()};
    std::uniform_int_distribution<std::size_t> pick(0, Alphabet.size() - 1);
    std::string letters;
    for (std::size_t i = 0; i < RandomLength; ++i) {
        letters += Alphabet[pick(generator)];
    }
    return letters;
}

template <typename Number> bool parseWhole(std::string_view text, Number& value) {
    // The program never writes a leading zero, so a name with one is not its own.
    if (text.empty() || text.size() > 20 || text.front() < '0' || text.front() > '9' ||
        (text.size() > 1 && text.front() == '0')) {
        return false;
    }
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

} // namespace

std::string temporaryName(unsigned long pid) {
    return std::string(LeftoverPrefix) + std::to_string(pid) + "-" + randomLetters() + ".tmp";
}

std::string backupName(unsigned long pid, unsigned long long fileId) {
    return std::string(LeftoverPrefix) + std::to_string(pid) + "-" + randomLetters() + "-" + std::to_string(fileId) +
           ".bak";
}

std::optional<Leftover> parseLeftover(std::string_view name) {
    if (!name.starts_with(LeftoverPrefix)) {
        return std::nullopt;
    }
    name.remove_prefix(LeftoverPrefix.size());
    const std::size_t dash = name.find('-');
    Leftover leftover;
    if (dash == std::string_view::npos || !parseWhole(name.substr(0, dash), leftover.pid) || leftover.pid == 0) {
        return std::nullopt;
    }
    name.remove_prefix(dash + 1);
    if (name.size() < RandomLength) {
        return std::nullopt;
    }
    for (const char c : name.substr(0, RandomLength)) {
        const bool letterOrDigit = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (!letterOrDigit) {
            return std::nullopt;
        }
    }
    name.remove_prefix(RandomLength);
    if (name == ".tmp") {
        return leftover;
    }
    constexpr std::string_view BackupEnd = ".bak";
    if (name.starts_with('-') && name.ends_with(BackupEnd) &&
        parseWhole(name.substr(1, name.size() - 1 - BackupEnd.size()), leftover.fileId)) {
        leftover.backup = true;
        return leftover;
    }
    return std::nullopt;
}

bool underFreshName(const std::function<std::string()>& name,
                    const std::function<NameTry(const std::string&)>& attempt) {
    for (int tries = 0; tries < 100; ++tries) {
        const NameTry result = attempt(name());
        if (result != NameTry::Taken) {
            return result == NameTry::Done;
        }
    }
    return false;
}

LockTry retryWhileBusy(const std::function<LockTry()>& attempt) {
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::milliseconds(LockWaitMilliseconds);
    for (;;) {
        const LockTry result = attempt();
        if (result != LockTry::Busy || std::chrono::steady_clock::now() >= giveUp) {
            return result;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

std::string notRegularReason(std::string_view kind) {
    return "Das Ziel ist keine gewöhnliche Datei, sondern " + std::string(kind) + " (not a regular file)";
}

std::string anotherSaveReason() {
    return "Ein anderes Fenster speichert gerade dieselbe Datei. Bitte warten, bis es fertig ist, und dann noch "
           "einmal speichern (the file is locked by another save)";
}

std::string readOnlyReason() {
    return "Die Datei ist schreibgeschützt: Mit deinen Rechten lässt sie sich nicht ändern (read-only file)";
}

std::string foreignOwnerReason() {
    return "Keine Berechtigung: Die Datei gehört einem anderen Benutzer oder einer anderen Gruppe. Mit diesen Rechten "
           "lässt sie sich nicht ändern, und sie zu ersetzen würde ändern, wem sie gehört (permission denied)";
}

std::string folderRefusedReason(std::string_view folder, const std::string& systemReason) {
    return "Im Ordner " + std::string(folder) +
           " lassen sich mit deinen Rechten keine Dateien anlegen oder ersetzen: " + systemReason;
}

std::string incompleteReason(const std::string& systemReason, std::string_view backupPath) {
    return systemReason + ". Die Datei ist unvollständig; ihr bisheriger Inhalt liegt vollständig in " +
           std::string(backupPath);
}

void reach(WriteStep step) {
    if (auto* hook = writeTestHooks().atStep) {
        hook(step);
    }
}

} // namespace detail
} // namespace setforge::platform
