#pragma once

#include "config/crosshair.h"
#include "windows/framedwindow.h"

#include <QImage>

#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTimer;

namespace setforge::windows {

class MainWindow;

// The middle of the game's screen as the game would draw the crosshair there: background and
// arms, `side` pixels square, centred on the screen's centre pixel.
[[nodiscard]] QImage renderScreenCentre(const game::CrosshairFrame& frame, const config::CrosshairLook& look,
                                        QRgb background, int screenWidth, int screenHeight, int side);

// The largest zoom, at most 4, at which `side` pixels show every pixel up to `reach` from the
// centre on both sides; 1 when even that does not.
[[nodiscard]] int magnifiedZoom(int reach, int side);

// Where a window of `size` opens beside `beside` within `available`: right of it, else left,
// else below; where none fits, the nearest place that leaves `keepClear` uncovered.
[[nodiscard]] QPoint placeBeside(const QRect& available, const QRect& beside, const QSize& size,
                                 const QRect& keepClear);

// Shows the crosshair the whole file gives (the main window's four crosshair settings and the free
// text's lines after them), at 1:1 and magnified, for a chosen screen size, weapon, background and
// movement, and where each value comes from; follows the main window while open.
class CrosshairPreview : public FramedWindow {
    Q_OBJECT
public:
    CrosshairPreview(platform::WindowServices& services, MainWindow& mainWindow);

    void Command1_Click(); // "Feuerstoß": the weapon fires a burst at its own rate, then the gap closes
    void Command2_Click(); // "Schließen"
    void Image1_Click();
    void Picture1_MouseDown(const QMouseEvent& event);

    // Redraws from the main window's current state and the window's own lists.
    void refresh();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildViews();
    void buildLists();
    void buildButtons();
    void followChanges();
    void takeLook();
    void showViews(const game::CrosshairFrame& frame, int width, int height);
    void describe(const game::CrosshairFrame& frame, int width);
    void burstFrame();
    [[nodiscard]] const game::CrosshairWeapon& weapon() const;
    [[nodiscard]] game::CrosshairState weaponState() const;

    MainWindow& m_mainWindow;
    QComboBox* m_resolution = nullptr;
    QComboBox* m_weapon = nullptr;
    QComboBox* m_background = nullptr;
    QComboBox* m_movement = nullptr;
    QCheckBox* m_mode = nullptr;
    QPushButton* m_burst = nullptr;
    QLabel* m_actual = nullptr;
    QLabel* m_magnified = nullptr;
    QLabel* m_zoomCaption = nullptr;
    QLabel* m_facts = nullptr;
    QTimer* m_burstTimer = nullptr;
    config::CrosshairLook m_look{};
    game::CrosshairRecoil m_recoil;
    std::vector<double> m_shotTimes; // the running burst's shots, ms after the first
    std::size_t m_shotsFired = 0;
    int m_burstFrame = -1; // frames since the burst began; -1 when none runs
    bool m_placed = false;
};

} // namespace setforge::windows
