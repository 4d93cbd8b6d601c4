// Checking any free text: never a crash, every finding within the text on its own line with a
// message, and a fix that leaves the text checkable. For text the window can hold (UTF-8) without
// the characters engine builds read differently, and with a nickname the game reads whole in either
// reading (printable ASCII), a choice is overridden exactly when the tests' console model says so,
// and the game never runs other than the lines say without a cut finding.
#include "config/settings_catalogue.h"
#include "config/userconfig.h"
#include "config/userconfig_check.h"
#include "config/utf8.h"
#include "support/game_console.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdlib>
#include <string>

namespace {

using namespace setforge::config;

void require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    FuzzedDataProvider data(bytes, size);
    SettingsState state;
    for (const SettingSpec& setting : SettingsCatalogue) {
        if (data.ConsumeBool()) {
            const ChoiceSpec& choice =
                setting.choices[data.ConsumeIntegralInRange<std::size_t>(0, setting.choices.size() - 1)];
            state.*setting.field = std::string(setting.kind == SettingKind::List ? choice.display : choice.control);
        }
    }
    state.nickname = data.ConsumeRandomLengthString(40);
    // Now and then a text beyond the whole-file limit, so the line-by-line reading is reached.
    const std::size_t padding = data.ConsumeBool() ? WholeFileLimit : 0;
    state.manual_text = std::string(padding, '/') + data.ConsumeRemainingBytesAsString();

    const std::string& text = state.manual_text;
    const auto lines = static_cast<std::size_t>(std::ranges::count(text, '\n')) + 1;
    const auto findings = checkUserconfig(state);
    for (const ConfigFinding& f : findings) {
        require(!f.message.empty() && isValidUtf8(f.message));
        if (f.place == FindingPlace::WindowLine) {
            require(f.line == 0 && f.begin == 0 && f.end == 0 && stopsSave(f.kind));
            continue;
        }
        require(f.begin <= f.end && f.end <= text.size());
        require(f.line >= 1 && f.line <= lines);
        require(stopsSave(f.kind) || !f.setting);
        require(f.lineChoice == nullptr || f.setting != nullptr);
    }
    const auto has = [&](FindingKind kind) {
        return std::ranges::any_of(findings, [kind](const ConfigFinding& f) { return f.kind == kind; });
    };
    const bool comparable =
        isValidUtf8(text) && std::ranges::all_of(state.nickname, [](char c) { return c >= ' ' && c < 0x7F; });
    if (comparable) {
        namespace model = setforge::testing;
        const auto names = model::settingVariableNames();
        SettingsState windowOnly = state;
        windowOnly.manual_text.clear();
        const auto window = model::effectOfExec(composeUserconfig(windowOnly), SIZE_MAX, names);
        const auto game = model::effectOfExec(composeUserconfig(state), WholeFileLimit, names);
        // Where an alias calls on without end the game never finishes loading: no value is final.
        require(game.endless || has(FindingKind::OverridesChoice) == !model::keepsWindowVariables(window, game));
        // Without a cut finding the game runs what the lines say. The converse is not checked over
        // the whole file: two cuts can cancel out in the list of commands (a comment line whose
        // tail runs `[` after a NUL line whose `[` no longer runs), while each line still differs.
        const std::string file = composeUserconfig(state);
        require(has(FindingKind::CutByGame) || model::execFile(file, WholeFileLimit) == model::readPlainly(file));
    }
    if (!findings.empty() && findings.front().fix) {
        SettingsState fixed = state;
        fixed.manual_text =
            text.substr(0, findings.front().begin) + *findings.front().fix + text.substr(findings.front().end);
        (void)checkUserconfig(fixed);
    }
    return 0;
}
