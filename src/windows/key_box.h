#pragma once

#include <QLineEdit>

#include <functional>
#include <optional>
#include <string>

namespace setforge::game {
struct KeyReading;
struct PressedKey;
} // namespace setforge::game

class QKeyEvent;

namespace setforge::windows {

// The game's view of a key event: its place from the system's scan code and the layout's character.
[[nodiscard]] game::PressedKey pressedKeyOf(const QKeyEvent& event);

// A box for a key of the game: pressing a key, a mouse button in the box or turning the wheel
// writes the game's name for it; a name can still be typed. Character and editing keys type while
// the player is typing; once a key was taken, or the whole text is selected, every key is taken.
class KeyBox : public QLineEdit {
    Q_OBJECT
public:
    explicit KeyBox(const QString& text, QWidget* parent);

signals:
    // A German line about the key just pressed (refused, or its name uncertain); "" when none.
    void keyNote(const QString& note);

protected:
    bool event(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void take(const game::KeyReading& reading);
    void takeName(std::string_view name);

    bool m_fresh = true;                          // the next key replaces the text
    bool m_focusClick = false;                    // the press that gave the box its focus only places the caret
    std::optional<std::string> m_pendingModifier; // Shift, Ctrl or Alt pressed alone so far
};

// A small window with a key box; `done` gets the game's name of the key when the player confirms.
// It does not block: widget tests find it as the top-level widget named "KeyDialog".
void askGameKey(QWidget* parent, std::function<void(const QString&)> done);

} // namespace setforge::windows
