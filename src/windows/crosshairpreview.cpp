#include "windows/crosshairpreview.h"

#include "config/settings_catalogue.h"
#include "platform/secondary_window.h"
#include "windows/controls.h"
#include "windows/setting_rows.h"
#include "windows/style.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTimer>

#include <array>

namespace setforge::windows {
namespace {

constexpr int ActualSide = 160;   // screen pixels shown at 1:1
constexpr int Zoom = 4;           // the magnified view shows the middle ActualSide / 2.5 pixels
constexpr int ZoomedSide = 256;   // ... each as a Zoom x Zoom block
constexpr int FramesPerShot = 10; // 600 shots a minute at the game's usual 100 frames a second
constexpr int BurstShots = 6;

struct Background {
    const char* name;
    QRgb colour;
};
// Plain walls: on the bright ones an additive crosshair nearly vanishes.
const std::array<Background, 3> Backgrounds{{
    {"Dunkel", qRgb(24, 26, 30)},
    {"Heller Himmel", qRgb(186, 214, 240)},
    {"Sandwand", qRgb(200, 172, 120)},
}};

constexpr std::array<const char*, 4> Movements{"Stehen", "Laufen", "Ducken", "In der Luft"};

constexpr std::array<std::string_view, 4> CrosshairKeys{"cl_crosshair_color", "cl_crosshair_size",
                                                        "cl_crosshair_translucent", "cl_dynamiccrosshair"};

// The widget on `window` that holds a setting's choice: its list, or its option buttons' box.
QWidget* settingControl(QWidget& window, std::string_view key) {
    for (const SettingRow& row : SettingRows) {
        if (row.key == key) {
            return window.findChild<QWidget*>(qs(row.control));
        }
    }
    return nullptr;
}

QLabel* viewLabel(QWidget* parent, const char* name, const QString& description, const QRect& geometry) {
    auto* view = new QLabel(parent);
    view->setObjectName(name);
    view->setAccessibleName(description);
    view->setGeometry(geometry);
    view->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    view->setLineWidth(1);
    view->setAlignment(Qt::AlignCenter);
    return view;
}

QComboBox* listWithLabel(QWidget* parent, const char* name, const QString& caption, int top) {
    auto* label = makeLabel(parent, QStringLiteral("Label_%1").arg(name), caption, twipsRect(6660, top, 2820, 255));
    auto* list = new QComboBox(parent);
    list->setObjectName(name);
    list->setGeometry(twipsRect(6660, top + 255, 2820, 315));
    list->setAccessibleName(label->text());
    return list;
}

} // namespace

QImage renderScreenCentre(const config::CrosshairFrame& frame, const config::CrosshairLook& look, QRgb background,
                          int screenWidth, int screenHeight, int side) {
    QImage image(side, side, QImage::Format_RGB32);
    image.fill(background);
    const int left = screenWidth / 2 - side / 2;
    const int top = screenHeight / 2 - side / 2;
    const config::Rgb below{static_cast<std::uint8_t>(qRed(background)), static_cast<std::uint8_t>(qGreen(background)),
                            static_cast<std::uint8_t>(qBlue(background))};
    const config::Rgb lit = config::blendCrosshairPixel(below, look.colour, frame.alpha, look.additive);
    // The arms never overlap, so each pixel is drawn over the plain background once.
    const QRect shown(0, 0, side, side);
    for (const config::CrosshairRect& arm : frame.arms) {
        const QRect area = QRect(arm.x - left, arm.y - top, arm.width, arm.height).intersected(shown);
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x) {
                image.setPixel(x, y, qRgb(lit.r, lit.g, lit.b));
            }
        }
    }
    return image;
}

