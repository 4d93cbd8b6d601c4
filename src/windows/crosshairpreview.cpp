#include "windows/crosshairpreview.h"

#include "config/settings_catalogue.h"
#include "platform/secondary_window.h"
#include "windows/controls.h"
#include "windows/mainwindow.h"
#include "windows/style.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QStringList>
#include <QTimer>

#include <array>

namespace setforge::windows {
namespace {

// Screen pixels shown at 1:1: enough for the widest crosshair at the largest listed screen size.
constexpr int ActualSide = 218;
constexpr int ZoomedSide = 256; // the magnified view: each screen pixel as a block of up to 4 x 4
constexpr int MaxZoom = 4;
constexpr int FrameMs = 10; // the game's usual 100 frames a second
constexpr int BurstShots = 6;
constexpr int Gap = 8; // pixels between the preview and the main window

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

// Where a value the file leaves comes from, as the facts under the pictures name it.
QString origin(const config::CrosshairSource& source) {
    if (!source.set) {
        return QStringLiteral("nicht gesetzt, Standard des Spiels");
    }
    return source.fromFreeText ? QStringLiteral("aus dem eigenen Text, Zeile %1").arg(source.line)
                               : QStringLiteral("aus dem Fenster");
}

// The value as written, quoted, and cut where it would not fit on its line.
QString quoted(const config::CrosshairSource& source) {
    const QString value = QString::fromStdString(source.value);
    return QStringLiteral("„%1“").arg(value.size() > 20 ? value.left(19) + QStringLiteral("…") : value);
}

QString sizeName(std::string_view size) {
    switch (game::readCrosshairSize(size)) {
    case game::CrosshairSize::Small:
        return QStringLiteral("Klein");
    case game::CrosshairSize::Medium:
        return QStringLiteral("Mittel");
    case game::CrosshairSize::Large:
        return QStringLiteral("Groß");
    case game::CrosshairSize::Kept:
        return QStringLiteral("unbekannt, das Spiel behält die vorige (hier Automatisch)");
    case game::CrosshairSize::Auto:
        break;
    }
    return QStringLiteral("Automatisch");
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

QComboBox* listWithLabel(QWidget* parent, const char* name, const QString& caption, int left, int top) {
    auto* label = makeLabel(parent, QStringLiteral("Label_%1").arg(name), caption, twipsRect(left, top, 3600, 255));
    auto* list = new QComboBox(parent);
    list->setObjectName(name);
    list->setGeometry(twipsRect(left, top + 255, 3600, 315));
    list->setAccessibleName(label->text());
    return list;
}

} // namespace

QImage renderScreenCentre(const game::CrosshairFrame& frame, const config::CrosshairLook& look, QRgb background,
                          int screenWidth, int screenHeight, int side) {
    QImage image(side, side, QImage::Format_RGB32);
    image.fill(background);
    const int left = screenWidth / 2 - side / 2;
    const int top = screenHeight / 2 - side / 2;
    const game::Rgb below{static_cast<std::uint8_t>(qRed(background)), static_cast<std::uint8_t>(qGreen(background)),
                          static_cast<std::uint8_t>(qBlue(background))};
    const game::Rgb lit = game::blendCrosshairPixel(below, look.colour, frame.alpha, look.additive);
    // The arms never overlap, so each pixel is drawn over the plain background once.
    const QRect shown(0, 0, side, side);
    for (const game::CrosshairRect& arm : frame.arms) {
        const QRect area = QRect(arm.x - left, arm.y - top, arm.width, arm.height).intersected(shown);
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x) {
                image.setPixel(x, y, qRgb(lit.r, lit.g, lit.b));
            }
        }
    }
    return image;
}

int magnifiedZoom(int reach, int side) {
    int zoom = MaxZoom;
    while (zoom > 1 && zoom * (2 * reach + 1) > side) {
        --zoom;
    }
    return zoom;
}

