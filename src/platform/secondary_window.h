#pragma once

#include <QPointer>
#include <QWidget>

#include <functional>

namespace setforge::platform {

// Shows the one instance of a secondary window kept in `slot`, creating it with `create` on the
// first request (or after it was closed): frameless, a tool window without a taskbar entry,
// without owner, modeless, destroyed when closed, centred on the screen. A further request shows
// and raises the same instance. Returns the instance.
QWidget* showSecondaryWindow(QPointer<QWidget>& slot, const std::function<QWidget*()>& create);

// Closes and destroys the window, so that its next showing starts from its design state.
// The destruction is deferred: the call may come from one of the window's own handlers.
void closeSecondaryWindow(QWidget* window);

// Places the window in the middle of the primary screen's available area.
void centreOnScreen(QWidget* window);

} // namespace setforge::platform
