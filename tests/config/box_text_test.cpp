#include "config/box_text.h"
#include "config/config_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace setforge::config {
namespace {

TEST(BoxText, HiddenCharactersShowAsMarkedPicturesAndComeBack) {
    struct Case {
        std::string text;
        std::string shown;
    };
    // "\xEF\xB8\x8E" is U+FE0E, the mark behind a picture that stands for a hidden character.
    const std::vector<Case> cases = {
        {"echo hallo\rquit\r\r\n", "echo hallo\xE2\x90\x8D\xEF\xB8\x8Equit\xE2\x90\x8D\xEF\xB8\x8E\r\n"},
        {std::string("a\0b", 3), "a\xE2\x90\x80\xEF\xB8\x8E"
                                 "b"},
        {"\x1B[1m\x7F\t\n", "\xE2\x90\x9B\xEF\xB8\x8E[1m\x7F\t\n"},
        {"say a\xE2\x80\xA8quit", "say a\xE2\x90\xA4\xEF\xB8\x8Equit"},
        {"say a\xE2\x80\xA9quit", "say a\xC2\xB6\xEF\xB8\x8Equit"},
        // Pictures and marks of the file's own text stay pictures and marks.
        {"\xE2\x90\x8D \xC2\xB6", "\xE2\x90\x8D \xC2\xB6"},
        {"\xE2\x90\x8D\xEF\xB8\x8E", "\xE2\x90\x8D\xEF\xB8\x8E\xEF\xB8\x8E"},
        {"\r\xEF\xB8\x8E", "\xE2\x90\x8D\xEF\xB8\x8E\xEF\xB8\x8E\xEF\xB8\x8E"},
        {"J\xC3\xB6rg \xF0\x9F\x98\x80", "J\xC3\xB6rg \xF0\x9F\x98\x80"},
        {"\xFF\xC3", "\xFF\xC3"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(encodeForBox(c.text), c.shown) << c.text;
        EXPECT_EQ(decodeFromBox(c.shown), c.text) << c.text;
    }
}

TEST(BoxText, PicturesThePlayerTypesStayWhatHeTyped) {
    // A picture without its mark, or a mark left alone after deleting its picture.
    EXPECT_EQ(decodeFromBox("say \xE2\x90\x8D \xE2\x90\x80 \xE2\x90\xA4"),
              "say \xE2\x90\x8D \xE2\x90\x80 \xE2\x90\xA4");
    EXPECT_EQ(decodeFromBox("a\xEF\xB8\x8E"
                            "b"),
              "a\xEF\xB8\x8E"
              "b");
    EXPECT_EQ(decodeFromBox("\xE2\x90\x89\xEF\xB8\x8E"), "\xE2\x90\x89\xEF\xB8\x8E"); // TAB's picture hides nothing
}

TEST(ConfigText, EachSequenceIsDecodedOnItsOwn) {
    struct Case {
        std::string bytes;
        std::string text;
        TextEncoding encoding;
    };
    const std::vector<Case> cases = {
        {"name \"J\xC3\xB6rg\"", "name \"J\xC3\xB6rg\"", TextEncoding::Utf8},
        {"\xEF\xBB\xBFgamma 2", "gamma 2", TextEncoding::Utf8},
        // One stray byte of an old editor leaves the UTF-8 around it alone.
        {"name \"J\xC3\xB6rg\"\r\n// Gr\xFC\xDF"
         "e \x80",
         "name \"J\xC3\xB6rg\"\r\n// Gr\xC3\xBC\xC3\x9F"
         "e \xE2\x82\xAC",
         TextEncoding::MixedUtf8},
        {"\xC3\x28 \xED\xA0\x80", "\xC3\x83( \xC3\xAD\xC2\xA0\xE2\x82\xAC", TextEncoding::MixedUtf8},
        {std::string("\xFF\xFEg\0\xF6\0=\0\x3D\xD8\x00\xDE", 12), "g\xC3\xB6=\xF0\x9F\x98\x80", TextEncoding::Utf16LE},
        {std::string("\xFE\xFF\0g\xD8\x3D\0a\xDE", 9),
         "g\xEF\xBF\xBD"
         "a\xEF\xBF\xBD",
         TextEncoding::Utf16BE},
    };
    for (const Case& c : cases) {
        const ConfigText decoded = decodeConfigBytes(c.bytes);
        EXPECT_EQ(decoded.text, c.text) << c.bytes;
        EXPECT_EQ(decoded.encoding, c.encoding) << c.bytes;
    }
}

} // namespace
} // namespace setforge::config