QPoint placeBeside(const QRect& available, const QRect& beside, const QSize& size, const QRect& keepClear) {
    const auto clampX = [&](int x) {
        return std::clamp(x, available.left(), std::max(available.left(), available.right() + 1 - size.width()));
    };
    const auto clampY = [&](int y) {
        return std::clamp(y, available.top(), std::max(available.top(), available.bottom() + 1 - size.height()));
    };
    // Beside the window first; on a screen too small for that, over its other controls.
    const std::array<QPoint, 6> candidates{
        QPoint(beside.right() + 1 + Gap, clampY(beside.top())),
        QPoint(beside.left() - Gap - size.width(), clampY(beside.top())),
        QPoint(clampX(beside.left()), beside.bottom() + 1 + Gap),
        QPoint(keepClear.right() + 1 + Gap, clampY(beside.top())),
        QPoint(clampX(beside.left()), keepClear.bottom() + 1 + Gap),
        QPoint(clampX(beside.left()), keepClear.top() - Gap - size.height()),
    };
    for (const QPoint& place : candidates) {
        const QRect window(place, size);
        if (available.contains(window) && !window.intersects(keepClear)) {
            return place;
        }
    }
    return {clampX(available.right()), clampY(beside.top())};
}

CrosshairPreview::CrosshairPreview(platform::WindowServices& services, MainWindow& mainWindow)
    : FramedWindow(services, {.name = "CrosshairPreview",
                              .title = "Crosshair-Vorschau",
                              .widthTwips = 7530,
                              .heightTwips = 8460,
                              .stripName = "Picture1",
                              .strip = twipsRect(0, 0, 7285, 255),
                              .closePicture = twipsRect(7290, 0, 240, 255),
                              .closeDescription = "Schließt die Vorschau",
                              .borderLines = {{0, 255, 0, 8445}, {0, 8445, 7515, 8445}, {7515, 255, 7515, 8460}}})
    , m_mainWindow(mainWindow) {
    connect(strip(), &PictureBox::pressed, this, &CrosshairPreview::Picture1_MouseDown);
    connect(closePicture(), &PictureBox::clicked, this, &CrosshairPreview::Image1_Click);
    buildViews();
    buildLists();
    buildButtons();
    chainTabOrder({m_resolution, m_weapon, m_background, m_movement, m_mode, m_burst, findChild<QWidget*>("Command2"),
                   closePicture()});
    followChanges();
    refresh();
}

