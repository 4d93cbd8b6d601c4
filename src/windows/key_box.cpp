#include "windows/key_box.h"

#include "game/keys.h"
#include "platform/fonts.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <array>
#include <limits>
#include <utility>

namespace setforge::windows {
namespace {

#ifndef Q_OS_WIN
// X11 and Wayland report the X keycode (the evdev code + 8). Below 89 evdev codes are set-1 scan
// codes; the keys a PC sends with an E0 prefix have codes of their own.
constexpr std::uint16_t setOneOfEvdev(std::uint32_t evdev) {
    struct Pair {
        std::uint32_t evdev;
        std::uint16_t setOne;
    };
    // clang-format off
    constexpr std::array<Pair, 20> Extended {{
        {69, 0x145},  {96, 0x11C},  {97, 0x11D},  {98, 0x135},  {99, 0x137},  {100, 0x138}, {102, 0x147},
        {103, 0x148}, {104, 0x149}, {105, 0x14B}, {106, 0x14D}, {107, 0x14F}, {108, 0x150}, {109, 0x151},
        {110, 0x152}, {111, 0x153}, {119, 0x45},  {125, 0x15B}, {126, 0x15C}, {127, 0x15D},
    }};
    // clang-format on
    for (const Pair& pair : Extended) {
        if (pair.evdev == evdev) {
            return pair.setOne;
        }
    }
    return evdev < 89 ? static_cast<std::uint16_t>(evdev) : 0;
}
#endif

bool isModifierKey(int key) {
    return key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt || key == Qt::Key_AltGr;
}

bool isEditingKey(const QKeyEvent& event) {
    if (event.modifiers() & Qt::KeypadModifier) {
        return false;
    }
    switch (event.key()) {
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Home:
    case Qt::Key_End:
        return true;
    default:
        return false;
    }
}

// Copying, pasting and selecting all work in the box as anywhere else.
bool isEditingShortcut(const QKeyEvent& event) {
    return event.matches(QKeySequence::Paste) || event.matches(QKeySequence::Copy) ||
           event.matches(QKeySequence::Cut) || event.matches(QKeySequence::SelectAll) ||
           event.matches(QKeySequence::Undo);
}

// A key that writes a character into the box (the numpad's keys have names of their own).
bool isCharacterKey(const QKeyEvent& event) {
    return !(event.modifiers() & Qt::KeypadModifier) && !event.text().isEmpty() && event.text().front().isPrint();
}

int buttonNumber(Qt::MouseButton button) {
    switch (button) {
    case Qt::LeftButton:
        return 1;
    case Qt::RightButton:
        return 2;
    case Qt::MiddleButton:
        return 3;
    case Qt::BackButton:
        return 4;
    case Qt::ForwardButton:
        return 5;
    default:
        return 0;
    }
}

} // namespace

game::PressedKey pressedKeyOf(const QKeyEvent& event) {
    game::PressedKey key;
#ifdef Q_OS_WIN
    key.scanCode = static_cast<std::uint16_t>(event.nativeScanCode() & 0x1FF);
#else
    key.scanCode = event.nativeScanCode() > 8 ? setOneOfEvdev(event.nativeScanCode() - 8) : 0;
#endif
    const int qtKey = event.key();
    if (qtKey >= Qt::Key_Dead_Grave && qtKey <= Qt::Key_Dead_Longsolidusoverlay) {
        key.layoutChar = game::DeadKey;
    } else if (qtKey > ' ' && qtKey <= 0xFF && !(event.modifiers() & (Qt::ShiftModifier | Qt::GroupSwitchModifier))) {
        // Qt's key is the character without Shift; with Shift or AltGr held it is another one.
        key.layoutChar = static_cast<char32_t>(qtKey);
    }
    return key;
}

KeyBox::KeyBox(const QString& text, QWidget* parent)
    : QLineEdit(text, parent) {
    setMaxLength(std::numeric_limits<int>::max());
    // The right button is a key of the game here.
    setContextMenuPolicy(Qt::NoContextMenu);
    connect(this, &QLineEdit::textEdited, this, [this] { emit keyNote({}); });
}

bool KeyBox::event(QEvent* event) {
    // Escape and the window's other shortcuts are keys to name while the box has the focus.
    if (event->type() == QEvent::ShortcutOverride) {
        event->accept();
        return true;
    }
    return QLineEdit::event(event);
}

void KeyBox::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    m_focusClick = event->reason() == Qt::MouseFocusReason;
    m_fresh = true;
    selectAll();
}

