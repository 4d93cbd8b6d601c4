// Properties of the bind line for any key and any set of ticked names.
#include "buyscript/buy_catalogue.h"
#include "support/game_console.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <string>

namespace {

void require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    using setforge::buyscript::BuyCatalogue;
    FuzzedDataProvider data(bytes, size);
    std::set<std::string> ticked;
    const int names = data.ConsumeIntegralInRange(0, 40);
    for (int i = 0; i < names; ++i) {
        ticked.insert(data.ConsumeBool() ? "c" + std::to_string(data.ConsumeIntegralInRange(0, 40))
                                         : data.ConsumeRandomLengthString(6));
    }
    const std::string key = data.ConsumeRemainingBytesAsString();

    const std::string line = setforge::buyscript::ComposeBuyScript(key, ticked);

    // The frame around the key, then the aliases of the ticked items in catalogue order.
    const std::string head = "bind \"" + setforge::game::bindableKey(key) + "\" \"";
    require(line.starts_with(head));
    require(line.ends_with("\"\r\n"));
    std::string expected;
    for (const auto& item : BuyCatalogue) {
        if (ticked.contains(std::string(item.checkBox))) {
            expected += item.alias;
        }
    }
    if (!expected.empty()) {
        expected.pop_back();
    }
    require(line.substr(head.size(), line.size() - head.size() - 3) == expected);

    // A key the game knows makes a line the game reads as one bind of that key to the aliases.
    if (setforge::game::isGameKey(key)) {
        const auto commands = setforge::testing::readConsole(line);
        require(commands.size() == 1);
        require(commands[0] == setforge::testing::Command{"bind", setforge::game::bindableKey(key), expected});
    }
    return 0;
}
