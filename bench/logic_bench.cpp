// Composing and reading a config must stay linear in its size: the benchmarks run at sizes a
// factor of 4 (or 10) apart and report the time per byte, which must stay flat. Searching ten
// Steam libraries for the game must stay well under 50 ms, since the dialogs wait for it.
#include "buyscript/buy_catalogue.h"
#include "config/game_folders.h"
#include "config/userconfig.h"
#include "config/userconfig_check.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <random>

namespace {

std::string filler(std::size_t bytes) {
    const std::string line = "bind \"F5\" \"say Grüße aus Köln; snapshot\"\r\n";
    std::string text;
    text.reserve(bytes + line.size());
    while (text.size() < bytes) {
        text += line;
    }
    text.resize(bytes);
    return text;
}

void BM_ComposeUserconfigFreeText(benchmark::State& state) {
    setforge::config::SettingsState settings;
    settings.gamma = "2.2";
    settings.hud_fastswitch = "o1";
    settings.manual_text = filler(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(setforge::config::composeUserconfig(settings));
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ComposeUserconfigFreeText)->RangeMultiplier(4)->Range(10 << 10, 10 << 20)->Unit(benchmark::kMillisecond);

void BM_ComposeUserconfigNickname(benchmark::State& state) {
    setforge::config::SettingsState settings;
    settings.nickname = std::string(static_cast<std::size_t>(state.range(0)), '"');
    for (auto _ : state) {
        benchmark::DoNotOptimize(setforge::config::composeUserconfig(settings));
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ComposeUserconfigNickname)->RangeMultiplier(4)->Range(16 << 10, 1 << 20)->Unit(benchmark::kMillisecond);

void BM_ComposeBuyScriptKey(benchmark::State& state) {
    const std::string key(static_cast<std::size_t>(state.range(0)), 'k');
    std::set<std::string> ticked;
    for (int i = 1; i <= 34; ++i) {
        ticked.insert("c" + std::to_string(i));
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(setforge::buyscript::ComposeBuyScript(key, ticked));
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ComposeBuyScriptKey)->RangeMultiplier(4)->Range(16 << 10, 1 << 20)->Unit(benchmark::kMicrosecond);

// A player's config grown to `bytes`: binds, aliases, comments, settings between them.
std::string playerConfig(std::size_t bytes) {
    const std::string block = "name \"[GER] Jörg\"\r\n// Waffen; Grafik\r\nbind \"F5\" \"buy ak47; buy vesthelm\"\r\n"
                              "alias +jt \"+jump; -attack\"\r\ngamma \"2.200000\"\r\nhud_fastswitch 1\n"
                              "setinfo \"_vgui_menus\"\"0\"\r\nrate 25000; cl_updaterate 101\r\n\r\n";
    std::string text;
    text.reserve(bytes + block.size());
    while (text.size() < bytes) {
        text += block;
    }
    return text;
}

void BM_ParseUserconfig(benchmark::State& state) {
    const std::string file = playerConfig(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(setforge::config::parseUserconfig(file));
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(file.size()));
}
BENCHMARK(BM_ParseUserconfig)->Arg(1 << 20)->Arg(10 << 20)->Unit(benchmark::kMillisecond);

// Ten Steam libraries (half of them holding the game) below a temporary home, made once. With
// `listed` above ten, Steam's file names that many entries: every further one a new spelling, half
// of them of the ten real libraries ("library3/./"), half of folders that do not exist.
class FakeSteamInstall {
public:
    explicit FakeSteamInstall(int listed = 10) {
        std::random_device random;
        m_base = std::filesystem::temp_directory_path() / ("sfb" + std::to_string(random() % 100'000));
        const auto root = m_base / "home/.local/share/Steam";
        std::string vdf = "\"libraryfolders\"\n{\n";
        for (int i = 0; i < 10; ++i) {
            const auto library = i == 0 ? root : m_base / ("library" + std::to_string(i));
            std::filesystem::create_directories(library / "steamapps/common");
            if (i % 2 == 0) {
                std::filesystem::create_directories(library / "steamapps/common/Half-Life/cstrike");
            }
            vdf += "\t\"" + std::to_string(i) + "\"\n\t{\n\t\t\"path\"\t\t\"" + library.string() + "\"\n\t}\n";
        }
        // Compact, so that 100,000 entries stay within the size the reader takes.
        for (int i = 10; i < listed; ++i) {
            const std::string spelling = i % 2 == 0
                                             ? (m_base / ("library" + std::to_string(i % 9 + 1))).string() +
                                                   std::string(static_cast<std::size_t>(i / 18 % 8 + 1), '/') + "."
                                             : (m_base / ("m" + std::to_string(i))).string();
            vdf += "\"" + std::to_string(i) + "\"{\"path\"\"" + spelling + "\"}\n";
        }
        std::ofstream(root / "steamapps/libraryfolders.vdf") << vdf << "}\n";
    }
    ~FakeSteamInstall() {
        std::error_code ignored;
        std::filesystem::remove_all(m_base, ignored);
    }
    FakeSteamInstall(const FakeSteamInstall&) = delete;
    FakeSteamInstall& operator=(const FakeSteamInstall&) = delete;
    [[nodiscard]] std::string home() const { return (m_base / "home").string(); }

private:
    std::filesystem::path m_base;
};

void BM_FindGameFoldersTenLibraries(benchmark::State& state) {
    const FakeSteamInstall install;
    const setforge::config::SteamRoots roots{install.home(), std::nullopt, false};
    for (auto _ : state) {
        const auto found = setforge::config::findGameFolders(roots);
        if (found.size() != 5) {
            state.SkipWithError("expected five game folders");
            break;
        }
    }
}
BENCHMARK(BM_FindGameFoldersTenLibraries)->Unit(benchmark::kMillisecond);

// The check of the free text runs as the player types: a free text of the game's 16 KB must take well
// under 10 ms, a 1 MB one must stay usable. Each line is different, so no name is looked up twice:
// binds with umlauts (cut when the file is read line by line), own aliases, names of the player's
// own scripts, a mistyped cvar and a line overriding a choice.
std::string checkedText(std::size_t bytes) {
    std::string text;
    text.reserve(bytes + 128);
    for (std::size_t i = 0; text.size() < bytes; ++i) {
        const std::string n = std::to_string(i);
        switch (i % 5) {
        case 0:
            text += "bind \"F" + std::to_string(i % 12 + 1) + "\" \"say Grüße " + n + "\"\r\n";
            break;
        case 1:
            text += "alias skript" + n + " \"wait; +attack; wait; -attack\"\r\n";
            break;
        case 2:
            text += "meinskript" + n + "; cl_crosshiar_color \"50 250 50\"\r\n";
            break;
        case 3:
            text += "gamma 2.5; rate 25000; cl_updaterate 101 // " + n + "\r\n";
            break;
        default:
            text += "bind \"MOUSE 4\" \"+jump\"; bind Strg +duck\r\n";
            break;
        }
    }
    text.resize(bytes);
    return text;
}

void BM_CheckUserconfig(benchmark::State& state) {
    setforge::config::SettingsState settings;
    settings.gamma = "2.2";
    settings.manual_text = checkedText(static_cast<std::size_t>(state.range(0)));
    std::size_t findings = 0;
    for (auto _ : state) {
        const auto found = setforge::config::checkUserconfig(settings);
        findings = found.size();
        benchmark::DoNotOptimize(found);
    }
    state.counters["findings"] = static_cast<double>(findings);
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_CheckUserconfig)->Arg(16 << 10)->Arg(1 << 20)->Unit(benchmark::kMillisecond);

void BM_FindGameFoldersManyEntries(benchmark::State& state) {
    const FakeSteamInstall install(static_cast<int>(state.range(0)));
    const setforge::config::SteamRoots roots{install.home(), std::nullopt, false};
    for (auto _ : state) {
        if (setforge::config::findGameFolders(roots).size() != 5) {
            state.SkipWithError("expected five game folders");
            break;
        }
    }
}
BENCHMARK(BM_FindGameFoldersManyEntries)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);

} // namespace
