#include "game/keys.h"

#include "game/ascii.h"
#include "game/edit_distance.h"
#include "game/utf8_append.h"

#include <algorithm>
#include <array>
#include <string>
#include <utility>

namespace setforge::game {
namespace {

// clang-format off
// The names the engine's key table gives to keys that are not a single character.
constexpr auto KeyNames = std::to_array<std::string_view>({
    "TAB", "ENTER", "ESCAPE", "SPACE", "BACKSPACE", "SEMICOLON", "PAUSE", "CAPSLOCK",
    "UPARROW", "DOWNARROW", "LEFTARROW", "RIGHTARROW", "ALT", "CTRL", "SHIFT",
    "F1", "F2", "F3", "F4", "F5", "F6", "F7", "F8", "F9", "F10", "F11", "F12",
    "INS", "DEL", "PGDN", "PGUP", "HOME", "END",
    "MOUSE1", "MOUSE2", "MOUSE3", "MOUSE4", "MOUSE5", "MWHEELUP", "MWHEELDOWN",
    "KP_HOME", "KP_UPARROW", "KP_PGUP", "KP_LEFTARROW", "KP_5", "KP_RIGHTARROW", "KP_END",
    "KP_DOWNARROW", "KP_PGDN", "KP_ENTER", "KP_INS", "KP_DEL", "KP_SLASH", "KP_MINUS", "KP_PLUS",
    "JOY1", "JOY2", "JOY3", "JOY4",
    "AUX1", "AUX2", "AUX3", "AUX4", "AUX5", "AUX6", "AUX7", "AUX8", "AUX9", "AUX10", "AUX11",
    "AUX12", "AUX13", "AUX14", "AUX15", "AUX16", "AUX17", "AUX18", "AUX19", "AUX20", "AUX21",
    "AUX22", "AUX23", "AUX24", "AUX25", "AUX26", "AUX27", "AUX28", "AUX29", "AUX30", "AUX31",
    "AUX32", "SCROLLOCK",
});

// Names players write for keys the game names otherwise: German key caps, and other games' and
// systems' spellings. Compared ignoring case, blanks and underscores.
constexpr std::pair<std::string_view, std::string_view> OtherKeyNames[] = {
    {"ENTF", "DEL"}, {"DELETE", "DEL"}, {"EINFG", "INS"}, {"INSERT", "INS"}, {"POS1", "HOME"},
    {"ENDE", "END"}, {"BILDAUF", "PGUP"}, {"BILDAB", "PGDN"}, {"PAGEUP", "PGUP"}, {"PAGEDOWN", "PGDN"},
    {"ESC", "ESCAPE"}, {"RETURN", "ENTER"}, {"EINGABE", "ENTER"}, {"STRG", "CTRL"}, {"CONTROL", "CTRL"},
    {"LCTRL", "CTRL"}, {"RCTRL", "CTRL"}, {"LSHIFT", "SHIFT"}, {"RSHIFT", "SHIFT"}, {"UMSCHALT", "SHIFT"},
    {"LALT", "ALT"}, {"RALT", "ALT"}, {"LEER", "SPACE"}, {"LEERTASTE", "SPACE"}, {"SPACEBAR", "SPACE"},
    {"TABULATOR", "TAB"}, {"CAPS", "CAPSLOCK"}, {"FESTSTELL", "CAPSLOCK"}, {"SCROLLLOCK", "SCROLLOCK"},
    {"ROLLEN", "SCROLLOCK"}, {"RUECKTASTE", "BACKSPACE"}, {"UP", "UPARROW"}, {"DOWN", "DOWNARROW"},
    {"LEFT", "LEFTARROW"}, {"RIGHT", "RIGHTARROW"}, {"MAUS1", "MOUSE1"}, {"MAUS2", "MOUSE2"},
    {"MAUS3", "MOUSE3"}, {"MAUS4", "MOUSE4"}, {"MAUS5", "MOUSE5"}, {"WHEELUP", "MWHEELUP"}, {"WHEELDOWN", "MWHEELDOWN"},
    {"NUM0", "KP_INS"}, {"NUM1", "KP_END"}, {"NUM2", "KP_DOWNARROW"}, {"NUM3", "KP_PGDN"},
    {"NUM4", "KP_LEFTARROW"}, {"NUM5", "KP_5"}, {"NUM6", "KP_RIGHTARROW"}, {"NUM7", "KP_HOME"},
    {"NUM8", "KP_UPARROW"}, {"NUM9", "KP_PGUP"}, {"KP0", "KP_INS"}, {"KP1", "KP_END"},
    {"KP2", "KP_DOWNARROW"}, {"KP3", "KP_PGDN"}, {"KP4", "KP_LEFTARROW"}, {"KP6", "KP_RIGHTARROW"},
    {"KP7", "KP_HOME"}, {"KP8", "KP_UPARROW"}, {"KP9", "KP_PGUP"}, {"NUMENTER", "KP_ENTER"},
    {"KPENTER", "KP_ENTER"}, {"NUMPLUS", "KP_PLUS"}, {"NUMMINUS", "KP_MINUS"}, {"KPDIVIDE", "KP_SLASH"},
};
// clang-format on

// The key's name without blanks and underscores, in capitals.
std::string folded(std::string_view key) {
    std::string out;
    for (const char c : key) {
        if (c != ' ' && c != '_') {
            out += upperAscii(c);
        }
    }
    return out;
}

struct NearKey {
    std::size_t distance;
    std::string_view name;
};

// The game's names nearest to `key`, nearest first: the name another spelling stands for at
// distance 0, else names at most two letters away that keep at least one letter of the key.
std::vector<NearKey> nearKeys(std::string_view key) {
    constexpr std::size_t MaxEdits = 2;
    const std::string typed = folded(key);
    for (const auto& [other, name] : OtherKeyNames) {
        if (typed == other) {
            return {{0, name}};
        }
    }
    static const std::vector<std::string> FoldedNames = [] {
        std::vector<std::string> names;
        for (const std::string_view name : KeyNames) {
            names.push_back(folded(name));
        }
        return names;
    }();
    std::vector<NearKey> near;
    for (std::size_t i = 0; i < KeyNames.size(); ++i) {
        if (const std::size_t distance = nameDistance(typed, FoldedNames[i], MaxEdits);
            distance <= MaxEdits && distance < typed.size()) {
            near.push_back({distance, KeyNames[i]});
        }
    }
    std::ranges::stable_sort(near, {}, &NearKey::distance);
    return near;
}

} // namespace

bool isGameKey(std::string_view key) {
    if (key.size() == 1) {
        const char c = key.front();
        return c > ' ' && c < 0x7F && c != '"';
    }
    return std::ranges::any_of(KeyNames, [key](std::string_view name) { return equalsIgnoringCase(key, name); });
}

std::string gameKeyId(std::string_view key) {
    if (key.size() == 1) {
        return std::string(key);
    }
    if (equalsIgnoringCase(key, "SEMICOLON")) {
        return ";";
    }
    std::string id(key);
    std::ranges::transform(id, id.begin(), lowerAscii);
    return id;
}

std::vector<std::string_view> nearGameKeys(std::string_view key) {
    constexpr std::size_t MaxNames = 3;
    std::vector<std::string_view> names;
    for (const NearKey& near : nearKeys(key)) {
        if (names.size() < MaxNames) {
            names.push_back(near.name);
        }
    }
    return names;
}

std::optional<std::string_view> meantGameKey(std::string_view key) {
    const std::vector<NearKey> near = nearKeys(key);
    if (near.empty() || (near.size() > 1 && near[1].distance == near[0].distance)) {
        return std::nullopt;
    }
    return near.front().name;
}

std::string bindableKey(std::string_view key) {
    if (key.size() == 1 && key.front() >= 'A' && key.front() <= 'Z') {
        return std::string(1, static_cast<char>(key.front() - 'A' + 'a'));
    }
    return std::string(key);
}

std::string unknownKeyMessage(std::string_view key) {
    // A pasted paragraph is not repeated whole in the message.
    std::size_t shown = std::min<std::size_t>(key.size(), 40);
    while (shown < key.size() && (static_cast<unsigned char>(key[shown]) & 0xC0) == 0x80) {
        --shown; // never cut a character in two
    }
    std::string text = "Das Spiel kennt keine Taste \"";
    text += key.substr(0, shown);
    if (shown < key.size()) {
        text += "…";
    }
    text += "\".\r\n\r\nBitte gib einen Tastennamen des Spiels ein, zum Beispiel F5, KP_END, MOUSE4 oder q:\r\n"
            "ein einzelnes Zeichen oder einen Namen wie SPACE, MWHEELUP oder UPARROW.";
    return text;
}

} // namespace setforge::game