CrosshairPreview::CrosshairPreview(platform::WindowServices& services, QWidget& settingsWindow)
    : FramedWindow(services, {.name = "CrosshairPreview",
                              .title = "Crosshair-Vorschau",
                              .widthTwips = 9600,
                              .heightTwips = 4740,
                              .stripName = "Picture1",
                              .strip = twipsRect(0, 0, 9355, 255),
                              .closePicture = twipsRect(9360, 0, 240, 255),
                              .closeDescription = "Schließt die Vorschau",
                              .borderLines = {{0, 255, 0, 4725}, {0, 4725, 9585, 4725}, {9585, 255, 9585, 4740}}})
    , m_settingsWindow(settingsWindow) {
    connect(strip(), &PictureBox::pressed, this, &CrosshairPreview::Picture1_MouseDown);
    connect(closePicture(), &PictureBox::clicked, this, &CrosshairPreview::Image1_Click);

    makeLabel(this, "Label1", "Bildschirmmitte 1:1", twipsRect(120, 360, 2430, 255));
    makeLabel(this, "Label2", QStringLiteral("Vergrößert (%1fach)").arg(Zoom), twipsRect(2640, 360, 3870, 255));
    // A one-pixel sunken edge around each picture.
    m_actual = viewLabel(this, "Actual", "Bildschirmmitte in Originalgröße",
                         twipsRect(120, 660, (ActualSide + 2) * 15, (ActualSide + 2) * 15));
    m_magnified = viewLabel(this, "Magnified", "Bildschirmmitte vergrößert",
                            twipsRect(2640, 660, (ZoomedSide + 2) * 15, (ZoomedSide + 2) * 15));
    m_facts = makeLabel(this, "Label3", {}, twipsRect(120, 3210, 2430, 1380));
    m_facts->setWordWrap(true);
    m_facts->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    m_resolution = listWithLabel(this, "Resolution", "Auflösung im Spiel", 360);
    for (const auto& [width, height] : config::PreviewResolutions) {
        m_resolution->addItem(QStringLiteral("%1 × %2").arg(width).arg(height));
    }
    // The first screen size to show is the largest the player's own monitor can show whole.
    const QScreen* monitor = settingsWindow.screen();
    const QSize pixels = monitor != nullptr ? monitor->size() * monitor->devicePixelRatio() : QSize(640, 480);
    m_resolution->setCurrentIndex(static_cast<int>(config::defaultPreviewResolution(pixels.width(), pixels.height())));

    m_weapon = listWithLabel(this, "Weapon", "Waffe", 960);
    for (const config::CrosshairWeapon& weapon : config::CrosshairWeapons) {
        m_weapon->addItem(qs(weapon.display), qs(weapon.name));
    }
    m_weapon->setCurrentIndex(m_weapon->findData(QStringLiteral("ak47")));

    m_background = listWithLabel(this, "Background", "Hintergrund", 1560);
    for (const Background& background : Backgrounds) {
        m_background->addItem(background.name);
    }
    m_movement = listWithLabel(this, "Movement", "Bewegung (dynamisches Crosshair)", 2160);
    for (const char* movement : Movements) {
        m_movement->addItem(movement);
    }

    m_mode = new QCheckBox(this);
    m_mode->setObjectName("Mode");
    m_mode->setGeometry(twipsRect(6660, 2820, 2820, 255));

    auto* burst = new QPushButton("Feuerstoß", this);
    burst->setObjectName("Command1");
    burst->setGeometry(twipsRect(6660, 3420, 2820, 375));
    burst->setAccessibleDescription(
        "Zeigt, wie sechs Schüsse in Folge das Crosshair öffnen und es sich wieder schließt");
    connect(burst, &QPushButton::clicked, this, &CrosshairPreview::Command1_Click);
    auto* close = new QPushButton("Schließen", this);
    close->setObjectName("Command2");
    close->setGeometry(twipsRect(6660, 4080, 2820, 375));
    connect(close, &QPushButton::clicked, this, &CrosshairPreview::Command2_Click);
    chainTabOrder({m_resolution, m_weapon, m_background, m_movement, m_mode, burst, close, closePicture()});

    m_burstTimer = new QTimer(this);
    m_burstTimer->setTimerType(Qt::PreciseTimer);
    m_burstTimer->setInterval(10);
    connect(m_burstTimer, &QTimer::timeout, this, &CrosshairPreview::burstFrame);

    for (QComboBox* list : {m_resolution, m_weapon, m_background, m_movement}) {
        connect(list, &QComboBox::currentIndexChanged, this, &CrosshairPreview::refresh);
    }
    connect(m_mode, &QCheckBox::toggled, this, &CrosshairPreview::refresh);
    watchSettings();
    refresh();
}

void CrosshairPreview::watchSettings() {
    for (const std::string_view key : CrosshairKeys) {
        QWidget* control = settingControl(m_settingsWindow, key);
        if (auto* list = qobject_cast<QComboBox*>(control)) {
            connect(list, &QComboBox::currentIndexChanged, this, &CrosshairPreview::refresh);
        } else if (control != nullptr) {
            for (QRadioButton* option : control->findChildren<QRadioButton*>()) {
                connect(option, &QRadioButton::toggled, this, &CrosshairPreview::refresh);
            }
        }
    }
}

config::CrosshairState CrosshairPreview::weaponState() const {
    config::CrosshairState state;
    state.weapon = config::CrosshairWeapons[static_cast<std::size_t>(std::max(m_weapon->currentIndex(), 0))].name;
    state.movement = static_cast<config::Movement>(std::max(m_movement->currentIndex(), 0));
    state.secondMode = m_mode->isEnabled() && m_mode->isChecked();
    state.dynamic = m_dynamic;
    return state;
}

