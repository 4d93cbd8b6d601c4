// A variable's number as the game reads it, held to the C library's own strtod in the "C" locale,
// and still read the same way when the program runs in a German locale (as a Qt program on Linux
// does: QApplication sets the user's locale, whose decimal point is a comma).
#include "game/number.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

namespace setforge::game {
namespace {

TEST(VariableNumber, ReadsAsTheCLocaleAtofDoesInAnyLocale) {
    // clang-format off
    const std::vector<std::string> texts{
        "2.5", " 2.2", "\t3", "+1", "-0.5", ".5", "5.", "1e3", "1e", "1e+", "2.5abc", "abc", "", "2,5", "--1",
        "+-1", "0x-1", "0x10", "0X1p3", "0x.8", "0x", "0xg", "-0x1.8", "inf", "-Infinity", "1e-50", "1e400",
        "-1e400", "1e-400", "0x1p-2000", "0." + std::string(400, '0') + "1", "1" + std::string(400, '0'),
        "1" + std::string(400, '0') + "e-300", "0.00" + std::string(60, '1') + "e-330"};
    // clang-format on
    const auto expectCLibrary = [&](const char* where) {
        for (const std::string& text : texts) {
            const float expected = static_cast<float>(std::strtod(text.c_str(), nullptr));
            EXPECT_EQ(variableNumber(text), expected) << where << ": " << text;
        }
        EXPECT_TRUE(std::isnan(variableNumber(" nan"))) << where;
    };
    ASSERT_NE(std::setlocale(LC_NUMERIC, "C"), nullptr);
    expectCLibrary("C locale");

    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr) {
        GTEST_SKIP() << "no German locale here (localedef -i de_DE -f UTF-8 de_DE.UTF-8 makes one)";
    }
    EXPECT_EQ(std::atof("2.5"), 2.0) << "the locale reads a comma as the decimal point";
    for (const std::string& text : texts) {
        std::setlocale(LC_NUMERIC, "C");
        const float expected = static_cast<float>(std::strtod(text.c_str(), nullptr));
        std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
        EXPECT_EQ(variableNumber(text), expected) << "German locale: " << text;
    }
    std::setlocale(LC_NUMERIC, "C");
}

} // namespace
} // namespace setforge::game
