#pragma once

#include "game/ascii.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <string_view>

namespace setforge::game {

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
    // Three rows of the classic table (two rows back for the swap), rotated rather than copied; only
    // the cells within `limit` of the diagonal can stay within the limit.
    // Left uninitialised: every cell is written before it is read.
    std::array<std::array<std::size_t, MaxLength + 1>, 3> rows;
    for (std::size_t j = 0; j <= b.size(); ++j) {
        rows[0][j] = j;
    }
    for (std::size_t i = 1; i <= a.size(); ++i) {
        auto& current = rows[i % 3];
        const auto& previous = rows[(i + 2) % 3];
        const auto& older = rows[(i + 1) % 3];
        const std::size_t from = i > limit ? i - limit : 1;
        const std::size_t to = std::min(b.size(), i + limit);
        current[0] = i;
        if (from > 1) {
            current[from - 1] = over; // outside the band
        }
        std::size_t rowBest = from == 1 ? current[0] : over;
        const char ai = lowerAscii(a[i - 1]);
        for (std::size_t j = from; j <= to; ++j) {
            const char bj = lowerAscii(b[j - 1]);
            std::size_t cell = previous[j - 1] + (ai == bj ? 0 : 1);
            cell = std::min(cell, current[j - 1] + 1);
            if (j < i + limit) { // previous[j] lies inside the band
                cell = std::min(cell, previous[j] + 1);
            }
            if (i > 1 && j > 1 && ai == lowerAscii(b[j - 2]) && lowerAscii(a[i - 2]) == bj) {
                cell = std::min(cell, older[j - 2] + 1);
            }
            current[j] = std::min(cell, over);
            rowBest = std::min(rowBest, current[j]);
        }
        if (to < b.size()) {
            current[to + 1] = over;
        }
        if (rowBest > limit) {
            return over;
        }
    }
    return std::min(rows[a.size() % 3][b.size()], over);
}

} // namespace setforge::game
