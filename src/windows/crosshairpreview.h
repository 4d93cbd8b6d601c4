#pragma once

#include "config/crosshair.h"
#include "windows/framedwindow.h"

#include <QImage>

class QCheckBox;
class QComboBox;
class QLabel;
class QTimer;

namespace setforge::windows {

// The middle of the game's screen as the game would draw the crosshair there: background and
// arms, `side` pixels square, centred on the screen's centre pixel.
[[nodiscard]] QImage renderScreenCentre(const config::CrosshairFrame& frame, const config::CrosshairLook& look,
                                        QRgb background, int screenWidth, int screenHeight, int side);

// Shows the crosshair the main window's four crosshair settings give, at 1:1 and magnified, for a
// chosen screen size, weapon, background and movement; follows those settings while open.
class CrosshairPreview : public FramedWindow {
    Q_OBJECT
public:
    // `settingsWindow` holds the crosshair controls (found by their object names).
    CrosshairPreview(platform::WindowServices& services, QWidget& settingsWindow);

    void Command1_Click(); // "Feuerstoß": a burst of shots widens the gap, which then closes again
    void Command2_Click(); // "Schließen"
    void Image1_Click();
    void Picture1_MouseDown(const QMouseEvent& event);

    // Redraws from the main window's current choices and the window's own lists.
    void refresh();

private:
    void watchSettings();
    void burstFrame();
    [[nodiscard]] config::CrosshairState weaponState() const;

    QWidget& m_settingsWindow;
    QComboBox* m_resolution = nullptr;
    QComboBox* m_weapon = nullptr;
    QComboBox* m_background = nullptr;
    QComboBox* m_movement = nullptr;
    QCheckBox* m_mode = nullptr;
    QLabel* m_actual = nullptr;
    QLabel* m_magnified = nullptr;
    QLabel* m_facts = nullptr;
    QTimer* m_burstTimer = nullptr;
    bool m_dynamic = true; // the main window's dynamic crosshair choice
    config::CrosshairRecoil m_recoil;
    int m_burstFrame = -1; // frames since the burst began; -1 when none runs
};

} // namespace setforge::windows