void CrosshairPreview::refresh() {
    // The four crosshair settings as the main window shows them right now.
    config::SettingsState settings;
    for (const std::string_view key : CrosshairKeys) {
        const config::SettingSpec* setting = config::findSetting(key);
        QWidget* control = settingControl(m_settingsWindow, key);
        std::string& field = settings.*setting->field;
        if (const auto* list = qobject_cast<QComboBox*>(control)) {
            field = list->currentText().toStdString();
        } else if (control != nullptr) {
            for (const QRadioButton* option : control->findChildren<QRadioButton*>()) {
                if (option->isChecked()) {
                    field = option->objectName().toStdString();
                }
            }
        }
    }
    const config::CrosshairLook look = config::crosshairLook(settings);
    m_dynamic = look.dynamic;

    const config::CrosshairWeapon& weapon =
        config::CrosshairWeapons[static_cast<std::size_t>(std::max(m_weapon->currentIndex(), 0))];
    const bool hasMode = weapon.mode != config::WeaponMode::None;
    m_mode->setEnabled(hasMode && look.dynamic);
    m_mode->setText(weapon.mode == config::WeaponMode::Burst      ? "Burst-Modus"
                    : weapon.mode == config::WeaponMode::Silencer ? "Schalldämpfer aufgesetzt"
                                                                  : "Schalldämpfer / Burst-Modus");
    m_movement->setEnabled(look.dynamic);

    const config::CrosshairState state = weaponState();
    const auto& [width, height] =
        config::PreviewResolutions[static_cast<std::size_t>(std::max(m_resolution->currentIndex(), 0))];
    const config::CrosshairFrame frame = m_burstFrame >= 0
                                             ? config::crosshairFrame(width, height, look.size, state, m_recoil)
                                             : config::crosshairFrame(width, height, look.size, state);
    const QRgb background = Backgrounds[static_cast<std::size_t>(std::max(m_background->currentIndex(), 0))].colour;
    const QImage actual = renderScreenCentre(frame, look, background, width, height, ActualSide);
    const int cut = ZoomedSide / Zoom;
    const QImage magnified = actual.copy((ActualSide - cut) / 2, (ActualSide - cut) / 2, cut, cut)
                                 .scaled(ZoomedSide, ZoomedSide, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    // One image pixel per screen pixel, also where the system scales the window.
    const auto show = [](QLabel* view, const QImage& image) {
        QPixmap pixmap = QPixmap::fromImage(image);
        pixmap.setDevicePixelRatio(view->devicePixelRatioF());
        view->setPixmap(pixmap);
    };
    show(m_actual, actual);
    show(m_magnified, magnified);

    if (frame.arms.empty()) {
        m_facts->setText(QStringLiteral("%1: kein Crosshair im Spiel, gezielt wird nur durch das Zielfernrohr.")
                             .arg(qs(weapon.display)));
        return;
    }
    const config::CrosshairRect& right = frame.arms.front();
    m_facts->setText(QStringLiteral("Abstand zur Mitte: %1 px\nArmlänge: %2 px\n%3")
                         .arg(right.x - width / 2)
                         .arg(right.width)
                         .arg(look.additive ? "Transparent: hellt den Hintergrund auf" : "Deckend gezeichnet"));
}

void CrosshairPreview::Command1_Click() {
    const std::optional<int> distance = config::crosshairDistance(weaponState());
    m_recoil = {.distance = static_cast<float>(distance.value_or(0)), .alpha = 255};
    m_burstFrame = 0;
    m_burstTimer->start();
    burstFrame();
}

void CrosshairPreview::burstFrame() {
    const config::CrosshairState state = weaponState();
    const config::CrosshairWeapon* weapon = config::findCrosshairWeapon(state.weapon);
    const int distance = config::crosshairDistance(state).value_or(0);
    const bool shot = m_burstFrame % FramesPerShot == 0 && m_burstFrame < FramesPerShot * BurstShots;
    m_recoil = config::nextCrosshairFrame(m_recoil, distance, weapon != nullptr ? weapon->delta : 0, shot);
    refresh();
    ++m_burstFrame;
    const bool atRest = m_recoil.distance <= static_cast<float>(distance) && m_recoil.alpha >= 255;
    if (m_burstFrame > FramesPerShot * BurstShots && atRest) {
        m_burstTimer->stop();
        m_burstFrame = -1;
    }
}

void CrosshairPreview::Command2_Click() {
    platform::closeSecondaryWindow(this);
}

void CrosshairPreview::Image1_Click() {
    Command2_Click();
}

void CrosshairPreview::Picture1_MouseDown(const QMouseEvent& event) {
    dragByStrip(event);
}

} // namespace setforge::windows
