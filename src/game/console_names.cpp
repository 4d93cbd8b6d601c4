#include "game/console_names.h"

#include "game/ascii.h"
#include "game/edit_distance.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <string>
#include <vector>

namespace setforge::game {
namespace {

// One bit per character a name contains (letters and digits each their own): an edit adds or
// removes at most one, so two names whose sets differ in more than twice the allowed edits cannot be
// near each other.
std::uint64_t characterSet(std::string_view name) {
    std::uint64_t set = 0;
    for (const char c : name) {
        const char l = lowerAscii(c);
        const unsigned bit = l >= 'a' && l <= 'z'   ? static_cast<unsigned>(l - 'a')
                             : l >= '0' && l <= '9' ? 26U + static_cast<unsigned>(l - '0')
                                                    : 36U + static_cast<unsigned char>(l) % 28U;
        set |= std::uint64_t{1} << bit;
    }
    return set;
}

struct Indexed {
    std::string_view name;
    std::uint64_t set;
};

// The names grouped by length, with their character sets.
const std::vector<std::vector<Indexed>>& namesByLength() {
    static const std::vector<std::vector<Indexed>> table = [] {
        std::vector<std::vector<Indexed>> byLength;
        for (const std::string_view name : gameConsoleNames()) {
            if (byLength.size() <= name.size()) {
                byLength.resize(name.size() + 1);
            }
            byLength[name.size()].push_back({name, characterSet(name)});
        }
        return byLength;
    }();
    return table;
}

// `sorted` holds lower-case names in order.
bool containsIgnoringCase(std::span<const std::string_view> sorted, std::string_view name) {
    const auto it = std::ranges::lower_bound(sorted, name, [](std::string_view a, std::string_view b) {
        return std::ranges::lexicographical_compare(a, b, {}, lowerAscii, lowerAscii);
    });
    return it != sorted.end() && equalsIgnoringCase(*it, name);
}

} // namespace

bool isGameConsoleName(std::string_view name) {
    return containsIgnoringCase(gameConsoleNames(), name);
}

bool isLocalConsoleName(std::string_view name) {
    return containsIgnoringCase(localConsoleNames(), name);
}

bool isGameVariable(std::string_view name) {
    return containsIgnoringCase(gameVariableNames(), name);
}

std::optional<std::string_view> nearGameConsoleName(std::string_view name) {
    const std::size_t limit = name.size() >= 8 ? 2 : name.size() >= 4 ? 1 : 0;
    if (limit == 0 || isGameConsoleName(name)) {
        return std::nullopt;
    }
    const auto& byLength = namesByLength();
    const std::uint64_t set = characterSet(name);
    std::optional<std::string_view> best;
    std::size_t bestDistance = limit + 1;
    for (std::size_t length = name.size() - limit; length <= name.size() + limit && length < byLength.size();
         ++length) {
        for (const Indexed& candidate : byLength[length]) {
            if (static_cast<std::size_t>(std::popcount(candidate.set ^ set)) > 2 * limit) {
                continue;
            }
            const std::size_t distance = nameDistance(name, candidate.name, bestDistance - 1);
            if (distance < bestDistance) {
                best = candidate.name;
                bestDistance = distance;
            }
        }
    }
    return bestDistance <= limit ? best : std::nullopt;
}

} // namespace setforge::game
