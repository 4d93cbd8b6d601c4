#pragma once

#include "windows/framedwindow.h"

#include <cstdint>
#include <functional>

class QLineEdit;

namespace setforge::platform {
class WindowServices;
}

namespace setforge::windows {

namespace artwork {
enum class MarkerColour;
}

// Shows the information sheet of a marker in a message box, or nothing where it has none.
void ShowWeaponSheet(platform::WindowServices& services, QWidget* parent, std::int16_t markerIndex);

// The window in which the player ticks items and names a key to compose a bind line.
class BuyMenu : public FramedWindow {
    Q_OBJECT
public:
    // `insertLine` puts the composed line into the main window's free text.
    BuyMenu(platform::WindowServices& services, std::function<void(const QString&)> insertLine);

    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Image1_Click();
    void Image2_Click(std::int16_t index);
    void Picture1_MouseDown(const QMouseEvent& event);

private:
    void buildItemFrames();
    void buildCreatePanel();
    PictureBox* addMarker(QWidget* parent, std::int16_t index, int left, int top, artwork::MarkerColour colour);

    std::function<void(const QString&)> m_insertLine;
    QLineEdit* m_key = nullptr;
};

} // namespace setforge::windows
