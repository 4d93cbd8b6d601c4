#include "config/game_folders.h"
#include "game/ascii.h"

#include <filesystem>
#include <fstream>
#include <system_error>
#include <unordered_map>
#include <unordered_set>

namespace setforge::config {
namespace {

namespace fs = std::filesystem;

// Steam's own file is a few kilobytes; anything far larger is not one, and must not stall the dialog.
constexpr std::uintmax_t VdfSizeLimit = 4u << 20;

bool isDigits(std::string_view s) {
    return !s.empty() && s.find_first_not_of("0123456789") == std::string_view::npos;
}

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// Tokens of Valve's KeyValues text: `{`, `}`, and strings, quoted (with \\ and \" escapes) or bare.
class VdfTokens {
public:
    enum class Kind { Open, Close, String, End, Broken };
    struct Token {
        Kind kind = Kind::End;
        std::string text;
    };

    explicit VdfTokens(std::string_view text)
        : m_text(text) {}

    Token next() {
        skipBlanksAndComments();
        if (m_pos >= m_text.size()) {
            return {Kind::End, {}};
        }
        const char c = m_text[m_pos];
        if (c == '{' || c == '}') {
            ++m_pos;
            return {c == '{' ? Kind::Open : Kind::Close, {}};
        }
        if (c == '"') {
            return quoted();
        }
        const std::size_t start = m_pos;
        while (m_pos < m_text.size() && !isSpace(m_text[m_pos]) && m_text[m_pos] != '{' && m_text[m_pos] != '}' &&
               m_text[m_pos] != '"') {
            ++m_pos;
        }
        return {Kind::String, std::string(m_text.substr(start, m_pos - start))};
    }

private:
    void skipBlanksAndComments() {
        while (m_pos < m_text.size()) {
            if (isSpace(m_text[m_pos])) {
                ++m_pos;
            } else if (m_text.substr(m_pos, 2) == "//") {
                const std::size_t lf = m_text.find('\n', m_pos);
                m_pos = lf == std::string_view::npos ? m_text.size() : lf + 1;
            } else {
                return;
            }
        }
    }

    Token quoted() {
        std::string out;
        for (std::size_t i = m_pos + 1; i < m_text.size(); ++i) {
            const char c = m_text[i];
            if (c == '"') {
                m_pos = i + 1;
                return {Kind::String, std::move(out)};
            }
            if (c == '\\' && i + 1 < m_text.size() && (m_text[i + 1] == '\\' || m_text[i + 1] == '"')) {
                out += m_text[++i];
            } else {
                out += c;
            }
        }
        m_pos = m_text.size();
        return {Kind::Broken, {}};
    }

