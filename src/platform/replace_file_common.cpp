#include "platform/replace_file.h"

#include <charconv>
#include <random>

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
    if (text.empty() || text.size() > 20 || text.front() < '0' || text.front() > '9') {
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

void reach(WriteStep step) {
    if (auto* hook = writeTestHooks().atStep) {
        hook(step);
    }
}

} // namespace detail
} // namespace setforge::platform
