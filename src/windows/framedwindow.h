#pragma once

#include "windows/controls.h"

#include <QRect>
#include <QString>
#include <QWidget>

#include <vector>

namespace setforge::platform {
class WindowServices;
}

namespace setforge::windows {

// What tells one secondary window's frame from another's; geometry in pixels, lines in twips.
struct FrameDesign {
    QString name;  // the window's object name
    QString title; // for the taskbar and assistive technology; the window shows no title bar
    int widthTwips = 0;
    int heightTwips = 0;
    QString stripName; // the title strip's object name
    QRect strip;
    QRect closePicture;                 // always "Image1"
    QString closeDescription;           // what closing means in this window, for screen readers
    std::vector<TwipsLine> borderLines; // the frameless window's own edge
};

// The frame the secondary windows share: a frameless grey window with the title strip, which
// drags the window, the close picture at the strip's right end, and the border lines. Escape
// does what the close picture does. The window connects the strip and the picture to its own
// handlers; everything else it builds itself, after the frame.
class FramedWindow : public QWidget {
    Q_OBJECT
protected:
    FramedWindow(platform::WindowServices& services, const FrameDesign& design);

    [[nodiscard]] platform::WindowServices& services() const { return m_services; }
    [[nodiscard]] PictureBox* strip() const { return m_strip; }
    [[nodiscard]] PictureBox* closePicture() const { return m_closePicture; }

    // For the strip's mouse-press handler: the window follows the mouse.
    void dragByStrip(const QMouseEvent& press);

    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    platform::WindowServices& m_services;
    std::vector<TwipsLine> m_borderLines;
    PictureBox* m_strip = nullptr;
    PictureBox* m_closePicture = nullptr;
};

} // namespace setforge::windows
