#include "buyscript/buy_catalogue.h"

namespace setforge::buyscript {

std::string ComposeBuyScript(std::string_view key, const std::set<std::string>& ticked) {
    return ComposeBuyScript(key, ticked, {});
}

std::string ComposeBuyScript(std::string_view key, const std::set<std::string>& ticked,
                             const std::vector<std::string>& kept) {
    std::string line;
    line.reserve(key.size() + 256);
    line += "bind \"";
    line += game::bindableKey(key);
    line += "\" \"";
    const std::size_t aliasesStart = line.size();
    for (const BuyItem& item : BuyCatalogue) {
        if (ticked.contains(std::string(item.checkBox))) {
            line += item.alias;
        }
    }
    for (const std::string& word : kept) {
        line += word;
        line += ';';
    }
    // Every alias carries its ';' separator; the last one must not stand before the closing quote.
    if (line.size() > aliasesStart) {
        line.pop_back();
    }
    line += "\"\r\n";
    return line;
}

std::string buyScriptInfoText() {
    return "Die Taste die Sie angegeben haben,\r\n"
           "muss im gültigen bereich\r\n"
           "von Counter Strike 1.6 liegen.\r\n"
           "\r\n"
           "Wenn eine Taste schon in der Haupt Config belegt\r\n"
           "wurde, wird diese durch die userconfig, überschrieben!";
}

} // namespace setforge::buyscript