void KeyBox::keyPressEvent(QKeyEvent* event) {
    if (isModifierKey(event->key())) {
        const game::KeyReading reading = game::readPressedKey(pressedKeyOf(*event));
        m_pendingModifier = reading.name.empty() ? std::optional<std::string>{} : reading.name;
        event->accept();
        return;
    }
    m_pendingModifier.reset();
    if (isEditingShortcut(*event)) {
        QLineEdit::keyPressEvent(event);
        m_fresh = hasSelectedText() && selectedText() == text();
        return;
    }
    const bool typing = !m_fresh && !(hasSelectedText() && selectedText() == text());
    if ((typing && isCharacterKey(*event)) || (typing && isEditingKey(*event))) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    take(game::readPressedKey(pressedKeyOf(*event)));
    event->accept();
}

void KeyBox::keyReleaseEvent(QKeyEvent* event) {
    // A modifier pressed and let go alone is the key; held for another key it is not.
    if (isModifierKey(event->key()) && m_pendingModifier) {
        takeName(*m_pendingModifier);
        m_pendingModifier.reset();
    }
    QLineEdit::keyReleaseEvent(event);
}

void KeyBox::mousePressEvent(QMouseEvent* event) {
    if (m_focusClick || !hasFocus()) {
        m_focusClick = false;
        QLineEdit::mousePressEvent(event);
        selectAll();
        return;
    }
    if (const std::string_view name = game::mouseButtonKey(buttonNumber(event->button())); !name.empty()) {
        takeName(name);
    }
    event->accept();
}

void KeyBox::mouseDoubleClickEvent(QMouseEvent* event) {
    mousePressEvent(event);
}

void KeyBox::wheelEvent(QWheelEvent* event) {
    const int turn = event->angleDelta().y();
    if (!hasFocus() || turn == 0) {
        event->ignore();
        return;
    }
    takeName(game::wheelKey(turn > 0));
    event->accept();
}

void KeyBox::take(const game::KeyReading& reading) {
    if (!reading.name.empty()) {
        takeName(reading.name);
        return;
    }
    if (!reading.refused) {
        // Uncertain: the box stays empty rather than hold a guess.
        setText({});
        setPlaceholderText("Tastenname eintragen");
        m_fresh = false;
    }
    emit keyNote(QString::fromStdString(reading.note));
}

void KeyBox::takeName(std::string_view name) {
    setText(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
    // After a single character the player may be typing a name; after a whole name the next key replaces it.
    m_fresh = name.size() > 1;
    if (m_fresh) {
        selectAll();
    }
    emit keyNote({});
}

void askGameKey(QWidget* parent, std::function<void(const QString&)> done) {
    auto* dialog = new QDialog(parent);
    dialog->setObjectName("KeyDialog");
    dialog->setWindowTitle("Taste einfügen");
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setFont(platform::interfaceFont());
    auto* layout = new QVBoxLayout(dialog);
    auto* hint = new QLabel("Drücke die Taste, die Maustaste (im Feld) oder dreh das Mausrad:", dialog);
    layout->addWidget(hint);
    auto* box = new KeyBox({}, dialog);
    box->setObjectName("KeyName");
    layout->addWidget(box);
    auto* note = new QLabel(dialog);
    note->setObjectName("KeyNote");
    note->setWordWrap(true);
    layout->addWidget(note);
    auto* buttons = new QDialogButtonBox(dialog);
    buttons->addButton("Einfügen", QDialogButtonBox::AcceptRole)->setObjectName("KeyInsert");
    buttons->addButton("Abbrechen", QDialogButtonBox::RejectRole);
    layout->addWidget(buttons);
    QObject::connect(box, &KeyBox::keyNote, note, &QLabel::setText);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, [dialog, box, note, done = std::move(done)] {
        const std::string name = box->text().toStdString();
        if (!game::isGameKey(name)) {
            note->setText(QString::fromStdString(game::unknownKeyMessage(name)));
            return;
        }
        done(QString::fromStdString(game::bindableKey(name)));
        dialog->accept();
    });
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    dialog->open();
    box->setFocus(Qt::OtherFocusReason);
}

} // namespace setforge::windows
