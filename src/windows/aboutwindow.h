#pragma once

#include "windows/framedwindow.h"

namespace setforge::platform {
class WindowServices;
}

namespace setforge::windows {

// Shows the maker, the copyright and the licence, with a link to the maker's site.
class AboutWindow : public FramedWindow {
    Q_OBJECT
public:
    explicit AboutWindow(platform::WindowServices& services);

    void Command1_Click();
    void Command2_Click();
    void Image1_Click();
    void Picture2_MouseDown(const QMouseEvent& event);

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* m_ok = nullptr;
};

} // namespace setforge::windows
