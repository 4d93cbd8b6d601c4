#include "buyscript/buy_catalogue.h"
#include "buyscript/weapon_sheets.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <string>
#include <vector>

namespace setforge::buyscript {
namespace {

std::string sheetText(std::int16_t index) {
    const auto sheet = WeaponSheetFor(index);
    return sheet ? sheet->text : std::string("<nothing>");
}

std::size_t count(const std::string& text, std::string_view what) {
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size())) {
        ++n;
    }
    return n;
}

TEST(WeaponSheets, FullSheetLaysOutNineLabelledRows) {
    const auto sheet = WeaponSheetFor(0);
    ASSERT_TRUE(sheet.has_value());
    EXPECT_EQ(sheet->title, "Waffeninformation");
    EXPECT_EQ(sheet->text, "Price\t\t: $400\r\n"
                           "Country of Origin\t: Austria\r\n"
                           "Caliber\t\t: 9MM Parabellum\r\n"
                           "Clip Capacity\t: 20 Rounds\r\n"
                           "Rate of Fire\t: N/A\r\n"
                           "Weight (Loaded)\t: 0.9 KG\r\n"
                           "Projectile Weight\t: 8 Grams\r\n"
                           "Muzzle Velocity\t: 1132 Feet/Second\r\n"
                           "Muzzle Energy\t: 475 Joules");
}

TEST(WeaponSheets, EveryFullSheetHasElevenTabsAndEightBreaks) {
    std::vector<std::int16_t> full;
    for (std::int16_t i = 0; i <= 21; ++i) {
        full.push_back(i);
    }
    full.push_back(33);
    full.push_back(37);
    for (std::int16_t index : full) {
        const std::string text = sheetText(index);
        EXPECT_EQ(count(text, "\t"), 11u) << index;
        EXPECT_EQ(count(text, "\r\n"), 8u) << index;
        EXPECT_EQ(count(text, "\r"), 8u) << index;
        EXPECT_EQ(count(text, "\n"), 8u) << index;
        EXPECT_EQ(count(text, "\t: "), 9u) << index;
        EXPECT_TRUE(text.starts_with("Price\t\t: $")) << index;
        EXPECT_NE(text.back(), '\n') << index;
        EXPECT_NE(text.back(), ' ') << index;
    }
}

TEST(WeaponSheets, ValuesAreShownExactlyAsHeld) {
    struct Case {
        std::int16_t index;
        std::string_view line;
    };
    // clang-format off
    const std::vector<Case> cases = {
        {10, "Price\t\t: $1700"},            {10, "Country of Origin\t: Germany"}, {10, "Caliber\t\t: .45 ACP"},
        {11, "Price\t\t: $2350"},            {11, "Caliber\t\t: .338 Lapuma Magnum"},
        {18, "Caliber\t\t: .338 Lapua Magnum"}, {18, "Weight (Loaded)\t: 6 KG"},
        {21, "Weight (Loaded)\t: 6KG"},       {21, "Caliber\t\t: 5.56 Parabellum"},
        {6,  "Caliber\t\t: 12 Guage"},       {7, "Caliber\t\t: 12 Guage"}, {7, "Projectile Weight\t: 3.8 Grams/Pellet"},
        {14, "Rate of Fire\t: N/A RPM"},     {17, "Rate of Fire\t: N/A"},
        {13, "Weight (Loaded)\t: 3.40 KG"},
        {12, "Country of Origin\t: United States of America"},
        {33, "Price\t\t: $2500"},            {33, "Country of Origin\t: Russia"}, {33, "Muzzle Energy\t: 1992 Joules"},
        {37, "Price\t\t: $5000"},            {37, "Caliber\t\t: 7.62 Nato"},     {37, "Clip Capacity\t: 20 Rounds"},
    };
    // clang-format on
    for (const Case& c : cases) {
        const std::string text = sheetText(c.index);
        const std::string asLine = "\r\n" + text + "\r\n";
        EXPECT_NE(asLine.find("\r\n" + std::string(c.line) + "\r\n"), std::string::npos)
            << "index " << c.index << " lacks line: " << c.line;
    }
}

TEST(WeaponSheets, EquipmentShowsItsPriceAlone) {
    struct Case {
        std::int16_t index;
        std::string_view text;
    };
    // clang-format off
    const std::vector<Case> cases = {
        {22, "Price\t\t: $650"}, {23, "Price\t\t: $1000"}, {24, "Price\t\t: $200"}, {25, "Price\t\t: $300"},
        {26, "Price\t\t: $300"}, {27, "Price\t\t: $200"}, {28, "Price\t\t: $1250"},
        {29, "Price\t\t: $2200"},
    };
    // clang-format on
    for (const Case& c : cases) {
        const auto sheet = WeaponSheetFor(c.index);
        ASSERT_TRUE(sheet.has_value()) << c.index;
        EXPECT_EQ(sheet->title, "Waffeninformation");
        EXPECT_EQ(sheet->text, c.text) << c.index;
    }
    EXPECT_EQ(sheetText(22).size(), 13u);
}

TEST(WeaponSheets, AmmunitionNotesCarryTheApplicationTitle) {
    const auto primary = WeaponSheetFor(30);
    const auto secondary = WeaponSheetFor(31);
    ASSERT_TRUE(primary && secondary);
    EXPECT_EQ(primary->title, "");
    EXPECT_EQ(primary->text, "Kauft Munition für die Hauptwaffe");
    EXPECT_EQ(secondary->title, "");
    EXPECT_EQ(secondary->text, "Kauft Munition für die Zweitwaffe");
}

TEST(WeaponSheets, MarkersWithoutSheetShowNothing) {
    const std::vector<std::int16_t> none = {32,
                                            34,
                                            35,
                                            36,
                                            -1,
                                            38,
                                            100,
                                            std::numeric_limits<std::int16_t>::min(),
                                            std::numeric_limits<std::int16_t>::max()};
    for (std::int16_t index : none) {
        EXPECT_FALSE(WeaponSheetFor(index).has_value()) << index;
    }
}

TEST(WeaponSheets, EveryItemMarkerHasASheet) {
    for (const BuyItem& item : BuyCatalogue) {
        EXPECT_TRUE(WeaponSheetFor(item.pictureIndex).has_value()) << item.checkBox;
    }
}

} // namespace
} // namespace setforge::buyscript
