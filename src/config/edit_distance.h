#pragma once

#include "config/ascii.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <string_view>

namespace setforge::config {

// The number of single-letter edits (insert, delete, replace, swap of two neighbours) between two
// console names, ignoring ASCII case; `limit + 1` as soon as it is certain to exceed `limit`.
// Names longer than 62 bytes are never near anything.
[[nodiscard]] inline std::size_t nameDistance(std::string_view a, std::string_view b, std::size_t limit) {
    constexpr std::size_t MaxLength = 62;
    const std::size_t over = limit + 1;
    if (a.size() > MaxLength || b.size() > MaxLength ||
        (a.size() > b.size() ? a.size() - b.size() : b.size() - a.size()) > limit) {
        return over;
    }
    // Three rows of the classic table: two rows back for the swap.
    std::array<std::size_t, MaxLength + 1> older{};
    std::array<std::size_t, MaxLength + 1> previous{};
    std::array<std::size_t, MaxLength + 1> current{};
    for (std::size_t j = 0; j <= b.size(); ++j) {
        previous[j] = j;
    }
    for (std::size_t i = 1; i <= a.size(); ++i) {
        current[0] = i;
        std::size_t rowBest = current[0];
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const bool same = lowerAscii(a[i - 1]) == lowerAscii(b[j - 1]);
            std::size_t cell = std::min({previous[j] + 1, current[j - 1] + 1, previous[j - 1] + (same ? 0 : 1)});
            if (i > 1 && j > 1 && lowerAscii(a[i - 1]) == lowerAscii(b[j - 2]) &&
                lowerAscii(a[i - 2]) == lowerAscii(b[j - 1])) {
                cell = std::min(cell, older[j - 2] + 1);
            }
            current[j] = cell;
            rowBest = std::min(rowBest, cell);
        }
        if (rowBest > limit) {
            return over;
        }
        older = previous;
        previous = current;
    }
    return std::min(previous[b.size()], over);
}

} // namespace setforge::config
