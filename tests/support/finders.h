#pragma once

#include <QObject>
#include <QString>
#include <QWidget>

#include <stdexcept>
#include <string>
#include <vector>

namespace setforge::testsupport {

// The control called `name` below `parent`. A missing control throws, so that a renamed or
// forgotten control fails its test with its name instead of crashing it.
template <class T> T* control(const QObject* parent, const char* name) {
    T* widget = parent->findChild<T*>(QString::fromUtf8(name));
    if (widget == nullptr) {
        throw std::runtime_error(std::string("no control ") + name);
    }
    return widget;
}

// The top-level windows called `name`, in the application's order. Windows that were closed and
// wait for their deferred deletion are deleted first, so they are not counted.
std::vector<QWidget*> openWindowsNamed(const QString& name);

} // namespace setforge::testsupport