    std::string_view m_text;
    std::size_t m_pos = 0;
};

std::string readSmallFile(const fs::path& path) {
    std::error_code error;
    const std::uintmax_t size = fs::file_size(path, error);
    if (error || size > VdfSizeLimit) {
        return {};
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return {};
    }
    std::string text(static_cast<std::size_t>(size), '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(in.gcount()));
    return text;
}

// Steam writes its list in UTF-8; on Windows a path made from a plain string would be read in
// the ANSI code page instead, and umlauts in a library's path would be lost.
fs::path pathFromUtf8(std::string_view utf8) {
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string utf8Of(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

// The path's real location (symbolic links resolved) to recognise the same folder reached twice;
// Windows compares names ignoring case ("c:/program files (x86)/steam" from the registry).
std::string identityOf(const fs::path& path) {
    std::error_code error;
    fs::path real = fs::canonical(path, error);
    if (error) {
        real = fs::weakly_canonical(path, error);
    }
    std::string identity = utf8Of((error ? path : real).lexically_normal());
#ifdef _WIN32
    for (char& c : identity) {
        c = game::lowerAscii(c);
    }
#endif
    return identity;
}

#ifdef _WIN32
constexpr std::string_view Separators = "/\\";
#else
constexpr std::string_view Separators = "/";
#endif

bool isSeparator(char c) {
    return Separators.find(c) != std::string_view::npos;
}

// The spelling without doubled separators, "." steps and a separator at the end: "D:/Steam/",
// "D:/Steam//" and "D:/Steam/./" name one folder without asking the disk. ".." stays, since behind a
// symbolic link it leads elsewhere; a leading "//" (a network share) stays too.
std::string plainSpelling(std::string_view path) {
    std::string out;
    out.reserve(path.size());
    std::size_t i = 0;
    if (path.size() >= 2 && isSeparator(path[0]) && isSeparator(path[1])) {
        out.assign(path.substr(0, 2));
        i = 2;
    }
    while (i < path.size()) {
        if (isSeparator(path[i])) {
            if (out.empty() || !isSeparator(out.back())) {
                out += path[i];
            }
            ++i;
            continue;
        }
        const std::size_t end = std::min(path.find_first_of(Separators, i), path.size());
        if (path.substr(i, end - i) == "." && !out.empty()) {
            i = end + 1;
            continue;
        }
        out.append(path.substr(i, end - i));
        i = end;
    }
    while (out.size() > 1 && isSeparator(out.back()) && out[out.size() - 2] != ':' && out != "//") {
        out.pop_back();
    }
    return out;
}

// Folder listings, each read once: with thousands of libraries listed in one folder, one listing
// answers for all of them instead of a look-up on the disk per library.
class FolderListings {
public:
    // False only when the folder's parent could be listed and has no entry of its name.
    bool mayExist(std::string_view folder) {
        const std::size_t cut = folder.find_last_of(Separators);
        if (cut == std::string_view::npos || cut + 1 == folder.size()) {
            return true;
        }
        const std::string_view parent = folder.substr(0, cut == 0 || folder[cut - 1] == ':' ? cut + 1 : cut);
        auto [listing, fresh] = m_listings.try_emplace(std::string(parent));
        if (fresh) {
            listing->second = list(pathFromUtf8(parent));
        }
        return !listing->second || listing->second->contains(comparable(std::string(folder.substr(cut + 1))));
    }

private:
    static std::string comparable(std::string name) {
#ifdef _WIN32
        for (char& c : name) {
            c = game::lowerAscii(c);
        }
#endif
        return name;
    }

    static std::optional<std::unordered_set<std::string>> list(const fs::path& parent) {
        std::error_code error;
        fs::directory_iterator entries(parent, error);
        if (error) {
            return std::nullopt;
        }
        std::unordered_set<std::string> names;
        for (const fs::directory_entry& entry : entries) {
            names.insert(comparable(utf8Of(entry.path().filename())));
        }
        return names;
    }

    std::unordered_map<std::string, std::optional<std::unordered_set<std::string>>> m_listings;
};

std::vector<std::string> steamRootCandidates(const SteamRoots& roots) {
    if (roots.windows) {
        std::vector<std::string> candidates;
        if (roots.registrySteamPath && !roots.registrySteamPath->empty()) {
            candidates.push_back(*roots.registrySteamPath);
        }
        candidates.emplace_back(R"(C:\Program Files (x86)\Steam)");
        return candidates;
    }
    if (roots.home.empty()) {
        return {};
    }
    const fs::path home = pathFromUtf8(roots.home);
    // The native package, its two compatibility links, the Flatpak and the Snap.
    return {utf8Of(home / ".local/share/Steam"), utf8Of(home / ".steam/steam"), utf8Of(home / ".steam/root"),
            utf8Of(home / ".var/app/com.valvesoftware.Steam/.local/share/Steam"),
            utf8Of(home / "snap/steam/common/.local/share/Steam")};
}

} // namespace

std::vector<std::string> parseLibraryFolders(std::string_view vdfText) {
    std::vector<std::string> paths;
    VdfTokens tokens(vdfText);
    // Keys from the root down to the block being read.
    std::vector<std::string> keys;
    bool inRoot = false;
    while (true) {
        VdfTokens::Token key = tokens.next();
        if (key.kind == VdfTokens::Kind::Close && !keys.empty()) {
            keys.pop_back();
            if (keys.empty()) {
                return paths; // the root block is complete
            }
            continue;
        }
        if (key.kind != VdfTokens::Kind::String) {
            return paths;
        }
        VdfTokens::Token value = tokens.next();
        if (value.kind == VdfTokens::Kind::Open) {
            if (keys.empty()) {
                inRoot = game::equalsIgnoringCase(key.text, "libraryfolders");
                if (!inRoot) {
                    return paths;
                }
            }
            keys.push_back(std::move(key.text));
            continue;
        }
        if (value.kind != VdfTokens::Kind::String || keys.empty()) {
            return paths;
        }
        // New form: "libraryfolders" { "0" { "path" "…" } }; old form: "LibraryFolders" { "1" "…" }.
        const bool newForm = keys.size() == 2 && isDigits(keys[1]) && game::equalsIgnoringCase(key.text, "path");
        const bool oldForm = keys.size() == 1 && isDigits(key.text);
        if (inRoot && (newForm || oldForm) && !value.text.empty()) {
            paths.push_back(std::move(value.text));
        }
    }
}

std::vector<std::string> findGameFolders(const SteamRoots& roots) {
    std::vector<std::string> found;
    try {
        // Sets, not lists: Steam's file may name thousands of libraries, and the dialogs wait. A
        // spelling seen before costs nothing; the disk is asked once per new spelling, and only a
        // game folder that exists is resolved to its real location.
        std::unordered_set<std::string> seenSpellings;
        std::unordered_set<std::string> seenGames;
        FolderListings listings;
        for (const std::string& root : steamRootCandidates(roots)) {
            std::error_code error;
            const fs::path rootPath = pathFromUtf8(root);
            if (!fs::is_directory(rootPath, error)) {
                continue;
            }
            // The root is always a library; the list names it again, and any others.
            std::vector<std::string> libraries{root};
            for (const char* listed : {"steamapps/libraryfolders.vdf", "config/libraryfolders.vdf"}) {
                for (std::string& library : parseLibraryFolders(readSmallFile(rootPath / listed))) {
                    libraries.push_back(std::move(library));
                }
            }
            for (const std::string& library : libraries) {
                std::string spelling = plainSpelling(library);
                if (!listings.mayExist(spelling) || !seenSpellings.insert(spelling).second) {
                    continue;
                }
                fs::path game = pathFromUtf8(spelling) / "steamapps/common/Half-Life/cstrike";
                if (fs::is_directory(game, error) && seenGames.insert(identityOf(game)).second) {
                    found.push_back(utf8Of(game.make_preferred()));
                }
            }
        }
    } catch (...) {
        // Only running out of memory gets here; what was found so far is still right.
    }
    return found;
}

} // namespace setforge::config