namespace setforge::game {
namespace {

// Keys the game cannot bind, each with the reason the player reads.
constexpr std::string_view EscapeRefusal = "Escape öffnet im Spiel das Menü und lässt sich nicht belegen.";
constexpr std::string_view ConsoleRefusal =
    "Die Taste links neben der 1 öffnet im Spiel die Konsole und lässt sich nicht belegen.";
constexpr std::string_view WindowsRefusal = "Die Windows-Tasten lassen sich im Spiel nicht belegen.";
constexpr std::string_view NumLockRefusal = "Num Lock lässt sich im Spiel nicht belegen.";
constexpr std::string_view KeypadTimesRefusal = "Das * des Ziffernblocks lässt sich im Spiel nicht belegen.";
constexpr std::string_view NamelessRefusal =
    "Für diese Taste hat das Spiel keinen Namen; sie lässt sich nicht belegen.";

struct ScanKey {
    std::uint16_t scanCode;
    std::string_view name;    // "" = refused
    std::string_view refusal; // for refused keys
};

// clang-format off
// Set-1 scan code (0x100 = E0 prefix) and the engine's name for the key at that place on a US
// keyboard; printable keys are named by their unshifted character.
constexpr auto ScanKeys = std::to_array<ScanKey>({
    {0x01, "", EscapeRefusal},
    {0x02, "1", {}}, {0x03, "2", {}}, {0x04, "3", {}}, {0x05, "4", {}}, {0x06, "5", {}}, {0x07, "6", {}},
    {0x08, "7", {}}, {0x09, "8", {}}, {0x0A, "9", {}}, {0x0B, "0", {}}, {0x0C, "-", {}}, {0x0D, "=", {}},
    {0x0E, "BACKSPACE", {}}, {0x0F, "TAB", {}},
    {0x10, "q", {}}, {0x11, "w", {}}, {0x12, "e", {}}, {0x13, "r", {}}, {0x14, "t", {}}, {0x15, "y", {}},
    {0x16, "u", {}}, {0x17, "i", {}}, {0x18, "o", {}}, {0x19, "p", {}}, {0x1A, "[", {}}, {0x1B, "]", {}},
    {0x1C, "ENTER", {}}, {0x1D, "CTRL", {}},
    {0x1E, "a", {}}, {0x1F, "s", {}}, {0x20, "d", {}}, {0x21, "f", {}}, {0x22, "g", {}}, {0x23, "h", {}},
    {0x24, "j", {}}, {0x25, "k", {}}, {0x26, "l", {}}, {0x27, "SEMICOLON", {}}, {0x28, "'", {}},
    {0x29, "", ConsoleRefusal}, {0x2A, "SHIFT", {}}, {0x2B, "\\", {}},
    {0x2C, "z", {}}, {0x2D, "x", {}}, {0x2E, "c", {}}, {0x2F, "v", {}}, {0x30, "b", {}}, {0x31, "n", {}},
    {0x32, "m", {}}, {0x33, ",", {}}, {0x34, ".", {}}, {0x35, "/", {}}, {0x36, "SHIFT", {}},
    {0x37, "", KeypadTimesRefusal}, {0x38, "ALT", {}}, {0x39, "SPACE", {}}, {0x3A, "CAPSLOCK", {}},
    {0x3B, "F1", {}}, {0x3C, "F2", {}}, {0x3D, "F3", {}}, {0x3E, "F4", {}}, {0x3F, "F5", {}},
    {0x40, "F6", {}}, {0x41, "F7", {}}, {0x42, "F8", {}}, {0x43, "F9", {}}, {0x44, "F10", {}},
    {0x45, "PAUSE", {}}, {0x46, "SCROLLOCK", {}},
    {0x47, "KP_HOME", {}}, {0x48, "KP_UPARROW", {}}, {0x49, "KP_PGUP", {}}, {0x4A, "KP_MINUS", {}},
    {0x4B, "KP_LEFTARROW", {}}, {0x4C, "KP_5", {}}, {0x4D, "KP_RIGHTARROW", {}}, {0x4E, "KP_PLUS", {}},
    {0x4F, "KP_END", {}}, {0x50, "KP_DOWNARROW", {}}, {0x51, "KP_PGDN", {}}, {0x52, "KP_INS", {}},
    {0x53, "KP_DEL", {}}, {0x56, "", NamelessRefusal}, {0x57, "F11", {}}, {0x58, "F12", {}},
    {0x11C, "KP_ENTER", {}}, {0x11D, "CTRL", {}}, {0x135, "KP_SLASH", {}}, {0x137, "", NamelessRefusal},
    {0x138, "ALT", {}}, {0x145, "", NumLockRefusal},
    {0x147, "HOME", {}}, {0x148, "UPARROW", {}}, {0x149, "PGUP", {}}, {0x14B, "LEFTARROW", {}},
    {0x14D, "RIGHTARROW", {}}, {0x14F, "END", {}}, {0x150, "DOWNARROW", {}}, {0x151, "PGDN", {}},
    {0x152, "INS", {}}, {0x153, "DEL", {}},
    {0x15B, "", WindowsRefusal}, {0x15C, "", WindowsRefusal},
    {0x15D, "", NamelessRefusal},
});
// clang-format on

// The character a printable key's name stands for (the engine spells ';' SEMICOLON).
char32_t characterOf(std::string_view name) {
    if (name == "SEMICOLON") {
        return U';';
    }
    return name.size() == 1 ? static_cast<char32_t>(name.front()) : 0;
}

char32_t lowerLatin(char32_t c) {
    // ASCII and the Latin-1 letters À..Þ (without ×) that keyboards carry.
    if ((c >= U'A' && c <= U'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) {
        return c + 0x20;
    }
    return c;
}

// The name the game gives a printable character, when it has one.
std::string nameOfCharacter(char32_t c) {
    if (c == U';') {
        return "SEMICOLON";
    }
    if (c > U' ' && c < 0x7F && c != U'"') {
        return std::string(1, static_cast<char>(lowerLatin(c)));
    }
    return {};
}

} // namespace

KeyReading readPressedKey(PressedKey key) {
    const char32_t layoutChar = lowerLatin(key.layoutChar);
    const auto* known = std::ranges::find(ScanKeys, key.scanCode, &ScanKey::scanCode);
    if (known == ScanKeys.end()) {
        // Without a place, only the character is known: both readings agree for what it names.
        if (std::string name = nameOfCharacter(layoutChar); !name.empty()) {
            return {std::move(name), {}};
        }
        return {{}, std::string(NamelessRefusal), true};
    }
    if (known->name.empty()) {
        return {{}, std::string(known->refusal), true};
    }
    const char32_t placeChar = characterOf(known->name);
    if (placeChar == 0 || layoutChar == 0 || layoutChar == placeChar) {
        return {std::string(known->name), {}};
    }
    // The layout puts another character here (Z and Y on a German keyboard, Ö on the US ';').
    std::string note = "Auf dieser Taste steht ";
    if (layoutChar == DeadKey) {
        note += "ein Akzent";
    } else {
        note += "„";
        appendUtf8(note, layoutChar);
        note += "“";
    }
    note += ". Ob das Spiel sie nach ihrem Platz „";
    note += known->name;
    note += "“ nennt";
    if (const std::string byCharacter = nameOfCharacter(layoutChar); !byCharacter.empty()) {
        note += " oder nach dem Zeichen „" + byCharacter + "“";
    }
    note += ", ist nicht sicher: bitte den Namen selbst eintragen.";
    return {{}, std::move(note)};
}

std::string_view mouseButtonKey(int button) {
    constexpr auto Buttons = std::to_array<std::string_view>({"MOUSE1", "MOUSE2", "MOUSE3", "MOUSE4", "MOUSE5"});
    return button >= 1 && button <= 5 ? Buttons[static_cast<std::size_t>(button - 1)] : std::string_view{};
}

std::string_view wheelKey(bool up) {
    return up ? "MWHEELUP" : "MWHEELDOWN";
}

} // namespace setforge::game
