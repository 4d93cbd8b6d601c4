#include "windows/mainwindow.h"

#include "config/save_userconfig.h"
#include "config/settings_catalogue.h"
#include "config/userconfig.h"
#include "platform/save_services_adapter.h"
#include "platform/secondary_window.h"
#include "platform/text_box.h"
#include "platform/window_services.h"
#include "windows/aboutwindow.h"
#include "windows/artwork.h"
#include "windows/buymenu.h"
#include "windows/controls.h"
#include "windows/style.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>
#include <array>
#include <limits>

namespace setforge::windows {
namespace {

using config::SettingKind;
using config::SettingsCatalogue;
using config::SettingsFrame;
using config::SettingSpec;

constexpr int RowPitch = 360; // twips from one setting row to the next

struct RowPlacement {
    std::string_view key;
    int controlTop;             // lists sit a little higher than their label in some rows
    std::string_view container; // the picture box that makes an option pair its own group
    std::array<int, 3> widths;  // option widths, left to right
};

// clang-format off
// key, control top, option container, option widths (twips)
constexpr std::array<RowPlacement, 20> Placements {{
    {"hud_fastswitch",           720,  "Picture5",  {495, 1095, 0}},
    {"brightness",               1080, "",          {}},
    {"gamma",                    1440, "",          {}},
    {"cl_weather",               1800, "Picture6",  {855, 855, 0}},
    {"cl_crosshair_size",        2160, "Picture7",  {855, 855, 855}},
    {"cl_crosshair_color",       2460, "",          {}},
    {"cl_crosshair_translucent", 2880, "Picture8",  {495, 735, 0}},
    {"cl_dynamiccrosshair",      3240, "Picture9",  {495, 735, 0}},
    {"himodels",                 3600, "Picture10", {495, 735, 0}},
    {"cl_righthand",             3960, "Picture11", {855, 975, 0}},
    {"cl_shadows",               4320, "Picture12", {495, 735, 0}},
    {"fastsprites",              4620, "",          {}},
    {"hisound",                  5040, "Picture13", {495, 735, 0}},
    {"hud_centerid",             5400, "Picture14", {495, 735, 0}},
    {"_vgui_menus",              5760, "Picture15", {855, 975, 0}},
    {"cl_bob",                   6060, "",          {}},
    {"cl_allowdownload",         360,  "Picture16", {495, 735, 0}},
    {"cl_allowupload",           720,  "Picture17", {495, 735, 0}},
    {"net_graph",                1020, "",          {}},
    {"net_graphpos",             1380, "",          {}},
}};
// clang-format on

const RowPlacement& placementOf(std::string_view key) {
    for (const RowPlacement& p : Placements) {
        if (p.key == key) {
            return p;
        }
    }
    throw std::logic_error("setting without a place on the main window");
}

QString labelName(const SettingSpec& setting) {
    // The general frame's labels form one indexed family; the internet frame's are single labels.
    return setting.frame == SettingsFrame::General ? QStringLiteral("Label2_%1").arg(setting.row - 2)
                                                   : QStringLiteral("Label%1").arg(setting.row + 2);
}

void setBoxColours(QWidget* box, int grey) {
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, QColor(grey, grey, grey));
    palette.setColor(QPalette::Button, QColor(grey, grey, grey));
    palette.setColor(QPalette::Text, Qt::black);
    palette.setColor(QPalette::ButtonText, Qt::black);
    box->setPalette(palette);
}

} // namespace

