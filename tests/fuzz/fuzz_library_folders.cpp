// Steam's library list from any text: never a crash or an exception, every path taken from the
// text, the list written back in Steam's form reads the same, and the folder search only ever
// returns existing cstrike folders.
#include "config/game_folders.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace {

namespace fs = std::filesystem;
using setforge::config::findGameFolders;
using setforge::config::parseLibraryFolders;

void require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// The text without backslashes and quotes: what escaping cannot have changed.
std::string bare(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c != '\\' && c != '"') {
            out += c;
        }
    }
    return out;
}

std::string escaped(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c == '\\' || c == '"') {
            out += '\\';
        }
        out += c;
    }
    return out;
}

// A fake home with a Steam root whose list is the fuzzer's input; made once per process.
const fs::path& fakeHome() {
    static const fs::path home = [] {
        const fs::path base = fs::temp_directory_path() / "setforge-fuzz-library-folders";
        fs::create_directories(base / "home/.local/share/Steam/steamapps/common/Half-Life/cstrike");
        return base / "home";
    }();
    return home;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(bytes), size);
    const std::vector<std::string> paths = parseLibraryFolders(text);

    const std::string bareText = bare(text);
    std::string rewritten = "\"libraryfolders\"\n{\n";
    for (std::size_t i = 0; i < paths.size(); ++i) {
        require(!paths[i].empty());
        require(bareText.find(bare(paths[i])) != std::string::npos);
        rewritten += "\t\"" + std::to_string(i) + "\"\n\t{\n\t\t\"path\"\t\t\"" + escaped(paths[i]) + "\"\n\t}\n";
    }
    rewritten += "}\n";
    require(parseLibraryFolders(rewritten) == paths);

    // The search touches the disk, a hundred times slower than reading: one input in eight is enough.
    if (size % 8 != 0) {
        return 0;
    }
    const fs::path list = fakeHome() / ".local/share/Steam/steamapps/libraryfolders.vdf";
    std::ofstream(list, std::ios::binary | std::ios::trunc).write(text.data(), static_cast<std::streamsize>(size));
    const std::vector<std::string> games = findGameFolders({fakeHome().string(), std::nullopt, false});
    require(!games.empty()); // the root's own game folder is always there
    for (const std::string& game : games) {
        std::error_code error;
        require(fs::is_directory(game, error) && fs::path(game).filename() == "cstrike");
    }
    return 0;
}
