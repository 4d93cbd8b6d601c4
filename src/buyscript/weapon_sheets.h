#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace setforge::buyscript {

struct SheetMessage {
    std::string title; // "" = the application's title
    std::string text;
};

enum class SheetKind { Full, Price, Note };

// What one marker shows: nine values for a full sheet, the price alone, or a note shown whole.
struct WeaponSheet {
    std::int16_t markerIndex;
    SheetKind kind;
    std::array<std::string_view, 9> values; // full: all nine rows; price: values[0]; note: values[0]
};

namespace detail {
using enum SheetKind;
// clang-format off
// marker index, kind, then Price, Country of Origin, Caliber, Clip Capacity, Rate of Fire,
// Weight (Loaded), Projectile Weight, Muzzle Velocity, Muzzle Energy, held exactly as shown
inline constexpr std::array<WeaponSheet, 34> Sheets {{
    {0,  Full,  {"$400",  "Austria",                  "9MM Parabellum",     "20 Rounds",  "N/A",      "0.9 KG",  "8 Grams",          "1132 Feet/Second", "475 Joules"}},
    {1,  Full,  {"$500",  "Germany",                  ".45 ACP",            "12 Rounds",  "N/A",      "1 KG",    "15.2 Grams",       "886 Feet/Second",  "553 Joules"}},
    {2,  Full,  {"$600",  "Switzerland/Germany",      ".357 SIG",           "13 Rounds",  "N/A",      "1.03 KG", "8.1 Grams",        "1400 Feet/Second", "600 Joules"}},
    {3,  Full,  {"$650",  "Israel",                   ".50 Action Express", "7 Rounds",   "N/A",      "1.8 KG",  "19.4 Grams",       "1380 Feet/Second", "1650 Joules"}},
    {4,  Full,  {"$750",  "Belgium",                  "5.7 X 28MM",         "20 Rounds",  "N/A",      "0.618 KG","2 Grams",          "2345 Feet/Second", "465 Joules"}},
    {5,  Full,  {"$800",  "Italy",                    "9MM Parabellum",     "15 Rounds",  "N/A",      "1.15 KG", "8 Grams",          "1280 Feet/Second", "606 Joules"}},
    {6,  Full,  {"$1700", "Italy",                    "12 Guage",           "8 Rounds",   "N/A",      "3.5 KG",  "3.8 Grams",        "1250 Feet/Second", "2429 Joules"}},
    {7,  Full,  {"$3000", "Italy",                    "12 Guage",           "7 Rounds",   "700 RPM",  "4 KG",    "3.8 Grams/Pellet", "1250 Feet/Second", "2429 Joules"}},
    {8,  Full,  {"$1250", "Austria",                  "9MM Parabellum",     "30 Rounds",  "857 RPM",  "1.3 KG",  "8 Grams/Pellet",   "1280 Feet/Second", "606 Joules"}},
    {9,  Full,  {"$1500", "Germany",                  "9MM Parabellum",     "30 Rounds",  "800 RPM",  "3.42 KG", "8 Grams",          "1132 Feet/Second", "637 Joules"}},
    {10, Full,  {"$1700", "Germany",                  ".45 ACP",            "25 Rounds",  "600 RPM",  "2.27 KG", "15.2 Grams",       "1005 Feet/Second", "625 Joules"}},
    {11, Full,  {"$2350", "Belgium",                  ".338 Lapuma Magnum", "50 Rounds",  "900 RPM",  "3 KG",    "2 Grams",          "2345 Feet/Second", "465 Joules"}},
    {12, Full,  {"$1400", "United States of America", ".45 ACP",            "30 Rounds",  "857 RPM",  "3.82 KG", "15.2 Grams",       "919 Feet/Second",  "584 Joules"}},
    {13, Full,  {"$2250", "France",                   "5.56 Nato",          "25 Rounds",  "1100 RPM", "3.40 KG", "4 Grams",          "2212 Feet/Second", "1712 Joules"}},
    {14, Full,  {"$2750", "Austria",                  "7.62 Nato",          "10 Rounds",  "N/A RPM",  "3.3 KG",  "8 Grams",          "2800 Feet/Second", "2200 Joules"}},
    {15, Full,  {"$3100", "United States of America", "5.56 Nato",          "30 Rounds",  "685 RPM",  "3.22 KG", "4 Grams",          "2900 Feet/Second", "1570 Joules"}},
    {16, Full,  {"$3500", "Austria",                  "5.56 Nato",          "30 Rounds",  "727 RPM",  "4.09 KG", "4 Grams",          "2900 Feet/Second", "1570 Joules"}},
    {17, Full,  {"$4200", "Switzerland",              "5.56 Nato",          "30 Rounds",  "N/A",      "7.02 KG", "4 Grams",          "3100 Feet/Second", "1650 Joules"}},
    {18, Full,  {"$4750", "United Kingdom",           ".338 Lapua Magnum",  "10 Rounds",  "N/A",      "6 KG",    "16.2 Grams",       "3000 Feet/Second", "7000 Joules"}},
    {19, Full,  {"$2000", "Israel",                   ".308",               "35 Rounds",  "675 RPM",  "4.35 KG", "4 Grams",          "2013 Feet/Second", "1712 Joules"}},
    {20, Full,  {"$3500", "Switzerland",              "5.56 Nato",          "30 Rounds",  "727 RPM",  "3.31 KG", "4 Grams",          "2900 Feet/Second", "1570 Joules"}},
    {21, Full,  {"$5750", "Belgium",                  "5.56 Parabellum",    "100 Rounds", "600 RPM",  "6KG",     "4 Grams",          "3000 Feet/Second", "1600 Joules"}},
    {22, Price, {"$650"}},
    {23, Price, {"$1000"}},
    {24, Price, {"$200"}},
    {25, Price, {"$300"}},
    {26, Price, {"$300"}},
    {27, Price, {"$200"}},
    {28, Price, {"$1250"}},
    {29, Price, {"$2200"}},
    {30, Note,  {"Kauft Munition für die Hauptwaffe"}},
    {31, Note,  {"Kauft Munition für die Zweitwaffe"}},
    {33, Full,  {"$2500", "Russia",                   "7.62 Nato",          "30 Rounds",  "600 RPM",  "4.79 KG", "7.9 Grams",        "2329 Feet/Second", "1992 Joules"}},
    {37, Full,  {"$5000", "Germany",                  "7.62 Nato",          "20 Rounds",  "N/A",      "8.1 KG",  "9.5 Grams",        "2625 Feet/Second", "3040 Joules"}},
}};

// Row labels with the TABs that follow each, so the values line up at one tab stop.
inline constexpr std::array<std::string_view, 9> RowLabels {{
    "Price\t\t", "Country of Origin\t", "Caliber\t\t", "Clip Capacity\t", "Rate of Fire\t",
    "Weight (Loaded)\t", "Projectile Weight\t", "Muzzle Velocity\t", "Muzzle Energy\t",
}};
// clang-format on
} // namespace detail

inline constexpr std::string_view WeaponSheetTitle = "Waffeninformation";

// The box a marker shows, or nothing for markers without a sheet (32, 34-36 and any other index).
[[nodiscard]] std::optional<SheetMessage> WeaponSheetFor(std::int16_t markerIndex);

} // namespace setforge::buyscript
