// Composing must stay linear in the size of what the player typed: each benchmark runs at
// sizes a factor of 4 apart and reports the time per byte, which must stay flat.
#include "buyscript/buy_catalogue.h"
#include "config/userconfig.h"

#include <benchmark/benchmark.h>

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
    for (int i = 1; i <= 33; ++i) {
        ticked.insert("c" + std::to_string(i));
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(setforge::buyscript::ComposeBuyScript(key, ticked));
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ComposeBuyScriptKey)->RangeMultiplier(4)->Range(16 << 10, 1 << 20)->Unit(benchmark::kMicrosecond);

} // namespace