MainWindow::MainWindow(platform::WindowServices& services, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
    , m_services(services) {
    setUpWindow(this, "HauptFrame", "Halvren", 11430, 8055);
    setWindowIcon(artwork::windowIcon());

    buildTitleArea();
    buildSettingFrames();
    buildFreeTextFrame();
    buildButtons();
    setTabOrderByRows();
}

void MainWindow::setTabOrderByRows() {
    // Top to bottom as the rows stand on screen: the strip's pictures, the general frame,
    // the internet frame, the free text, then the buttons from left to right.
    std::vector<QWidget*> order{findChild<QWidget*>("Image2"), findChild<QWidget*>("Picture2"),
                                findChild<QWidget*>("Picture3"), m_nickname};
    std::vector<const SettingSpec*> byPlace;
    for (const SettingSpec& setting : SettingsCatalogue) {
        byPlace.push_back(&setting);
    }
    std::ranges::sort(byPlace, {}, [](const SettingSpec* s) { return std::pair(s->frame, s->row); });
    for (const SettingSpec* setting : byPlace) {
        if (setting->kind == SettingKind::List) {
            order.push_back(findChild<QWidget*>(qs(setting->listControl)));
        } else {
            for (const config::ChoiceSpec& choice : setting->choices) {
                order.push_back(findChild<QWidget*>(qs(choice.control)));
            }
        }
    }
    order.push_back(m_freeText);
    for (const char* button : {"Command2", "Command3", "Command4", "Command1"}) {
        order.push_back(findChild<QWidget*>(button));
    }
    chainTabOrder(order);
}

MainWindow::~MainWindow() {
    delete m_about;
    delete m_buyMenu;
}

void MainWindow::buildTitleArea() {
    // Created bottom to top: the banner covers the close picture, which covers the minimise
    // picture, which covers the strip, so each shows 17 pixels of its height.
    m_strip = new PictureBox(this, "Picture1", twipsRect(0, 0, 10980, 375), artwork::titleStrip());
    connect(m_strip, &PictureBox::pressed, this, &MainWindow::Picture1_MouseDown);

    auto* about = new PictureBox(m_strip, "Image2", twipsRect(10735, 25, 195, 195), artwork::aboutIcon());
    about->actAsButton("Informationen über Programm", "Zeigt das Fenster mit Informationen über das Programm");
    connect(about, &PictureBox::clicked, this, &MainWindow::Image2_Click);

    auto* minimise = new PictureBox(this, "Picture2", twipsRect(10965, 0, 855, 255), artwork::minimiseButton());
    minimise->actAsButton("Minimieren", "Legt das Fenster in der Taskleiste ab");
    connect(minimise, &PictureBox::clicked, this, &MainWindow::Picture2_Click);

    auto* close = new PictureBox(this, "Picture3", twipsRect(11190, 0, 225, 405), artwork::closeButton());
    close->actAsButton("Beenden", "Beendet das Programm, ohne zu speichern");
    connect(close, &PictureBox::clicked, this, &MainWindow::Picture3_Click);

    m_strip->setAccessibleName("Titelleiste");
    m_strip->setAccessibleDescription("Mit der linken Maustaste ziehen, um das Fenster zu verschieben");
    auto* banner = new PictureBox(this, "Picture4", twipsRect(0, 255, 11445, 630), artwork::banner());
    banner->setAccessibleName(ProductTitle);
    banner->addLine(QLine(px(0), px(615), px(0), px(630)));
    banner->addLine(QLine(px(11400), px(615), px(11430), px(630)));
}

void MainWindow::buildSettingFrames() {
    auto* general = new FrameBox(this, "Frame1_0", qs(config::frameCaption(SettingsFrame::General)),
                                 twipsRect(120, 960, 5535, 6495), boldCaptionFont(), CaptionOrange);
    auto* internet = new FrameBox(this, "Frame1_1", qs(config::frameCaption(SettingsFrame::Internet)),
                                  twipsRect(5760, 960, 5535, 1815), boldCaptionFont(), CaptionOrange);

    makeLabel(general, "Label1", "Nickname", twipsRect(240, 360, 2235, 255));
    m_nickname = new QLineEdit(general);
    m_nickname->setObjectName("Text1");
    m_nickname->setGeometry(twipsRect(2520, 360, 2895, 285));
    m_nickname->setMaxLength(std::numeric_limits<int>::max());
    setBoxColours(m_nickname, 227);

    for (const SettingSpec& setting : SettingsCatalogue) {
        QWidget* frame = setting.frame == SettingsFrame::General ? general : internet;
        const RowPlacement& place = placementOf(setting.key);
        makeLabel(frame, labelName(setting), qs(setting.label), twipsRect(240, RowPitch * setting.row, 2235, 255));

        if (setting.kind == SettingKind::List) {
            auto* list = new QComboBox(frame);
            list->setObjectName(qs(setting.listControl));
            list->setGeometry(twipsRect(2520, place.controlTop, 2895, 315));
            list->setEditable(false);
            setBoxColours(list, setting.listControl == "c2" ? 227 : 224);
            for (const config::ChoiceSpec& choice : setting.choices) {
                list->addItem(qs(choice.display));
            }
            list->setCurrentIndex(-1);
            if (setting.key == "gamma") {
                m_gamma = list;
            }
        } else {
            // Each pair stands alone in its own picture box, so choosing in one never clears another.
            auto* container = new QWidget(frame);
            container->setObjectName(qs(place.container));
            container->setGeometry(twipsRect(2520, place.controlTop, 2895, 255));
            for (std::size_t i = 0; i < setting.choices.size(); ++i) {
                auto* option = new QRadioButton(qs(setting.choices[i].display), container);
                option->setObjectName(qs(setting.choices[i].control));
                option->setGeometry(twipsRect(840 * static_cast<int>(i), 0, place.widths[i], 255));
            }
        }
    }
}

void MainWindow::buildFreeTextFrame() {
    auto* manual = new FrameBox(this, "Frame1_2", "Manuell bearbeiten", twipsRect(5760, 2820, 5535, 4635),
                                boldCaptionFont(), CaptionOrange);
    auto* hint = makeLabel(manual, "Label10",
                           "Hier kannst du deine eigenen, hier nicht aufgelisteten Befehle eintragen oder Bind "
                           "hinzufügen.",
                           twipsRect(240, 300, 5115, 495));
    hint->setWordWrap(true);
    hint->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    m_freeText = new QPlainTextEdit(manual);
    m_freeText->setObjectName("Text2");
    m_freeText->setGeometry(twipsRect(120, 720, 5295, 3735));
    m_freeText->setLineWrapMode(QPlainTextEdit::NoWrap);
    setBoxColours(m_freeText, 224);
}

void MainWindow::buildButtons() {
    struct ButtonSpec {
        const char* name;
        QString caption;
        int left, width;
        void (MainWindow::*handler)();
    };
    // clang-format off
    const std::array<ButtonSpec, 4> buttons {{
        {"Command2", PartnerName + " Website besuchen", 120,  2715, &MainWindow::Command2_Click},
        {"Command3", "Informationen über Programm",     2880, 2775, &MainWindow::Command3_Click},
        {"Command4", "Buy-Script erstellen",            5775, 2760, &MainWindow::Command4_Click},
        {"Command1", "Config erstellen",                8580, 2715, &MainWindow::Command1_Click},
    }};
    // clang-format on
    for (const ButtonSpec& b : buttons) {
        auto* button = new QPushButton(b.caption, this);
        button->setObjectName(b.name);
        button->setGeometry(twipsRect(b.left, 7560, b.width, 375));
        connect(button, &QPushButton::clicked, this, b.handler);
    }
}

config::SettingsState MainWindow::snapshot() const {
    config::SettingsState state;
    state.nickname = m_nickname->text().toStdString();
    for (const SettingSpec& setting : SettingsCatalogue) {
        std::string& field = state.*setting.field;
        if (setting.kind == SettingKind::List) {
            field = findChild<QComboBox*>(qs(setting.listControl))->currentText().toStdString();
            continue;
        }
        const auto* container = findChild<QWidget*>(qs(placementOf(setting.key).container));
        for (const auto* option : container->findChildren<QRadioButton*>()) {
            if (option->isChecked()) {
                field = option->objectName().toStdString();
            }
        }
    }
    state.manual_text = platform::wholeText(m_freeText).toStdString();
    return state;
}

void MainWindow::insertIntoFreeText(const QString& line) {
    platform::insertLineAtCaret(m_freeText, line);
}

void MainWindow::showCentred() {
    platform::centreOnScreen(this);
    show();
    m_gamma->setFocus(Qt::OtherFocusReason);
}

void MainWindow::Command1_Click() {
    // A name the game would refuse is caught before the player picks a file.
    if (const auto refusal = config::nicknameRefusal(m_nickname->text().toStdString())) {
        m_services.showMessage(this, {}, QString::fromStdString(*refusal), platform::MessageIcon::Warning);
        m_nickname->setFocus(Qt::OtherFocusReason);
        return;
    }
    platform::SaveServicesAdapter services(m_services, this);
    const config::SaveResult result = config::saveUserconfig(services, [this] { return snapshot(); });
    if (result.outcome == config::SaveOutcome::Failed) {
        m_services.showMessage(this, {}, QString::fromStdString(config::saveFailureMessage(result)),
                               platform::MessageIcon::Warning);
    }
}

void MainWindow::Command2_Click() {
    m_services.openWebAddress(this, PartnerUrl);
}

void MainWindow::Command3_Click() {
    platform::showSecondaryWindow(m_about, [this] { return new AboutWindow(m_services); });
}

void MainWindow::Command4_Click() {
    platform::showSecondaryWindow(m_buyMenu, [this] {
        return new BuyMenu(m_services, [this](const QString& line) { insertIntoFreeText(line); });
    });
}

void MainWindow::Image2_Click() {
    Command3_Click();
}

void MainWindow::Picture1_MouseDown(const QMouseEvent& event) {
    m_services.dragByStrip(m_strip, event);
}

void MainWindow::Picture2_Click() {
    m_services.minimise(this);
}

void MainWindow::Picture3_Click() {
    m_services.endProgram();
}

void MainWindow::paintEvent(QPaintEvent* /*event*/) {
    // Left, bottom and right edge below the banner.
    paintLines(this, {{0, 855, 0, 8115}, {0, 8040, 11415, 8040}, {11415, 8100, 11415, 870}});
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // A close from the window system ends the program just as the close picture does.
    event->accept();
    m_services.endProgram();
}

} // namespace setforge::windows
