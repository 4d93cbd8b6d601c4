#pragma once

#include <QWidget>

namespace setforge::platform {
class WindowServices;
}

namespace setforge::windows {

class PictureBox;

// Shows the maker, the copyright and the licence, with a link to the maker's site.
class AboutWindow : public QWidget {
    Q_OBJECT
public:
    explicit AboutWindow(platform::WindowServices& services);

    void Command1_Click();
    void Command2_Click();
    void Image1_Click();
    void Picture2_MouseDown(const QMouseEvent& event);

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override; // Escape closes, like "OK"

private:
    platform::WindowServices& m_services;
    PictureBox* m_strip = nullptr;
    QWidget* m_ok = nullptr;
};

} // namespace setforge::windows
