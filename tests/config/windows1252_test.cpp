#include "config/userconfig.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <iconv.h>
#include <optional>
#include <string>
#include <vector>

namespace setforge::config {
namespace {

std::string utf8Of(char32_t cp) {
    std::string s;
    if (cp < 0x80) {
        s += static_cast<char>(cp);
    } else if (cp < 0x800) {
        s += static_cast<char>(0xC0 | (cp >> 6));
        s += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        s += static_cast<char>(0xE0 | (cp >> 12));
        s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        s += static_cast<char>(0xF0 | (cp >> 18));
        s += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (cp & 0x3F));
    }
    return s;
}

// glibc's own converter as the reference: the byte for a code point, or nullopt when it has none.
class Iconv1252 {
public:
    Iconv1252()
        : m_cd(iconv_open("WINDOWS-1252", "UTF-8")) {}
    ~Iconv1252() {
        if (m_cd != reinterpret_cast<iconv_t>(-1)) {
            iconv_close(m_cd);
        }
    }
    Iconv1252(const Iconv1252&) = delete;
    Iconv1252& operator=(const Iconv1252&) = delete;

    [[nodiscard]] bool ok() const { return m_cd != reinterpret_cast<iconv_t>(-1); }

    std::optional<std::string> convert(const std::string& in) {
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        std::string src = in;
        char out[16];
        char* inPtr = src.data();
        std::size_t inLeft = src.size();
        char* outPtr = out;
        std::size_t outLeft = sizeof out;
        if (iconv(m_cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1)) {
            return std::nullopt;
        }
        return std::string(out, outPtr);
    }

private:
    iconv_t m_cd;
};

TEST(Windows1252, EveryBmpCodePointMatchesGlibc) {
    Iconv1252 reference;
    ASSERT_TRUE(reference.ok()) << "glibc has no WINDOWS-1252 converter";
    int mapped = 0;
    for (char32_t cp = 0; cp <= 0xFFFF; ++cp) {
        if (cp >= 0xD800 && cp <= 0xDFFF) {
            continue; // not characters; covered as malformed input below
        }
        const std::string in = utf8Of(cp);
        const std::optional<std::string> expected = reference.convert(in);
        const std::string actual = toWindows1252(in);
        if (expected) {
            ++mapped;
            ASSERT_EQ(actual, *expected) << "U+" << std::hex << static_cast<unsigned>(cp);
        } else {
            ASSERT_EQ(actual, "?") << "U+" << std::hex << static_cast<unsigned>(cp);
        }
    }
    // 0x00-0x7F, 0xA0-0xFF and the 27 assigned bytes of 0x80-0x9F.
    EXPECT_EQ(mapped, 128 + 96 + 27);
}

TEST(Windows1252, OneQuestionMarkPerUnmappableOrMalformedPiece) {
    struct Case {
        std::string_view name, in, out;
    };
    // clang-format off
    const std::vector<Case> cases = {
        {"umlauts",                 "Grün Weiß",              "Gr\xFCn Wei\xDF"},
        {"euro and quotes",         "€ „x“",                  "\x80 \x84x\x93"},
        {"emoji is one code point", "a😀b",                   "a?b"},
        {"CJK",                     "中文",                   "??"},
        {"control characters stay", std::string_view("\t\x01\x7F\0", 4), std::string_view("\t\x01\x7F\0", 4)},
        {"lone continuation byte",  "a\x80z",                 "a?z"},
        {"truncated two-byte",      "a\xC3",                  "a?"},
        {"truncated three-byte",    "a\xE2\x82z",             "a?z"},
        {"overlong slash",          "\xC0\xAF",               "??"},
        {"overlong three-byte",     "\xE0\x80\xAF",           "???"},
        {"encoded surrogate",       "\xED\xA0\x80",           "???"},
        {"above U+10FFFF",          "\xF4\x90\x80\x80",       "????"},
        {"invalid lead byte",       "\xFF\xFE",               "??"},
        {"valid after broken",      "\xE2\x82\xC3\xA4",       "?\xE4"},
        {"four-byte truncated",     "\xF0\x9F\x98",           "?"},
    };
    // clang-format on
    for (const Case& c : cases) {
        EXPECT_EQ(toWindows1252(c.in), c.out) << c.name;
    }
}

} // namespace
} // namespace setforge::config