void CrosshairPreview::buildViews() {
    makeLabel(this, "Label1", "Bildschirmmitte 1:1", twipsRect(120, 360, 3300, 255));
    m_zoomCaption = makeLabel(this, "Label2", {}, twipsRect(3540, 360, 3870, 255));
    // A one-pixel sunken edge around each picture.
    m_actual = viewLabel(this, "Actual", "Bildschirmmitte in Originalgröße",
                         twipsRect(120, 660, (ActualSide + 2) * 15, (ActualSide + 2) * 15));
    m_magnified = viewLabel(this, "Magnified", "Bildschirmmitte vergrößert",
                            twipsRect(3540, 660, (ZoomedSide + 2) * 15, (ZoomedSide + 2) * 15));
    m_facts = makeLabel(this, "Label3", {}, twipsRect(120, 6300, 7290, 1560));
    m_facts->setWordWrap(true);
    m_facts->setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void CrosshairPreview::buildLists() {
    m_resolution = listWithLabel(this, "Resolution", "Auflösung im Spiel", 120, 4650);
    for (const auto& [width, height] : game::PreviewResolutions) {
        m_resolution->addItem(QStringLiteral("%1 × %2").arg(width).arg(height));
    }
    // The first screen size to show is the largest the player's own monitor can show whole.
    const QScreen* monitor = m_mainWindow.screen();
    const QSize pixels = monitor != nullptr ? monitor->size() * monitor->devicePixelRatio() : QSize(640, 480);
    m_resolution->setCurrentIndex(static_cast<int>(game::defaultPreviewResolution(pixels.width(), pixels.height())));

    m_weapon = listWithLabel(this, "Weapon", "Waffe", 3810, 4650);
    for (const game::CrosshairWeapon& weapon : game::CrosshairWeapons) {
        m_weapon->addItem(qs(weapon.display), qs(weapon.name));
    }
    m_weapon->setCurrentIndex(m_weapon->findData(QStringLiteral("ak47")));

    m_background = listWithLabel(this, "Background", "Hintergrund", 120, 5310);
    for (const Background& background : Backgrounds) {
        m_background->addItem(background.name);
    }
    m_movement = listWithLabel(this, "Movement", "Bewegung (dynamisches Crosshair)", 3810, 5310);
    for (const char* movement : Movements) {
        m_movement->addItem(movement);
    }
    m_mode = new QCheckBox(this);
    m_mode->setObjectName("Mode");
    m_mode->setGeometry(twipsRect(120, 5970, 3600, 255));
}

void CrosshairPreview::buildButtons() {
    m_burst = new QPushButton("Feuerstoß", this);
    m_burst->setObjectName("Command1");
    m_burst->setGeometry(twipsRect(120, 7950, 3600, 375));
    m_burst->setAccessibleDescription(
        "Zeigt, wie sechs Schüsse im Takt der Waffe das Crosshair öffnen und es sich wieder schließt");
    connect(m_burst, &QPushButton::clicked, this, &CrosshairPreview::Command1_Click);
    auto* close = new QPushButton("Schließen", this);
    close->setObjectName("Command2");
    close->setGeometry(twipsRect(3810, 7950, 3600, 375));
    connect(close, &QPushButton::clicked, this, &CrosshairPreview::Command2_Click);

    m_burstTimer = new QTimer(this);
    m_burstTimer->setTimerType(Qt::PreciseTimer);
    m_burstTimer->setInterval(FrameMs);
    connect(m_burstTimer, &QTimer::timeout, this, &CrosshairPreview::burstFrame);
}

void CrosshairPreview::followChanges() {
    for (QComboBox* list : {m_resolution, m_weapon, m_background, m_movement}) {
        connect(list, &QComboBox::currentIndexChanged, this, &CrosshairPreview::refresh);
    }
    connect(m_mode, &QCheckBox::toggled, this, &CrosshairPreview::refresh);
    connect(&m_mainWindow, &MainWindow::stateChanged, this, &CrosshairPreview::refresh);
}

void CrosshairPreview::showEvent(QShowEvent* event) {
    FramedWindow::showEvent(event);
    if (m_placed) {
        return;
    }
    m_placed = true;
    if (const QScreen* screen = m_mainWindow.screen()) {
        move(placeBeside(screen->availableGeometry(), m_mainWindow.frameGeometry(), size(),
                         m_mainWindow.crosshairRows()));
    }
}

const game::CrosshairWeapon& CrosshairPreview::weapon() const {
    return game::CrosshairWeapons.at(static_cast<std::size_t>(std::max(m_weapon->currentIndex(), 0)));
}

game::CrosshairState CrosshairPreview::weaponState() const {
    game::CrosshairState state;
    state.weapon = weapon().name;
    state.movement = static_cast<game::Movement>(std::max(m_movement->currentIndex(), 0));
    state.secondMode = m_mode->isEnabled() && m_mode->isChecked();
    state.dynamic = m_look.dynamic;
    return state;
}

void CrosshairPreview::takeLook() {
    // What the whole file leaves the four crosshair values at, as the main window shows it now.
    m_look = config::crosshairLook(m_mainWindow.snapshot());
    const game::CrosshairWeapon& shown = weapon();
    m_mode->setEnabled(shown.mode != game::WeaponMode::None);
    m_mode->setText(shown.mode == game::WeaponMode::Burst      ? "Burst-Modus"
                    : shown.mode == game::WeaponMode::Silencer ? "Schalldämpfer aufgesetzt"
                                                               : "Schalldämpfer / Burst-Modus");
    m_movement->setEnabled(m_look.dynamic);
    m_burst->setEnabled(game::shotsWidenCrosshair(shown));
}

void CrosshairPreview::refresh() {
    takeLook();
    const game::CrosshairState state = weaponState();
    const auto& [width, height] =
        game::PreviewResolutions.at(static_cast<std::size_t>(std::max(m_resolution->currentIndex(), 0)));
    const game::CrosshairFrame frame = m_burstFrame >= 0
                                           ? game::crosshairFrame(width, height, m_look.size, state, m_recoil)
                                           : game::crosshairFrame(width, height, m_look.size, state);
    showViews(frame, width, height);
    describe(frame, width);
}

void CrosshairPreview::showViews(const game::CrosshairFrame& frame, int width, int height) {
    // While a burst runs the zoom stays at the one its widest frame needs.
    const int reach = m_burstFrame >= 0 ? game::widestCrosshairReach(width, height, m_look.size, weaponState())
                                        : game::crosshairReach(frame, width, height);
    const int zoom = magnifiedZoom(reach, ZoomedSide);
    m_zoomCaption->setText(QStringLiteral("Vergrößert (%1fach)").arg(zoom));
    const QRgb background = Backgrounds.at(static_cast<std::size_t>(std::max(m_background->currentIndex(), 0))).colour;
    const QImage actual = renderScreenCentre(frame, m_look, background, width, height, ActualSide);
    const int cut = ZoomedSide / zoom;
    const QImage magnified = renderScreenCentre(frame, m_look, background, width, height, cut)
                                 .scaled(cut * zoom, cut * zoom, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    // One image pixel per screen pixel, also where the system scales the window.
    const auto show = [](QLabel* view, const QImage& image) {
        QPixmap pixmap = QPixmap::fromImage(image);
        pixmap.setDevicePixelRatio(view->devicePixelRatioF());
        view->setPixmap(pixmap);
    };
    show(m_actual, actual);
    show(m_magnified, magnified);
}

void CrosshairPreview::describe(const game::CrosshairFrame& frame, int width) {
    const game::CrosshairWeapon& shown = weapon();
    QStringList lines;
    if (frame.arms.empty()) {
        lines << QStringLiteral("%1: kein Crosshair im Spiel, gezielt wird nur durch das Zielfernrohr.")
                     .arg(qs(shown.display));
    } else {
        const game::CrosshairRect& right = frame.arms.front();
        lines << QStringLiteral("Abstand zur Mitte: %1 px, Armlänge: %2 px").arg(right.x - width / 2).arg(right.width);
    }
    const auto& [colour, size, translucent, dynamic] = m_look.sources;
    lines << QStringLiteral("Farbe %1: %2").arg(quoted(colour), origin(colour));
    lines << QStringLiteral("Größe %1 %2: %3").arg(sizeName(m_look.size), quoted(size), origin(size));
    lines << QStringLiteral("%1 %2: %3")
                 .arg(m_look.additive ? "Transparent (hellt den Hintergrund auf)" : "Deckend", quoted(translucent),
                      origin(translucent));
    lines << QStringLiteral("Dynamisch %1 %2: %3").arg(m_look.dynamic ? "an" : "aus", quoted(dynamic), origin(dynamic));
    if (shown.hasCrosshair && !game::shotsWidenCrosshair(shown)) {
        lines << QStringLiteral("%1: Angriffe öffnen das Crosshair nicht.").arg(qs(shown.display));
    }
    m_facts->setText(lines.join('\n'));
}

void CrosshairPreview::Command1_Click() {
    const game::CrosshairState state = weaponState();
    m_shotTimes = game::crosshairShotTimes(weapon(), state.secondMode, BurstShots);
    if (m_shotTimes.empty()) {
        return;
    }
    m_recoil = {.distance = static_cast<float>(game::crosshairDistance(state).value_or(0)), .alpha = 255};
    m_shotsFired = 0;
    m_burstFrame = 0;
    m_burstTimer->start();
    burstFrame();
}

void CrosshairPreview::burstFrame() {
    const int distance = game::crosshairDistance(weaponState()).value_or(0);
    // A shot comes in the first frame at or after the time it is due, at most one a frame.
    const bool shot = m_shotsFired < m_shotTimes.size() && m_shotTimes[m_shotsFired] <= m_burstFrame * FrameMs;
    m_shotsFired += shot ? 1 : 0;
    m_recoil = game::nextCrosshairFrame(m_recoil, distance, weapon().delta, shot);
    refresh();
    ++m_burstFrame;
    const bool atRest = m_recoil.distance <= static_cast<float>(distance) && m_recoil.alpha >= 255;
    if (m_shotsFired == m_shotTimes.size() && atRest) {
        m_burstTimer->stop();
        m_burstFrame = -1;
        refresh();
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
