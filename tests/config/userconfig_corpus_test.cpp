// Player configs written for these tests, each checked as the game would run it. The expected
// findings were worked out by hand from the engine's console (command buffer, tokenizer, alias,
// exec), not taken from the check.
#include "config/userconfig.h"
#include "config/userconfig_check.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace setforge::config {
namespace {

using K = FindingKind;

std::string corpusFile(const std::string& name) {
    std::ifstream in(std::string(SETFORGE_CORPUS_DIR) + "/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

TEST(UserconfigCorpus, FindingsAsTheEngineRunsTheFile) {
    struct Expected {
        FindingKind kind;
        std::size_t line;
        FindingPlace place = FindingPlace::FreeText;
    };
    struct Case {
        std::string file;
        std::string nickname;
        std::vector<Expected> findings;
    };
    // clang-format off
    const std::vector<Case> cases = {
        // 5: MOUSE4 is bound again in 8 (key names compare ignoring case). 6: the buffer splits at the
        // ';' before the tokenizer sees the comment, so `dann loslassen` runs. 7: TABs are blanks to a
        // file read whole. 10: the alias call inserts `gamma 3`, overriding the window's 2.2. 11: a
        // high byte inside a word stays. 12: quoted, so ':' and the umlaut stay.
        {"everyday.cfg", "Bar", {{K::KeyBoundAgain, 5}, {K::CutByGame, 6}, {K::OverridesChoice, 10}}},
        // 2: the command is longer than 1,023 bytes: one mark for the cut, however many commands the
        // rest runs.
        {"long_bind.cfg", "Bar", {{K::CutByGame, 2}}},
        // Over 16,381 bytes: read line by line. The name line ends at the umlaut (name "J"). 1: the
        // comment ends at 'ß', and `e Config (` runs. 2: the TAB starts a piece, `"+jump"` runs.
        // 3: after `wait` the next line runs before `echo b`.
        {"large.cfg", "J\xC3\xA4ger", {{K::CutByGame, 0, FindingPlace::WindowLine}, {K::CutByGame, 1}, {K::CutByGame, 2}, {K::CutByGame, 3}}},
    };
    // clang-format on
    for (const Case& c : cases) {
        SettingsState state;
        state.gamma = "2.2";
        state.nickname = c.nickname;
        state.manual_text = corpusFile(c.file);
        ASSERT_FALSE(state.manual_text.empty()) << c.file;
        state.manual_text.resize(state.manual_text.size() - 2); // writing ends the text with CR LF again
        const auto findings = checkUserconfig(state);
        std::string got;
        for (const ConfigFinding& f : findings) {
            got += std::to_string(static_cast<int>(f.kind)) + "@" + std::to_string(f.line) + " " + f.message + "\n";
        }
        ASSERT_EQ(findings.size(), c.findings.size()) << c.file << "\n" << got;
        for (std::size_t i = 0; i < findings.size(); ++i) {
            EXPECT_EQ(findings[i].kind, c.findings[i].kind) << c.file << "\n" << got;
            EXPECT_EQ(findings[i].line, c.findings[i].line) << c.file << "\n" << got;
            EXPECT_EQ(findings[i].place, c.findings[i].place) << c.file;
        }
    }
}

} // namespace
} // namespace setforge::config
