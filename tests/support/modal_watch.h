#pragma once

#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace setforge::testsupport {

// Acts on the next modal window to appear, from inside its modal loop. Create the watch before
// the call that shows the window. Should the window not appear, or stay open, the watch closes
// every modal window after a few seconds, so a broken box fails its test instead of hanging it.
class ModalWatch {
public:
    explicit ModalWatch(std::function<void(QWidget* modal)> act);

    [[nodiscard]] bool acted() const { return m_acted; }
    [[nodiscard]] bool forcedClosed() const { return m_forcedClosed; }

private:
    void poll();
    void closeEverything();

    std::function<void(QWidget*)> m_act;
    QPointer<QWidget> m_before;
    bool m_acted = false;
    bool m_forcedClosed = false;
    QTimer m_poll;
    QTimer m_deadline;
};

} // namespace setforge::testsupport
