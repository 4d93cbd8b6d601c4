#include "config/utf8.h"
#include "config/windows1252.h"

#include <gtest/gtest.h>

#include <iconv.h>
#include <optional>
#include <string>
#include <vector>

namespace setforge::config {
namespace {

// glibc's own converter as the reference: the UTF-8 for one Windows-1252 byte, or nullopt when
// glibc has none (the five undefined bytes).
std::optional<std::string> glibcUtf8Of(char byte) {
    const iconv_t cd = iconv_open("UTF-8", "WINDOWS-1252");
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        ADD_FAILURE() << "glibc has no WINDOWS-1252 converter";
        return std::nullopt;
    }
    char in[1] = {byte};
    char out[8];
    char* inPtr = in;
    std::size_t inLeft = 1;
    char* outPtr = out;
    std::size_t outLeft = sizeof out;
    const bool ok = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<std::size_t>(-1);
    iconv_close(cd);
    return ok ? std::optional<std::string>(std::string(out, outPtr)) : std::nullopt;
}

TEST(Windows1252, EveryByteReadsAsGlibcDecodesIt) {
    int defined = 0;
    for (int b = 0; b < 256; ++b) {
        const char byte = static_cast<char>(b);
        const std::string actual = windows1252ToUtf8(std::string_view(&byte, 1));
        EXPECT_TRUE(isValidUtf8(actual)) << "byte " << b;
        if (const std::optional<std::string> expected = glibcUtf8Of(byte)) {
            ++defined;
            EXPECT_EQ(actual, *expected) << "byte " << b;
        } else {
            // As Windows reads them: the C1 control of the same number.
            EXPECT_EQ(actual, std::string("\xC2") + byte) << "byte " << b;
        }
    }
    EXPECT_EQ(defined, 256 - 5);
}

TEST(Windows1252, ReadsAWholeOldConfig) {
    EXPECT_EQ(windows1252ToUtf8("name \"J\xF6rg \x80\x84\x93\"\r\nsay Gr\xFC\xDF"
                                "e\r\n"),
              "name \"Jörg €„“\"\r\nsay Grüße\r\n");
}

TEST(Utf8, ValidOnlyWhenWellFormed) {
    struct Case {
        std::string_view bytes;
        bool valid;
    };
    // clang-format off
    const std::vector<Case> cases = {
        {"", true}, {"plain", true}, {"Grün", true}, {"😀中", true}, {"\xEF\xBB\xBF" "bom", true},
        {"J\xF6rg", false}, {"\x80", false}, {"\xC3", false}, {"\xC0\xAF", false}, {"\xED\xA0\x80", false},
        {"\xF4\x90\x80\x80", false}, {"ok\xFF", false},
    };
    // clang-format on
    for (const Case& c : cases) {
        EXPECT_EQ(isValidUtf8(c.bytes), c.valid) << c.bytes;
        EXPECT_EQ(sanitizeUtf8(c.bytes) == c.bytes, c.valid) << c.bytes;
    }
}

} // namespace
} // namespace setforge::config
