#pragma once

#include "buyscript/buy_bind.h"
#include "game/bindings.h"
#include "windows/framedwindow.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QCheckBox;
class QLabel;

namespace setforge::platform {
class WindowServices;
}

namespace setforge::windows {

class KeyBox;

namespace artwork {
enum class MarkerColour;
}

// Shows the information sheet of a marker in a message box, or nothing where it has none.
void ShowWeaponSheet(platform::WindowServices& services, QWidget* parent, std::int16_t markerIndex);

// What the buy window may see and change of the main window, to tell which keys are in use.
struct BuyMenuContext {
    std::function<std::string()> freeText; // the free text, lines ended by "\r\n"
    QString gameConfigPath;                // the game's config.cfg beside the open config, "" for none
    std::function<void(std::size_t line, const QString& text)> replaceLine; // 1-based line of the free text
};

// The window in which the player ticks items and names a key to compose a bind line.
class BuyMenu : public FramedWindow {
    Q_OBJECT
public:
    // `insertLine` puts the composed line into the main window's free text.
    BuyMenu(platform::WindowServices& services, std::function<void(const QString&)> insertLine,
            BuyMenuContext context = {});

    // Shows the buy bind on `line` of the free text with its key and items; inserting replaces it.
    void editBind(const buyscript::BuyBind& bind, std::size_t line);

    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Image1_Click();
    void Image2_Click(std::int16_t index);
    void Picture1_MouseDown(const QMouseEvent& event);

private:
    void buildItemFrames();
    void buildCreatePanel();
    PictureBox* addMarker(QWidget* parent, std::int16_t index, int left, int top, artwork::MarkerColour colour);

    void showKeyStatus();
    [[nodiscard]] bool confirmKeyInUse(const std::string& key);

    std::function<void(const QString&)> m_insertLine;
    BuyMenuContext m_context;
    std::vector<game::KeyBinding> m_textBindings;   // of the free text when the window opened
    std::vector<game::KeyBinding> m_configBindings; // of the game's config.cfg
    std::optional<std::size_t> m_editLine;          // the free text's line being edited
    std::vector<std::string> m_kept;                // its words that are no buy alias
    QString m_keyNote;
    KeyBox* m_key = nullptr;
    QLabel* m_keyNoteLabel = nullptr;    // what the key box knows about the key, or what it is bound to
    std::vector<QCheckBox*> m_itemBoxes; // in the catalogue's order
};

} // namespace setforge::windows
