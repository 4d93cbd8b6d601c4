#include "support/finders.h"

#include <QApplication>

namespace setforge::testsupport {

std::vector<QWidget*> openWindowsNamed(const QString& name) {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    std::vector<QWidget*> found;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->objectName() == name) {
            found.push_back(window);
        }
    }
    return found;
}

} // namespace setforge::testsupport
