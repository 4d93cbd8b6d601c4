#include "windows/choice_release.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QWidget>

namespace setforge::windows {
namespace {

class ChoiceRelease final : public QObject {
public:
    ChoiceRelease(QObject* parent, std::function<void()> release)
        : QObject(parent)
        , m_release(std::move(release)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* control = qobject_cast<QWidget*>(watched);
        if (control == nullptr) {
            return false;
        }
        if (event->type() == QEvent::ContextMenu) {
            const auto* request = static_cast<QContextMenuEvent*>(event);
            showMenu(control,
                     request->reason() == QContextMenuEvent::Keyboard ? keyboardPlace(control) : request->globalPos());
            return true;
        }
        if (event->type() == QEvent::KeyPress) {
            const auto* press = static_cast<QKeyEvent*>(event);
            if ((press->key() == Qt::Key_Delete || press->key() == Qt::Key_Backspace) &&
                press->modifiers() == Qt::NoModifier) {
                m_release();
                return true;
            }
            // Shift+F10 opens the menu as on Windows, where the system sends it as a menu request.
            if (press->key() == Qt::Key_F10 && press->modifiers() == Qt::ShiftModifier) {
                showMenu(control, keyboardPlace(control));
                return true;
            }
        }
        return false;
    }

private:
    static QPoint keyboardPlace(const QWidget* control) { return control->mapToGlobal(control->rect().bottomLeft()); }

    void showMenu(QWidget* control, const QPoint& where) {
        QMenu menu(control);
        menu.setObjectName(QStringLiteral("ChoiceMenu"));
        QAction* release = menu.addAction(QStringLiteral("Auswahl aufheben"));
        release->setStatusTip(QStringLiteral("Nichts gewählt: Die Config schreibt für diese Einstellung keine Zeile"));
        if (menu.exec(where) == release) {
            m_release();
        }
    }

    std::function<void()> m_release;
};

} // namespace

void offerChoiceRelease(const std::vector<QWidget*>& controls, std::function<void()> release) {
    if (controls.empty()) {
        return;
    }
    auto* filter = new ChoiceRelease(controls.front(), std::move(release));
    for (QWidget* control : controls) {
        control->installEventFilter(filter);
    }
}

} // namespace setforge::windows
