#include "buyscript/weapon_sheets.h"

#include <algorithm>

namespace setforge::buyscript {
namespace {

std::string layoutRows(const WeaponSheet& sheet, std::size_t rows) {
    std::string text;
    for (std::size_t row = 0; row < rows; ++row) {
        if (row > 0) {
            text += "\r\n";
        }
        text += detail::RowLabels[row];
        text += ": ";
        text += sheet.values[row];
    }
    return text;
}

} // namespace

std::optional<SheetMessage> WeaponSheetFor(std::int16_t markerIndex) {
    const auto* sheet = std::ranges::find(detail::Sheets, markerIndex, &WeaponSheet::markerIndex);
    if (sheet == detail::Sheets.end()) {
        return std::nullopt;
    }
    switch (sheet->kind) {
    case SheetKind::Full:
        return SheetMessage{std::string(WeaponSheetTitle), layoutRows(*sheet, detail::RowLabels.size())};
    case SheetKind::Price:
        return SheetMessage{std::string(WeaponSheetTitle), layoutRows(*sheet, 1)};
    case SheetKind::Note:
        return SheetMessage{"", std::string(sheet->values[0])};
    }
    return std::nullopt;
}

} // namespace setforge::buyscript
