// Steam's library list and the search for the game's folder, on fake Steam installs laid out in a
// temporary folder.
#include "config/game_folders.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace setforge::config {
namespace {

namespace fs = std::filesystem;
using Paths = std::vector<std::string>;

TEST(LibraryFolders, ReadsBothFormsOfSteamsList) {
    struct Case {
        std::string_view what, vdf;
        Paths paths;
    };
    // clang-format off
    const std::vector<Case> cases = {
        {"current form with Windows paths",
         "\"libraryfolders\"\n{\n\t\"0\"\n\t{\n\t\t\"path\"\t\t\"C:\\\\Program Files (x86)\\\\Steam\"\n\t\t\"label\"\t\t\"\"\n"
         "\t\t\"apps\"\n\t\t{\n\t\t\t\"10\"\t\t\"1234\"\n\t\t}\n\t}\n\t\"1\"\n\t{\n\t\t\"path\"\t\t\"D:\\\\SteamLibrary\"\n\t}\n}\n",
         {"C:\\Program Files (x86)\\Steam", "D:\\SteamLibrary"}},
        {"old form: numbered paths next to other keys",
         "\"LibraryFolders\"\r\n{\r\n\t\"TimeNextStatsReport\"\t\t\"1700000000\"\r\n\t\"ContentStatsID\"\t\t\"-42\"\r\n"
         "\t\"1\"\t\t\"D:\\\\Games\\\\Steam\"\r\n\t\"2\"\t\t\"/mnt/ssd/Steam\"\r\n}\r\n",
         {"D:\\Games\\Steam", "/mnt/ssd/Steam"}},
        {"bare keys and values, any case",  "LIBRARYFOLDERS { 0 { PATH /home/p/Steam } contentstatsid 7 }", {"/home/p/Steam"}},
        {"comments, also holding quotes",   "// \"libraryfolders\" { \"1\" \"no\" }\n\"libraryfolders\" // x\n{ \"1\" \"yes\" // \"2\" \"no\"\n}", {"yes"}},
        {"escaped quote in a value",        R"("libraryfolders" { "0" { "path" "a\"b" } })", {"a\"b"}},
        {"other escapes stay as written",   R"("libraryfolders" { "0" { "path" "C:\Steam\new" } })", {"C:\\Steam\\new"}},
        {"only a library's own path",       R"("libraryfolders" { "0" { "path" "a" "apps" { "path" "no" "1" "no" } "1" "no" } })", {"a"}},
        {"empty path is no library",        R"("libraryfolders" { "0" { "path" "" } "1" "" })", {}},
        {"another file's root",             R"("AppState" { "1" "no" "0" { "path" "no" } })", {}},
        {"nothing after the root block",    R"("libraryfolders" { "1" "a" } "libraryfolders" { "1" "no" })", {"a"}},
        {"cut off inside a string",         "\"libraryfolders\" { \"0\" { \"path\" \"a\" } \"1\" { \"path\" \"b", {"a"}},
        {"cut off inside a block",          "\"libraryfolders\" { \"0\" { \"path\" \"a\"", {"a"}},
        {"stray closing brace",             "} \"libraryfolders\" { \"1\" \"a\" }", {}},
        {"key without value",               "\"libraryfolders\" { \"1\" \"a\" \"2\" }", {"a"}},
        {"binary garbage",                  std::string_view("\0\xFF{{\"\x01", 6), {}},
        {"empty",                           "", {}},
    };
    // clang-format on
    for (const Case& c : cases) {
        EXPECT_EQ(parseLibraryFolders(c.vdf), c.paths) << c.what;
    }
}

// A temporary home folder with fake Steam installs in it, removed afterwards.
class FakeSteam : public ::testing::Test {
protected:
    void SetUp() override {
        std::random_device random;
        m_base = fs::temp_directory_path() / ("setforge-steam-" + std::to_string(random()) + std::to_string(random()));
        fs::create_directories(home());
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(m_base, ignored);
    }

    fs::path home() const { return m_base / "home"; }
    fs::path base() const { return m_base; }

    static void write(const fs::path& file, std::string_view text) {
        fs::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << text;
    }
    // A library folder, with the game in it when asked.
    static fs::path library(const fs::path& folder, bool withGame) {
        fs::create_directories(folder / "steamapps");
        if (withGame) {
            fs::create_directories(game(folder));
        }
        return folder;
    }
    static fs::path game(const fs::path& library) { return library / "steamapps" / "common" / "Half-Life" / "cstrike"; }
    static std::string listNew(const std::vector<fs::path>& libraries) {
        std::string vdf = "\"libraryfolders\"\n{\n";
        for (std::size_t i = 0; i < libraries.size(); ++i) {
            vdf += "\t\"" + std::to_string(i) + "\"\n\t{\n\t\t\"path\"\t\t\"" + libraries[i].string() +
                   "\"\n\t\t\"apps\"\n\t\t{\n\t\t\t\"10\"\t\t\"0\"\n\t\t}\n\t}\n";
        }
        return vdf + "}\n";
    }

    [[nodiscard]] Paths find() const { return findGameFolders({home().string(), std::nullopt, false}); }

private:
    fs::path m_base;
};

