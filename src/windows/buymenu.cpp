#include "windows/buymenu.h"

#include "buyscript/buy_catalogue.h"
#include "buyscript/weapon_sheets.h"
#include "game/ascii.h"
#include "platform/secondary_window.h"
#include "platform/window_services.h"
#include "windows/artwork.h"
#include "windows/controls.h"
#include "windows/key_box.h"
#include "windows/style.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>

#include <algorithm>
#include <array>
#include <limits>
#include <map>
#include <set>

namespace setforge::windows {
namespace {

using buyscript::TeamSide;

enum class CaptionStyle { BoldOrange, Plain };

struct FrameRow {
    const char* name;
    std::string_view group;
    int left, top, width, height;
    CaptionStyle caption;
    int firstItemTop; // twips from the frame's top to its first check box
};

// clang-format off
// frame, caption (the items' group), left, top, width, height (twips), caption style, first item's top.
// "RIFLES" holds ten rows, so the middle column and the window are one row (360 twips) taller than
// nine rows would need, and the two other columns reach down as far. Below them a line across the
// window says what the key box knows about the key.
constexpr std::array<FrameRow, 7> ItemFrames {{
    {"Frame1", "Pistols",        120,  360,  3015, 2415, CaptionStyle::BoldOrange, 240},
    {"Frame2", "SHOTGUNS",       120,  2880, 3015, 975,  CaptionStyle::Plain,      240},
    {"Frame3", "SUBMACHINE GUN", 120,  3960, 3015, 2415, CaptionStyle::BoldOrange, 240},
    {"Frame4", "RIFLES",         3240, 360,  3015, 3855, CaptionStyle::BoldOrange, 240},
    {"Frame6", "MACHINE GUNS",   3240, 4320, 3015, 615,  CaptionStyle::BoldOrange, 240},
    {"Frame8", "AMMO",           3240, 5040, 3015, 1335, CaptionStyle::BoldOrange, 480},
    {"Frame5", "EQUIPMENT",      6360, 360,  3015, 3135, CaptionStyle::BoldOrange, 240},
}};
// clang-format on

[[nodiscard]] constexpr std::size_t frameOf(std::string_view group) {
    for (std::size_t index = 0; index < ItemFrames.size(); ++index) {
        if (ItemFrames[index].group == group) {
            return index;
        }
    }
    throw "an item's group has no frame"; // not a constant expression: fails to compile
}

// The frame of every catalogue item, in catalogue order; a group without a frame fails to compile.
constexpr auto ItemFrameIndex = [] {
    std::array<std::size_t, buyscript::BuyCatalogue.size()> index{};
    for (std::size_t item = 0; item < index.size(); ++item) {
        index[item] = frameOf(buyscript::BuyCatalogue[item].group);
    }
    return index;
}();

artwork::MarkerColour markerColourOf(TeamSide side) {
    switch (side) {
    case TeamSide::AntiTerrorist:
        return artwork::MarkerColour::Blue;
    case TeamSide::Terrorist:
        return artwork::MarkerColour::Red;
    case TeamSide::BothSides:
        break;
    }
    return artwork::MarkerColour::Green;
}

} // namespace

void ShowWeaponSheet(platform::WindowServices& services, QWidget* parent, std::int16_t markerIndex) {
    if (const auto sheet = buyscript::WeaponSheetFor(markerIndex)) {
        services.showMessage(parent, QString::fromStdString(sheet->title), QString::fromStdString(sheet->text),
                             platform::MessageIcon::None);
    }
}

BuyMenu::BuyMenu(platform::WindowServices& services, std::function<void(const QString&)> insertLine,
                 BuyMenuContext context)
    : FramedWindow(services, {.name = "BuyMenu",
                              .title = "Buy-Script erstellen",
                              .widthTwips = 9495,
                              .heightTwips = 6900,
                              .stripName = "Picture1",
                              .strip = twipsRect(8, 0, 9240, 255),
                              .closePicture = twipsRect(9240, 0, 240, 255),
                              .closeDescription = "Schließt das Fenster, ohne ein Buy-Script zu erstellen",
                              .borderLines = {{9480, 0, 9480, 7725}, {0, 7605, 0, 0}, {0, 6885, 9960, 6885}}})
    , m_insertLine(std::move(insertLine))
    , m_context(std::move(context)) {
    if (m_context.freeText) {
        m_textBindings = game::keyBindings(m_context.freeText());
    }
    // The game runs config.cfg before userconfig.cfg: its binds hold unless the free text changes them.
    if (!m_context.gameConfigPath.isEmpty()) {
        if (const platform::ReadResult read = services.readConfigFile(m_context.gameConfigPath); read.ok) {
            m_configBindings = game::keyBindings(
                std::string_view(read.bytes.constData(), static_cast<std::size_t>(read.bytes.size())));
        }
    }
    connect(strip(), &PictureBox::pressed, this, &BuyMenu::Picture1_MouseDown);
    // Escape clicks the close picture too: it cancels, like "Abbruch".
    connect(closePicture(), &PictureBox::clicked, this, &BuyMenu::Image1_Click);

    buildItemFrames();
    buildCreatePanel();

    // Column by column, each frame top to bottom, a check box before its marker; then the panel.
    std::vector<QWidget*> order{closePicture()};
    for (const FrameRow& frame : ItemFrames) {
        auto inFrame = findChild<QWidget*>(frame.name)->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        std::ranges::sort(inFrame, {}, [](const QWidget* control) { return std::pair(control->y(), control->x()); });
        order.insert(order.end(), inFrame.begin(), inFrame.end());
    }
    for (const char* name : {"Text1", "Command1", "Command3", "Command2"}) {
        order.push_back(findChild<QWidget*>(name));
    }
    chainTabOrder(order);
    showKeyStatus();
}

void BuyMenu::editBind(const buyscript::BuyBind& bind, std::size_t line) {
    m_editLine = line;
    m_kept = bind.unknown;
    m_key->setText(QString::fromStdString(bind.key));
    for (QCheckBox* box : m_itemBoxes) {
        box->setChecked(bind.ticked.contains(box->objectName().toStdString()));
    }
    showKeyStatus();
}

void BuyMenu::showKeyStatus() {
    if (!m_keyNote.isEmpty()) {
        m_keyNoteLabel->setText(m_keyNote);
        return;
    }
    const std::string typed = m_key->text().toStdString();
    const std::string key = game::bindableKey(typed);
    QString shown = QString::fromStdString(key.size() == 1 ? std::string(1, game::upperAscii(key[0])) : key);
    QString status;
    const game::KeyBinding* inText = game::bindingOf(m_textBindings, key);
    const game::KeyBinding* inConfig = game::bindingOf(m_configBindings, key);
    if (m_editLine && inText != nullptr && inText->line == *m_editLine) {
        status = QStringLiteral("Ändert das Buy-Script in Zeile %1.").arg(*m_editLine);
    } else if (inText != nullptr) {
        status = QStringLiteral("%1 ist belegt: %2 (Zeile %3)")
                     .arg(shown, QString::fromStdString(inText->command))
                     .arg(inText->line);
    } else if (inConfig != nullptr) {
        status = QStringLiteral("%1 ist belegt: %2 (config.cfg)").arg(shown, QString::fromStdString(inConfig->command));
    } else if (!typed.empty() && !game::isGameKey(typed)) {
        status = QStringLiteral("Das Spiel kennt keine Taste „%1“.").arg(m_key->text());
    }
    if (!m_kept.empty()) {
        QStringList kept;
        for (const std::string& word : m_kept) {
            kept << QString::fromStdString(word);
        }
        status += QStringLiteral(" Bleibt erhalten (kein Eintrag des Fensters): %1").arg(kept.join(", "));
    }
    m_keyNoteLabel->setText(status.trimmed());
}

bool BuyMenu::confirmKeyInUse(const std::string& key) {
    const game::KeyBinding* inText = game::bindingOf(m_textBindings, key);
    if (inText != nullptr && m_editLine && inText->line != *m_editLine) {
        const QString question = QStringLiteral("Die Taste %1 ist im eigenen Text auch in Zeile %2 belegt: %3.\r\n\r\n"
                                                "Im Spiel gilt die spätere Zeile. Trotzdem so ändern?")
                                     .arg(QString::fromStdString(key))
                                     .arg(inText->line)
                                     .arg(QString::fromStdString(inText->command));
        return services().askQuestion(this, question, "Ändern", "Abbrechen");
    }
    if (inText != nullptr && !m_editLine) {
        const QString question = QStringLiteral("Die Taste %1 ist im eigenen Text schon belegt: %2 (Zeile %3).\r\n\r\n"
                                                "Diese Zeile durch das Buy-Script ersetzen?")
                                     .arg(QString::fromStdString(key), QString::fromStdString(inText->command))
                                     .arg(inText->line);
        if (!services().askQuestion(this, question, "Ersetzen", "Abbrechen")) {
            return false;
        }
        m_editLine = inText->line;
        return true;
    }
    const game::KeyBinding* inConfig = game::bindingOf(m_configBindings, key);
    if (inConfig != nullptr && inText == nullptr) {
        const QString question = QStringLiteral("Die Taste %1 ist in config.cfg belegt: %2.\r\n\r\n"
                                                "Das Buy-Script ersetzt diese Belegung im Spiel. Trotzdem einfügen?")
                                     .arg(QString::fromStdString(key), QString::fromStdString(inConfig->command));
        return services().askQuestion(this, question, "Einfügen", "Abbrechen");
    }
    return true;
}

PictureBox* BuyMenu::addMarker(QWidget* parent, std::int16_t index, int left, int top, artwork::MarkerColour colour) {
    auto* marker = new PictureBox(parent, QStringLiteral("Image2_%1").arg(index), twipsRect(left, top, 195, 195),
                                  artwork::marker(colour));
    marker->setCursor(Qt::PointingHandCursor);
    connect(marker, &PictureBox::clicked, this, [this, index] { Image2_Click(index); });
    return marker;
}

void BuyMenu::buildItemFrames() {
    std::array<QWidget*, ItemFrames.size()> frames{};
    for (std::size_t index = 0; index < ItemFrames.size(); ++index) {
        const FrameRow& frame = ItemFrames[index];
        const bool plain = frame.caption == CaptionStyle::Plain;
        frames[index] = new FrameBox(
            this, frame.name, qs(frame.group), twipsRect(frame.left, frame.top, frame.width, frame.height),
            plain ? platform::interfaceFont() : platform::interfaceFont(true), plain ? Qt::black : CaptionOrange);
    }

    std::array<int, ItemFrames.size()> rowsSoFar{};
    for (std::size_t itemIndex = 0; itemIndex < buyscript::BuyCatalogue.size(); ++itemIndex) {
        const buyscript::BuyItem& item = buyscript::BuyCatalogue[itemIndex];
        const std::size_t frameIndex = ItemFrameIndex[itemIndex];
        QWidget* frame = frames[frameIndex];
        const int top = ItemFrames[frameIndex].firstItemTop + 360 * rowsSoFar[frameIndex]++;
        auto* box = new QCheckBox(qs(item.caption), frame);
        box->setObjectName(qs(item.checkBox));
        box->setGeometry(twipsRect(120, top, 2535, 255));
        m_itemBoxes.push_back(box);
        const QString caption = qs(item.caption);
        addMarker(frame, item.pictureIndex, 2760, top, markerColourOf(item.side))
            ->actAsButton("Waffeninformation: " + caption, "Zeigt die Waffeninformation zu " + caption);
    }
}

void BuyMenu::buildCreatePanel() {
    auto* panel = new FrameBox(this, "Frame7", "Erstellen", twipsRect(6360, 3600, 3015, 2775),
                               platform::interfaceFont(true), CaptionOrange);
    makeLabel(panel, "Label1", "Taste", twipsRect(120, 240, 2655, 255));
    m_key = new KeyBox("F11", panel);
    m_key->setObjectName("Text1");
    m_key->setGeometry(twipsRect(1080, 240, 1815, 285));
    m_key->setAccessibleDescription("Taste drücken, Maustaste im Feld drücken oder Mausrad drehen");
    m_keyNoteLabel = makeLabel(this, "Label8", {}, twipsRect(120, 6420, 9255, 420));
    m_keyNoteLabel->setWordWrap(true);
    m_keyNoteLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    connect(m_key, &KeyBox::keyNote, this, [this](const QString& note) {
        m_keyNote = note;
        showKeyStatus();
    });
    connect(m_key, &QLineEdit::textChanged, this, [this] { showKeyStatus(); });
    panel->addLine(QLine(px(0), px(600), px(3000), px(600)), QColor(128, 128, 128));

    // The legend of the marker colours; the blanks set the '=' signs roughly under one another.
    makeLabel(panel, "Label7", "Terrorist" + QString(21, ' ') + "=", twipsRect(375, 720, 1695, 255));
    addMarker(panel, 36, 2415, 720, artwork::MarkerColour::Red)->setAccessibleName("Markierung: Terrorist");
    makeLabel(panel, "Label6", "Anti Terrorist" + QString(14, ' ') + "=", twipsRect(375, 960, 1695, 255));
    addMarker(panel, 35, 2415, 960, artwork::MarkerColour::Blue)->setAccessibleName("Markierung: Anti Terrorist");
    makeLabel(panel, "Label5", "Auf beiden Seiten" + QString(6, ' ') + "=", twipsRect(360, 1200, 1695, 255));
    addMarker(panel, 34, 2415, 1200, artwork::MarkerColour::Green)->setAccessibleName("Markierung: Auf beiden Seiten");

    struct ButtonRow {
        const char* name;
        const char* caption;
        int top;
        void (BuyMenu::*handler)();
    };
    // clang-format off
    const std::array<ButtonRow, 3> buttons {{
        {"Command1", "Buy Script Erstellen", 1560, &BuyMenu::Command1_Click},
        {"Command3", "Infos zum Buy Script", 1800, &BuyMenu::Command3_Click},
        {"Command2", "Abbruch",              2040, &BuyMenu::Command2_Click},
    }};
    // clang-format on
    for (const ButtonRow& row : buttons) {
        auto* button = new QPushButton(row.caption, panel);
        button->setObjectName(row.name);
        button->setGeometry(twipsRect(480, row.top, 2175, 255));
        connect(button, &QPushButton::clicked, this, row.handler);
    }
}

void BuyMenu::Command1_Click() {
    const std::string key = m_key->text().toStdString();
    if (!game::isGameKey(key)) {
        // The window stays open with its ticks and key, so the player only corrects the key.
        services().showMessage(this, {}, QString::fromStdString(game::unknownKeyMessage(key)),
                               platform::MessageIcon::Warning);
        m_key->setFocus(Qt::OtherFocusReason);
        return;
    }
    std::set<std::string> ticked;
    for (const QCheckBox* box : m_itemBoxes) {
        if (box->isChecked()) {
            ticked.insert(box->objectName().toStdString());
        }
    }
    if (!confirmKeyInUse(game::bindableKey(key))) {
        return;
    }
    const std::string line = buyscript::ComposeBuyScript(key, ticked, m_kept);
    if (m_editLine && m_context.replaceLine) {
        QString lineText = QString::fromStdString(line);
        lineText.chop(2); // the line keeps its own line break
        m_context.replaceLine(*m_editLine, lineText);
    } else {
        m_insertLine(QString::fromStdString(line));
    }
    platform::closeSecondaryWindow(this);
}

void BuyMenu::Command2_Click() {
    platform::closeSecondaryWindow(this);
}

void BuyMenu::Command3_Click() {
    services().showMessage(this, qs(buyscript::BuyScriptInfoTitle),
                           QString::fromStdString(buyscript::buyScriptInfoText()), platform::MessageIcon::Information);
}

void BuyMenu::Image1_Click() {
    Command2_Click();
}

void BuyMenu::Image2_Click(std::int16_t index) {
    ShowWeaponSheet(services(), this, index);
}

void BuyMenu::Picture1_MouseDown(const QMouseEvent& event) {
    dragByStrip(event);
}

} // namespace setforge::windows
