#include "windows/mainwindow.h"

#include "config/box_text.h"
#include "config/crosshair.h"
#include "config/load_userconfig.h"
#include "config/save_userconfig.h"
#include "config/settings_catalogue.h"
#include "config/userconfig.h"
#include "game/bindings.h"
#include "platform/secondary_window.h"
#include "platform/text_box.h"
#include "platform/userconfig_saving.h"
#include "platform/window_services.h"
#include "windows/aboutwindow.h"
#include "windows/artwork.h"
#include "windows/buymenu.h"
#include "windows/choice_release.h"
#include "windows/controls.h"
#include "windows/crosshairpreview.h"
#include "windows/document_state.h"
#include "windows/file_drop.h"
#include "windows/finding_marks.h"
#include "windows/key_box.h"
#include "windows/setting_rows.h"
#include "windows/start_pictures.h"
#include "windows/style.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QTextDocument>
#include <QTimer>

#include <algorithm>
#include <array>
#include <limits>
#include <numeric>

namespace setforge::windows {
namespace {

// The free-text frame's caption; the finding count stands right of it.
constexpr const char* FreeTextCaption = "Manuell bearbeiten";

using config::SettingKind;
using config::SettingsCatalogue;
using config::SettingSpec;

constexpr int RowPitch = 360; // twips from one setting row to the next

QString labelName(const SettingRow& place) {
    // The general frame's labels form one indexed family; the internet frame's are single labels.
    return place.frame == SettingsFrame::General ? QStringLiteral("Label2_%1").arg(place.row - 2)
                                                 : QStringLiteral("Label%1").arg(place.row + 2);
}

// How long the note after a save stays in the title strip.
constexpr int SavedNoteMs = 6000;

// TAB moves the focus on from the free text; Ctrl+TAB types the character itself.
class TabTyping final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            const auto* press = static_cast<QKeyEvent*>(event);
            if (press->key() == Qt::Key_Tab && press->modifiers() == Qt::ControlModifier) {
                static_cast<QPlainTextEdit*>(watched)->insertPlainText(QStringLiteral("\t"));
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

// The take-over of a line's value into a control, undone and redone with the text in one step.
class ChoiceUndo final : public QAbstractUndoItem {
public:
    ChoiceUndo(std::function<void()> undo, std::function<void()> redo)
        : m_undo(std::move(undo))
        , m_redo(std::move(redo)) {}
    void undo() override { m_undo(); }
    void redo() override { m_redo(); }

private:
    std::function<void()> m_undo, m_redo;
};

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
    setUpWindow(this, "HauptFrame", MakerName, 11430, 8055);

    buildTitleArea();
    buildSettingFrames();
    buildFreeTextFrame();
    buildButtons();
    setTabOrderByRows();
    buildFindingMarks();
    buildCrosshairPreviewButton();
    announceChanges();
    buildDocumentState();

    new FileDrop(this,
                 [this](const QString& path) {
                     return settleUnsavedChanges(QStringLiteral("eine andere Config geöffnet wird")) &&
                            openConfig(path);
                 },
                 {this, m_nickname, m_freeText->viewport()});
    auto* open = new QShortcut(QKeySequence::Open, this);
    connect(open, &QShortcut::activated, this, &MainWindow::openWithDialog);
    auto* save = new QShortcut(QKeySequence::Save, this);
    connect(save, &QShortcut::activated, this, &MainWindow::saveInPlace);
}

void MainWindow::buildDocumentState() {
    m_document = new DocumentState(
        m_freeText, [this] { return choices(); }, this);
    onChoiceChanged(m_document, &DocumentState::recheck);
    connect(m_document, &DocumentState::changed, this, &MainWindow::showDocumentState);
    m_noteTimer = new QTimer(this);
    m_noteTimer->setSingleShot(true);
    m_noteTimer->setInterval(SavedNoteMs);
    connect(m_noteTimer, &QTimer::timeout, this, [this] {
        m_stripNote.clear();
        showDocumentState();
    });
    showDocumentState();
}

void MainWindow::showDocumentState() {
    // The taskbar and the window list name the file; "[*]" becomes the unsaved mark.
    const QString& path = m_document->path();
    const QString name = QFileInfo(path).fileName();
    setWindowTitle(path.isEmpty() ? MakerName + QStringLiteral("[*]")
                                  : name + QStringLiteral("[*] \u2013 ") + MakerName);
    setWindowModified(m_document->isModified());
    QString note = m_stripNote;
    if (note.isEmpty() && !path.isEmpty()) {
        note = name + (m_document->isModified() ? QStringLiteral(" *") : QString());
    }
    if (note != m_shownNote) {
        // Painting the strip is a large part of the start; every keystroke reports a change.
        m_strip->setPicture(artwork::titleStrip(1.0, note));
        m_shownNote = note;
    }
    m_strip->setToolTip(path.isEmpty() ? QString() : QDir::toNativeSeparators(path));
    m_strip->setAccessibleDescription((note.isEmpty() ? QString() : note + QStringLiteral(". ")) +
                                      QStringLiteral("Mit der linken Maustaste ziehen, um das Fenster zu verschieben"));
}

QString MainWindow::currentPath() const {
    return m_document->path();
}

bool MainWindow::hasUnsavedChanges() const {
    return m_document->isModified();
}

void MainWindow::setTabOrderByRows() {
    // Top to bottom as the rows stand on screen: the strip's pictures, the general frame,
    // the internet frame, the free text, then the buttons from left to right.
    std::vector<QWidget*> order{findChild<QWidget*>("Image2"), findChild<QWidget*>("Picture2"),
                                findChild<QWidget*>("Picture3"), m_nickname};
    std::vector<std::size_t> byPlace(SettingRows.size());
    std::iota(byPlace.begin(), byPlace.end(), std::size_t{0});
    std::ranges::sort(byPlace, {}, [](std::size_t i) { return std::pair(SettingRows[i].frame, SettingRows[i].row); });
    for (const std::size_t index : byPlace) {
        const SettingControls& controls = m_settingControls[index];
        if (controls.list != nullptr) {
            order.push_back(controls.list);
        } else {
            order.insert(order.end(), controls.options.begin(), controls.options.end());
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
    delete m_crosshairPreview;
}

void MainWindow::buildCrosshairPreviewButton() {
    // In the free space right of the translucency choice; the preview is built on the first click.
    auto* button = new QPushButton("Vorschau…", m_generalFrame);
    button->setObjectName("Command5");
    button->setGeometry(twipsRect(4200, 2850, 1215, 300));
    button->setAccessibleDescription("Zeigt das Crosshair so, wie das Spiel es zeichnet");
    connect(button, &QPushButton::clicked, this, &MainWindow::Command5_Click);
    QWidget::setTabOrder(findChild<QWidget*>("o9"), button);
    m_previewButton = button;
}

template <typename Receiver> void MainWindow::onChoiceChanged(Receiver* receiver, void (Receiver::*react)()) {
    for (const SettingControls& controls : m_settingControls) {
        if (controls.list != nullptr) {
            connect(controls.list, &QComboBox::currentIndexChanged, receiver, react);
        }
        for (QRadioButton* option : controls.options) {
            connect(option, &QRadioButton::toggled, receiver, react);
        }
    }
    connect(m_nickname, &QLineEdit::textChanged, receiver, react);
}

void MainWindow::announceChanges() {
    onChoiceChanged(this, &MainWindow::stateChanged);
    connect(m_freeText, &QPlainTextEdit::textChanged, this, &MainWindow::stateChanged);
}

QRect MainWindow::crosshairRows() const {
    // From each row's label at the frame's left edge to its control's right end, with the button.
    QRect rows = m_previewButton->geometry();
    for (const SettingRow& place : SettingRows) {
        if (std::ranges::find(game::CrosshairCvars, place.key) != game::CrosshairCvars.end()) {
            const int top = std::min(RowPitch * place.row, place.controlTop);
            rows |= twipsRect(240, top, 5415 - 240, place.controlTop + 315 - top);
        }
    }
    return {m_generalFrame->mapToGlobal(rows.topLeft()), rows.size()};
}

void MainWindow::buildTitleArea() {
    // Created bottom to top: the banner covers the close picture, which covers the minimise
    // picture, which covers the strip, so each shows 17 pixels of its height.
    m_strip = new PictureBox(this, "Picture1", twipsRect(0, 0, 10980, 375), artwork::titleStrip());
    connect(m_strip, &PictureBox::pressed, this, &MainWindow::Picture1_MouseDown);

    auto* about = new PictureBox(m_strip, "Image2", twipsRect(10735, 25, 195, 195), start_pictures::aboutIcon());
    about->actAsButton("Informationen über Programm", "Zeigt das Fenster mit Informationen über das Programm");
    connect(about, &PictureBox::clicked, this, &MainWindow::Image2_Click);

    auto* minimise = new PictureBox(this, "Picture2", twipsRect(10965, 0, 855, 255), start_pictures::minimiseButton());
    minimise->actAsButton("Minimieren", "Legt das Fenster in der Taskleiste ab");
    connect(minimise, &PictureBox::clicked, this, &MainWindow::Picture2_Click);

    auto* close = new PictureBox(this, "Picture3", twipsRect(11190, 0, 225, 405), start_pictures::closeButton());
    close->actAsButton("Beenden",
                       "Beendet das Programm; fragt vorher, ob ungespeicherte Änderungen gespeichert werden sollen");
    connect(close, &PictureBox::clicked, this, &MainWindow::Picture3_Click);

    m_strip->setAccessibleName("Titelleiste");
    m_strip->setAccessibleDescription("Mit der linken Maustaste ziehen, um das Fenster zu verschieben");
    auto* banner = new PictureBox(this, "Picture4", twipsRect(0, 255, 11445, 630), start_pictures::banner());
    banner->setAccessibleName(ProductTitle);
    banner->addLine(QLine(px(0), px(615), px(0), px(630)));
    banner->addLine(QLine(px(11400), px(615), px(11430), px(630)));
}

void MainWindow::buildSettingFrames() {
    auto* general = new FrameBox(this, "Frame1_0", qs(frameCaption(SettingsFrame::General)),
                                 twipsRect(120, 960, 5535, 6495), platform::interfaceFont(true), CaptionOrange);
    auto* internet = new FrameBox(this, "Frame1_1", qs(frameCaption(SettingsFrame::Internet)),
                                  twipsRect(5760, 960, 5535, 1815), platform::interfaceFont(true), CaptionOrange);
    m_generalFrame = general;

    makeLabel(general, "Label1", "Nickname", twipsRect(240, 360, 2235, 255));
    m_nickname = new QLineEdit(general);
    m_nickname->setObjectName("Text1");
    m_nickname->setGeometry(twipsRect(2520, 360, 2895, 285));
    m_nickname->setMaxLength(std::numeric_limits<int>::max());
    setBoxColours(m_nickname, 227);

    for (std::size_t index = 0; index < SettingsCatalogue.size(); ++index) {
        const SettingSpec& setting = SettingsCatalogue[index];
        const SettingRow& place = SettingRows[index];
        SettingControls& controls = m_settingControls[index];
        QWidget* frame = place.frame == SettingsFrame::General ? general : internet;
        makeLabel(frame, labelName(place), qs(setting.label), twipsRect(240, RowPitch * place.row, 2235, 255));

        if (setting.kind == SettingKind::List) {
            controls.list = new QComboBox(frame);
            controls.list->setObjectName(qs(place.control));
            controls.list->setGeometry(twipsRect(2520, place.controlTop, 2895, 315));
            controls.list->setEditable(false);
            setBoxColours(controls.list, place.boxGrey);
            for (const config::ChoiceSpec& choice : setting.choices) {
                controls.list->addItem(qs(choice.display));
            }
            controls.list->setCurrentIndex(-1);
        } else {
            // Each pair stands alone in its own picture box, so choosing in one never clears another.
            auto* container = new QWidget(frame);
            container->setObjectName(qs(place.control));
            container->setGeometry(twipsRect(2520, place.controlTop, 2895, 255));
            for (std::size_t choice = 0; choice < setting.choices.size(); ++choice) {
                auto* option = new QRadioButton(qs(setting.choices[choice].display), container);
                option->setObjectName(qs(setting.choices[choice].control));
                option->setGeometry(twipsRect(840 * static_cast<int>(choice), 0, place.widths[choice], 255));
                controls.options.push_back(option);
            }
        }
        std::vector<QWidget*> releasing{controlOf(&setting)};
        releasing.insert(releasing.end(), controls.options.begin(), controls.options.end());
        offerChoiceRelease(releasing, [this, &setting] { releaseChoice(&setting); });
    }
    m_gamma = m_settingControls[rowOf("gamma")].list;
}

void MainWindow::buildFreeTextFrame() {
    auto* manual = new FrameBox(this, "Frame1_2", FreeTextCaption, twipsRect(5760, 2820, 5535, 4635),
                                platform::interfaceFont(true), CaptionOrange);
    m_freeTextFrame = manual;
    auto* hint = makeLabel(manual, "Label10",
                           "Hier kannst du deine eigenen, hier nicht aufgelisteten Befehle eintragen oder Bind "
                           "hinzufügen.",
                           twipsRect(240, 300, 5115, 495));
    hint->setWordWrap(true);
    hint->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    m_freeText = new FreeTextBox(manual);
    m_freeText->setObjectName("Text2");
    m_freeText->setGeometry(twipsRect(120, 720, 5295, 3735));
    m_freeText->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_freeText->setTabChangesFocus(true);
    m_freeText->installEventFilter(new TabTyping(m_freeText));
    setBoxColours(m_freeText, 224);
}

void MainWindow::buildFindingMarks() {
    // The count stands in the free-text frame's top edge, right of its caption, where no control is.
    QWidget* manual = m_freeTextFrame;
    const int captionEnd = 8 + QFontMetrics(platform::interfaceFont(true)).horizontalAdvance(FreeTextCaption) + 12;
    auto* count = new QLabel(manual);
    count->setObjectName("FindingCount");
    count->setGeometry(captionEnd, 0, manual->width() - captionEnd - 8,
                       QFontMetrics(platform::interfaceFont(true)).height());
    count->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    count->setAutoFillBackground(true);
    m_marks = new FindingMarks(
        m_freeText, count, [this] { return snapshot(); },
        [this](const config::SettingSpec& setting, const config::ChoiceSpec& choice) {
            takeOverChoice(setting, choice);
        });
    m_marks->setWindowControls({[this](const config::SettingSpec* setting) { releaseChoice(setting); },
                                [this](const config::SettingSpec* setting) { return controlOf(setting); }});

    // A choice or the nickname changes what a line of the free text overrides.
    for (const SettingControls& controls : m_settingControls) {
        if (controls.list != nullptr) {
            connect(controls.list, &QComboBox::currentIndexChanged, m_marks, &FindingMarks::scheduleCheck);
        }
        for (QRadioButton* option : controls.options) {
            connect(option, &QRadioButton::toggled, m_marks, &FindingMarks::scheduleCheck);
        }
    }
    connect(m_nickname, &QLineEdit::textChanged, m_marks, &FindingMarks::scheduleCheck);
    m_marks->setMenuExtension([this](QMenu* menu) {
        menu->addSeparator();
        menu->addAction("Taste einfügen…", this, [this] {
            askGameKey(this, [this](const QString& name) { platform::insertAtCaret(m_freeText, name); });
        });
    });

    auto* next = new QShortcut(QKeySequence(Qt::Key_F8), this);
    connect(next, &QShortcut::activated, m_marks, [this] { m_marks->goToNext(); });
    auto* previous = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F8), this);
    connect(previous, &QShortcut::activated, m_marks, [this] { m_marks->goToNext(true); });
}

void MainWindow::takeOverChoice(const config::SettingSpec& setting, const config::ChoiceSpec& choice) {
    const auto index = static_cast<std::size_t>(&setting - SettingsCatalogue.data());
    const std::string before = choices().*setting.field;
    const std::string after(m_settingControls.at(index).list != nullptr ? choice.display : choice.control);
    setChoice(index, after);
    // Joins the edit block the fix is made in, so that one undo brings back the line and the choice.
    m_freeText->document()->appendUndoItem(new ChoiceUndo([this, index, before] { setChoice(index, before); },
                                                          [this, index, after] { setChoice(index, after); }));
}

void MainWindow::setChoice(std::size_t index, const std::string& field) {
    const SettingControls& controls = m_settingControls.at(index);
    if (controls.list != nullptr) {
        controls.list->setCurrentIndex(controls.list->findText(QString::fromStdString(field), Qt::MatchExactly));
    }
    for (QRadioButton* option : controls.options) {
        // An exclusive pair cannot be cleared by unchecking its chosen button.
        option->setAutoExclusive(false);
        option->setChecked(option->objectName().toStdString() == field);
        option->setAutoExclusive(true);
    }
}

void MainWindow::releaseChoice(const config::SettingSpec* setting) {
    if (setting == nullptr) {
        m_nickname->clear();
        return;
    }
    const SettingControls& controls =
        m_settingControls.at(static_cast<std::size_t>(setting - SettingsCatalogue.data()));
    if (controls.list != nullptr) {
        controls.list->setCurrentIndex(-1);
    }
    for (QRadioButton* option : controls.options) {
        // An exclusive pair cannot be cleared by unchecking its chosen button.
        option->setAutoExclusive(false);
        option->setChecked(false);
        option->setAutoExclusive(true);
    }
}

QWidget* MainWindow::controlOf(const config::SettingSpec* setting) const {
    if (setting == nullptr) {
        return m_nickname;
    }
    const SettingControls& controls =
        m_settingControls.at(static_cast<std::size_t>(setting - SettingsCatalogue.data()));
    return controls.list != nullptr ? static_cast<QWidget*>(controls.list) : controls.options.front()->parentWidget();
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
    config::SettingsState state = choices();
    state.manual_text = config::decodeFromBox(platform::wholeText(m_freeText).toStdString());
    return state;
}

config::SettingsState MainWindow::choices() const {
    config::SettingsState state;
    state.nickname = m_nickname->text().toStdString();
    for (std::size_t index = 0; index < SettingsCatalogue.size(); ++index) {
        std::string& field = state.*SettingsCatalogue[index].field;
        const SettingControls& controls = m_settingControls[index];
        if (controls.list != nullptr) {
            field = controls.list->currentText().toStdString();
        }
        for (const QRadioButton* option : controls.options) {
            if (option->isChecked()) {
                field = option->objectName().toStdString();
            }
        }
    }
    return state;
}

void MainWindow::load(const config::SettingsState& state) {
    m_nickname->setText(QString::fromStdString(state.nickname));
    for (std::size_t index = 0; index < SettingsCatalogue.size(); ++index) {
        setChoice(index, state.*SettingsCatalogue[index].field);
    }
    platform::replaceText(m_freeText, QString::fromStdString(config::encodeForBox(state.manual_text)));
}

void MainWindow::insertIntoFreeText(const QString& line) {
    platform::insertLineAtCaret(m_freeText, line);
}

void MainWindow::showCentred() {
    platform::centreOnScreen(this);
    show();
    m_nickname->setFocus(Qt::OtherFocusReason);
}

bool MainWindow::openConfig(const QString& path) {
    const platform::ReadResult read = m_services.readConfigFile(path);
    config::LoadedConfig loaded;
    if (read.ok) {
        loaded = config::loadUserconfig(
            std::string_view(read.bytes.constData(), static_cast<std::size_t>(read.bytes.size())));
    } else {
        loaded.refusal = read.error.toStdString();
    }
    if (loaded.refusal) {
        m_services.showMessage(this, {},
                               QString::fromStdString(config::loadFailureMessage(
                                   QDir::toNativeSeparators(path).toStdString(), *loaded.refusal)),
                               platform::MessageIcon::Warning);
        return false;
    }
    load(loaded.state);
    m_document->markSaved(QFileInfo(path).absoluteFilePath());
    if (loaded.notice) {
        m_services.showMessage(this, {}, QString::fromStdString(*loaded.notice), platform::MessageIcon::Information);
    }
    return true;
}

void MainWindow::proposeSavePath(const QString& path) {
    m_document->setPath(QFileInfo(path).absoluteFilePath());
}

void MainWindow::openWithDialog() {
    if (!settleUnsavedChanges(QStringLiteral("eine andere Config geöffnet wird"))) {
        return;
    }
    config::OpenDialogRequest request = config::userconfigOpenRequest();
    if (!m_document->path().isEmpty()) {
        request.startFolder = QFileInfo(m_document->path()).absolutePath().toStdString();
    }
    if (const std::optional<QString> path = m_services.askOpenPath(this, request); path && !path->isEmpty()) {
        openConfig(*path);
    }
}

bool MainWindow::saveInPlace() {
    return save(m_document->path());
}

bool MainWindow::settleUnsavedChanges(const QString& before) {
    if (!m_document->isModified()) {
        return true;
    }
    const QString& path = m_document->path();
    const QString what =
        path.isEmpty()
            ? QStringLiteral("Die Einstellungen und der eigene Text im Fenster sind noch nicht "
                             "gespeichert.")
            : QStringLiteral("Die Änderungen an „%1“ sind noch nicht gespeichert.").arg(QDir::toNativeSeparators(path));
    const QString text = what + QStringLiteral("\r\n\r\nSollen sie gespeichert werden, bevor %1?").arg(before);
    switch (m_services.askAboutUnsavedChanges(this, text)) {
    case platform::UnsavedChoice::Save:
        return saveInPlace();
    case platform::UnsavedChoice::Discard:
        return true;
    case platform::UnsavedChoice::Cancel:
        break;
    }
    return false;
}

bool MainWindow::save(const QString& path) {
    // A name the game would refuse is caught before the player picks a file.
    if (const auto refusal = config::nicknameRefusal(m_nickname->text().toStdString())) {
        m_services.showMessage(this, {}, QString::fromStdString(*refusal), platform::MessageIcon::Warning);
        m_nickname->setFocus(Qt::OtherFocusReason);
        return false;
    }
    // A file that would not do in game what the window shows is saved only when the player says so.
    if (!m_marks->confirmSave(m_services, this)) {
        return false;
    }
    const auto take = [this] { return snapshot(); };
    config::SaveResult result;
    if (!path.isEmpty()) {
        // The file he opened or saved: writing it again is what he asked for, so no dialog and no question.
        result = platform::saveUserconfigTo(m_services, path, take);
    } else {
        config::SaveDialogRequest request = config::userconfigDialogRequest();
        if (!m_document->path().isEmpty()) {
            // Saving proposes the file in view, after the overwrite question.
            const QFileInfo current(m_document->path());
            request.startFolder = current.absolutePath().toStdString();
            request.proposedName = current.fileName().toStdString();
        }
        result = platform::saveUserconfig(m_services, this, take, request);
    }
    if (result.outcome == config::SaveOutcome::Failed) {
        m_services.showMessage(this, {}, QString::fromStdString(config::saveFailureMessage(result)),
                               platform::MessageIcon::Warning);
    }
    if (result.outcome != config::SaveOutcome::Saved) {
        return false;
    }
    const QString saved = QFileInfo(QString::fromStdString(result.path)).absoluteFilePath();
    m_stripNote = QStringLiteral("Gespeichert unter ") + QDir::toNativeSeparators(saved);
    m_noteTimer->start();
    m_document->markSaved(saved);
    return true;
}

void MainWindow::Command1_Click() {
    save({});
}

void MainWindow::Command2_Click() {
    m_services.openWebAddress(this, PartnerUrl);
}

void MainWindow::Command3_Click() {
    platform::showSecondaryWindow(m_about, [this] { return new AboutWindow(m_services); });
}

void MainWindow::Command4_Click() {
    const bool opening = m_buyMenu.isNull();
    platform::showSecondaryWindow(m_buyMenu, [this] {
        BuyMenuContext context{[this] { return snapshot().manual_text; }, gameConfigPath(),
                               [this](std::size_t line, const QString& text) {
                                   platform::replaceLine(
                                       m_freeText, static_cast<int>(line) - 1,
                                       QString::fromStdString(config::encodeForBox(text.toStdString())));
                               }};
        return new BuyMenu(
            m_services, [this](const QString& line) { insertIntoFreeText(line); }, std::move(context));
    });
    // With the caret on a buy bind, the window opens to change that bind where it stands.
    const int line = platform::caretLineNumber(m_freeText);
    const std::string text = config::decodeFromBox(platform::lineText(m_freeText, line).toStdString());
    if (const auto bind = buyscript::buyBindOnLine(text); opening && bind) {
        static_cast<BuyMenu*>(m_buyMenu.data())->editBind(*bind, static_cast<std::size_t>(line) + 1);
    }
}

QString MainWindow::gameConfigPath() const {
    // The game runs its own config.cfg from the folder of the config the player opened.
    if (m_document->path().isEmpty()) {
        return {};
    }
    const QString path = QFileInfo(m_document->path()).dir().filePath("config.cfg");
    return QFileInfo(path) == QFileInfo(m_document->path()) ? QString() : path;
}

void MainWindow::Command5_Click() {
    platform::showSecondaryWindow(m_crosshairPreview, [this] { return new CrosshairPreview(m_services, *this); });
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
    if (settleUnsavedChanges(QStringLiteral("das Programm endet"))) {
        m_services.endProgram();
    }
}

void MainWindow::paintEvent(QPaintEvent* /*event*/) {
    // Left, bottom and right edge below the banner.
    paintLines(this, {{0, 855, 0, 8115}, {0, 8040, 11415, 8040}, {11415, 8100, 11415, 870}});
    // The icon is no part of the window's picture: it is painted after the first one is on
    // screen, and the taskbar takes it from there.
    if (!m_iconScheduled) {
        m_iconScheduled = true;
        QTimer::singleShot(0, this, [this] { setWindowIcon(artwork::windowIcon()); });
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // A close from the window system ends the program just as the close picture does, and asks first
    // in the same way.
    if (!settleUnsavedChanges(QStringLiteral("das Programm endet"))) {
        event->ignore();
        return;
    }
    event->accept();
    m_services.endProgram();
}

} // namespace setforge::windows
