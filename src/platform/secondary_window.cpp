#include "platform/secondary_window.h"

#include <QGuiApplication>
#include <QScreen>

namespace setforge::platform {

QWidget* showSecondaryWindow(QPointer<QWidget>& slot, const std::function<QWidget*()>& create) {
    // A closed window stays hidden until its deferred deletion; it must not come back.
    if (slot && slot->isHidden()) {
        slot->deleteLater();
        slot = nullptr;
    }
    if (!slot) {
        QWidget* window = create();
        window->setParent(nullptr);
        window->setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
        window->setWindowModality(Qt::NonModal);
        window->setAttribute(Qt::WA_DeleteOnClose);
        centreOnScreen(window);
        slot = window;
    }
    slot->show();
    slot->raise();
    slot->activateWindow();
    return slot;
}

void closeSecondaryWindow(QWidget* window) {
    if (window == nullptr) {
        return;
    }
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->close();
}

void centreOnScreen(QWidget* window) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (window == nullptr || screen == nullptr) {
        return;
    }
    if (!window->testAttribute(Qt::WA_Resized)) {
        window->adjustSize(); // a window never shown has no size of its own yet
    }
    QRect frame(QPoint(0, 0), window->size());
    frame.moveCenter(screen->availableGeometry().center());
    window->move(frame.topLeft());
}

} // namespace setforge::platform