TEST_F(FakeSteam, TwoLibrariesInTheCurrentForm) {
    const fs::path root = library(home() / ".local/share/Steam", true);
    const fs::path second = library(base() / "ssd/SteamLibrary", true);
    write(root / "steamapps/libraryfolders.vdf", listNew({root, second}));
    EXPECT_EQ(find(), (Paths{game(root).string(), game(second).string()}));
}

TEST_F(FakeSteam, OldFormListsOnlyTheOtherLibraries) {
    const fs::path root = library(home() / ".local/share/Steam", false);
    const fs::path second = library(base() / "Spiele für Jörg/Steam", true);
    write(root / "steamapps/libraryfolders.vdf",
          "\"LibraryFolders\"\n{\n\t\"TimeNextStatsReport\"\t\t\"1\"\n\t\"1\"\t\t\"" + second.string() + "\"\n}\n");
    EXPECT_EQ(find(), Paths{game(second).string()});
}

TEST_F(FakeSteam, BrokenOrMissingListStillFindsTheRoot) {
    const fs::path root = library(home() / ".local/share/Steam", true);
    const fs::path second = library(base() / "second", true);
    EXPECT_EQ(find(), Paths{game(root).string()}) << "no list at all";
    write(root / "steamapps/libraryfolders.vdf", std::string_view("\xFF\xFE\0{{}\"", 7));
    EXPECT_EQ(find(), Paths{game(root).string()}) << "garbage";
    write(root / "steamapps/libraryfolders.vdf", "\"libraryfolders\" { \"1\" { \"path\" \"" + second.string());
    EXPECT_EQ(find(), Paths{game(root).string()}) << "cut off inside the path";
    write(root / "steamapps/libraryfolders.vdf", "\"libraryfolders\" { \"1\" { \"path\" \"" + second.string() + "\"");
    EXPECT_EQ(find(), (Paths{game(root).string(), game(second).string()})) << "cut off after the path";
    fs::remove(root / "steamapps/libraryfolders.vdf");
    fs::create_directories(root / "steamapps/libraryfolders.vdf");
    EXPECT_EQ(find(), Paths{game(root).string()}) << "a folder where the list belongs";
}

TEST_F(FakeSteam, SymlinkedRootsAndRepeatedLibrariesCountOnce) {
    const fs::path root = library(home() / ".local/share/Steam", true);
    const fs::path second = library(base() / "second", true);
    fs::create_directories(home() / ".steam");
    std::error_code error;
    fs::create_directory_symlink(root, home() / ".steam/steam", error);
    fs::create_directory_symlink(root, home() / ".steam/root", error);
    fs::create_directory_symlink(second, base() / "second-link", error);
    if (error) {
        GTEST_SKIP() << "this system makes no symbolic links: " << error.message();
    }
    write(root / "steamapps/libraryfolders.vdf",
          listNew({root, second, base() / "second-link", base() / "second/", base() / "x/../second"}));
    EXPECT_EQ(find(), (Paths{game(root).string(), game(second).string()}));
}

TEST_F(FakeSteam, LibraryWithoutTheGameFindsNothing) {
    const fs::path root = library(home() / ".local/share/Steam", false);
    const fs::path noGame = library(base() / "nogame", false);
    const fs::path gameIsAFile = library(base() / "file", false);
    write(game(gameIsAFile), "not a folder");
    const fs::path missing = base() / "unplugged-disk";
    const fs::path withGame = library(base() / "with", true);
    write(root / "steamapps/libraryfolders.vdf", listNew({root, noGame, gameIsAFile, missing, withGame}));
    EXPECT_EQ(find(), Paths{game(withGame).string()});
}

TEST_F(FakeSteam, FlatpakAndSnapInstalls) {
    const fs::path flatpak = library(home() / ".var/app/com.valvesoftware.Steam/.local/share/Steam", true);
    const fs::path snap = library(home() / "snap/steam/common/.local/share/Steam", true);
    EXPECT_EQ(find(), (Paths{game(flatpak).string(), game(snap).string()}));
}

TEST_F(FakeSteam, WindowsStartsAtTheRegistryPath) {
    const fs::path root = library(base() / "Steam", true);
    const fs::path linuxRoot = library(home() / ".local/share/Steam", true);
    EXPECT_EQ(findGameFolders({home().string(), root.string(), true}), Paths{game(root).string()});
    EXPECT_EQ(findGameFolders({home().string(), std::string(), false}), Paths{game(linuxRoot).string()});
    EXPECT_EQ(findGameFolders({"", std::nullopt, false}), Paths{});
    EXPECT_EQ(findGameFolders({(base() / "nobody").string(), std::nullopt, false}), Paths{});
}

TEST_F(FakeSteam, TenLibrariesAreSearchedQuickly) {
    const fs::path root = library(home() / ".local/share/Steam", true);
    std::vector<fs::path> libraries{root};
    Paths expected{game(root).string()};
    for (int i = 1; i < 10; ++i) {
        libraries.push_back(library(base() / ("lib" + std::to_string(i)), i % 2 == 0));
        if (i % 2 == 0) {
            expected.push_back(game(libraries.back()).string());
        }
    }
    write(root / "steamapps/libraryfolders.vdf", listNew(libraries));
    auto best = std::chrono::steady_clock::duration::max();
    for (int run = 0; run < 3; ++run) {
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(find(), expected);
        best = std::min(best, std::chrono::steady_clock::now() - start);
    }
    EXPECT_LT(best, std::chrono::milliseconds(50));
}

} // namespace
} // namespace setforge::config
