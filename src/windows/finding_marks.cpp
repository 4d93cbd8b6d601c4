#include "windows/finding_marks.h"

#include "config/box_text.h"
#include "platform/window_services.h"

#include <QContextMenuEvent>
#include <QElapsedTimer>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTimer>
#include <QToolTip>

#include <algorithm>
#include <string_view>

namespace setforge::windows {
namespace {

using config::ConfigFinding;
using config::FindingKind;

// Underlines beyond this many are left out: the count still says how many there are.
constexpr std::size_t MaxMarks = 1000;
// Findings listed in the question before a save; its box scrolls.
constexpr std::size_t MaxListed = 50;
// The pause after the last change before the text is checked again, at least.
constexpr int QuietMs = 250;

const QColor StopColour(210, 0, 0);  // the game will not do what the window or the line says
const QColor HintColour(0, 90, 210); // a key or name the game most likely does not have
// The message line's background, a light tint of the severity's colour.
const QColor StopTint(252, 232, 232);
const QColor HintTint(228, 238, 252);

// The UTF-16 units the box shows for the character starting at `byte` of the free text (0 inside
// one): CR LF is one block break; a character the box would hide (a lone CR, NUL and the other C0
// controls but TAB and LF, U+2028, U+2029) is a picture and a selector, and so is a selector of the
// text itself (it is doubled); a character beyond the BMP takes two units.
int boxUnits(std::string_view text, std::size_t byte) {
    const auto c = static_cast<unsigned char>(text[byte]);
    const auto next = [&](std::size_t k) {
        return byte + k < text.size() ? static_cast<unsigned char>(text[byte + k]) : 0U;
    };
    if (c == '\r' && next(1) == '\n') {
        return 0;
    }
    if ((c < 0x20 && c != '\t' && c != '\n') ||
        (c == 0xE2 && next(1) == 0x80 && (next(2) == 0xA8 || next(2) == 0xA9)) ||
        (c == 0xEF && next(1) == 0xB8 && next(2) == 0x8E)) {
        return 2;
    }
    if ((c & 0xC0) == 0x80) {
        return 0;
    }
    return c >= 0xF0 ? 2 : 1;
}

// Document positions for byte offsets of the free text, for `offsets` sorted ascending.
std::vector<int> documentPositions(std::string_view text, const std::vector<std::size_t>& offsets) {
    std::vector<int> positions;
    positions.reserve(offsets.size());
    int position = 0;
    std::size_t byte = 0;
    for (const std::size_t offset : offsets) {
        for (; byte < offset && byte < text.size(); ++byte) {
            position += boxUnits(text, byte);
        }
        positions.push_back(position);
    }
    return positions;
}

bool isLineBreak(char c) {
    return c == '\r' || c == '\n';
}

bool onWindowLine(const ConfigFinding& f) {
    return f.place == config::FindingPlace::WindowLine;
}

// A frame around a control whose line the game reads otherwise than the window shows; the mouse
// passes through it to the control.
class ControlFrame final : public QWidget {
public:
    ControlFrame(QWidget* control, const QColor& colour)
        : QWidget(control->parentWidget())
        , m_colour(colour) {
        setObjectName(QStringLiteral("FindingFrame"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        constexpr int Around = 2;
        setGeometry(control->geometry().adjusted(-Around, -Around, Around, Around));
        raise();
        show();
    }
    [[nodiscard]] QColor colour() const { return m_colour; }

protected:
    void paintEvent(QPaintEvent* /*event*/) override {
        QPainter painter(this);
        painter.setPen(QPen(m_colour, 2));
        painter.drawRect(rect().adjusted(1, 1, -1, -1));
    }

private:
    QColor m_colour;
};

} // namespace

FindingMarks::FindingMarks(FreeTextBox* box, QLabel* count, Snapshot snapshot, TakeOver takeOver)
    : QObject(box)
    , m_box(box)
    , m_count(count)
    , m_message(new QLabel(box))
    , m_countArea(count->geometry())
    , m_snapshot(std::move(snapshot))
    , m_takeOver(std::move(takeOver))
    , m_timer(new QTimer(this)) {
    m_timer->setSingleShot(true);
    m_timer->setInterval(QuietMs);
    connect(m_timer, &QTimer::timeout, this, &FindingMarks::checkNow);
    connect(m_box, &QPlainTextEdit::textChanged, this, &FindingMarks::scheduleCheck);
    connect(m_box, &QPlainTextEdit::cursorPositionChanged, this, &FindingMarks::showCaretLine);
    m_box->installEventFilter(this);
    m_box->viewport()->installEventFilter(this);
    m_count->setAccessibleName(QStringLiteral("Hinweise zum eigenen Text"));
    m_count->hide();
    m_message->setObjectName(QStringLiteral("FindingMessage"));
    m_message->setTextFormat(Qt::PlainText);
    m_message->setWordWrap(true);
    m_message->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_message->setMargin(3);
    m_message->setAutoFillBackground(true);
    m_message->setAccessibleName(QStringLiteral("Hinweis zur Zeile"));
    m_message->hide();
}

void FindingMarks::setWindowControls(WindowControls controls) {
    m_controls = std::move(controls);
}

void FindingMarks::scheduleCheck() {
    m_timer->start();
}

void FindingMarks::checkNow() {
    m_timer->stop();
    QElapsedTimer took;
    took.start();
    const config::SettingsState state = m_snapshot();
    m_findings = config::checkUserconfig(state);

    const std::string_view text = state.manual_text;
    const std::size_t marked = std::min(m_findings.size(), MaxMarks);
    std::vector<std::size_t> offsets;
    offsets.reserve(marked * 3);
    std::vector<std::size_t> shownFrom(marked);
    for (std::size_t i = 0; i < marked; ++i) {
        const ConfigFinding& f = m_findings[i];
        if (onWindowLine(f)) {
            continue;
        }
        // A removal that takes the line break before its line is shown from the line itself.
        std::size_t from = f.begin;
        while (from < f.end && isLineBreak(text[from])) {
            ++from;
        }
        shownFrom[i] = from;
        offsets.insert(offsets.end(), {f.begin, from, f.end});
    }
    std::ranges::sort(offsets);
    const std::vector<int> positions = documentPositions(text, offsets);
    const auto positionOf = [&](std::size_t offset) {
        return positions[static_cast<std::size_t>(std::ranges::lower_bound(offsets, offset) - offsets.begin())];
    };
    m_marks.clear();
    for (std::size_t i = 0; i < marked; ++i) {
        if (onWindowLine(m_findings[i])) {
            continue;
        }
        m_marks.push_back(
            {positionOf(shownFrom[i]), positionOf(m_findings[i].end), positionOf(m_findings[i].begin), i});
    }
    showMarks();
    showCaretLine();
    // A text so large that checking takes a while is checked after a longer pause.
    m_timer->setInterval(std::max<int>(QuietMs, static_cast<int>(took.elapsed()) * 3));
}

void FindingMarks::showMarks() {
    QList<QTextEdit::ExtraSelection> selections;
    const int last = std::max(0, m_box->document()->characterCount() - 1);
    for (const Mark& mark : m_marks) {
        QTextEdit::ExtraSelection selection;
        selection.cursor = QTextCursor(m_box->document());
        const int from = std::min(mark.from, last);
        selection.cursor.setPosition(from);
        selection.cursor.setPosition(std::clamp(std::max(mark.to, from + 1), from, last), QTextCursor::KeepAnchor);
        selection.format.setUnderlineStyle(QTextCharFormat::WaveUnderline);
        selection.format.setUnderlineColor(config::stopsSave(m_findings[mark.finding].kind) ? StopColour : HintColour);
        selections.append(selection);
    }
    m_box->setExtraSelections(selections);
    showControlMarks();

    if (m_findings.empty()) {
        m_count->hide();
        return;
    }
    const bool stops =
        std::ranges::any_of(m_findings, [](const ConfigFinding& f) { return config::stopsSave(f.kind); });
    QPalette palette = m_count->palette();
    palette.setColor(QPalette::WindowText, stops ? StopColour : HintColour);
    m_count->setPalette(palette);
    m_count->show();
}

void FindingMarks::showControlMarks() {
    for (const QPointer<QWidget>& frame : m_controlFrames) {
        delete frame;
    }
    m_controlFrames.clear();
    for (const auto& [control, tip] : m_controlTips) {
        if (control != nullptr) {
            control->setToolTip(tip);
            control->setAccessibleDescription({});
        }
    }
    m_controlTips.clear();
    if (!m_controls.widgetOf) {
        return;
    }
    for (std::size_t i = 0; i < m_findings.size(); ++i) {
        if (!onWindowLine(m_findings[i])) {
            continue;
        }
        QWidget* control = m_controls.widgetOf(m_findings[i].setting);
        const auto known = std::ranges::find(m_controlTips, control, [](const auto& t) { return t.first.data(); });
        if (known == m_controlTips.end()) {
            m_controlTips.emplace_back(control, control->toolTip());
            m_controlFrames.emplace_back(
                new ControlFrame(control, config::stopsSave(m_findings[i].kind) ? StopColour : HintColour));
            control->setToolTip(messageOf(i));
        } else {
            control->setToolTip(control->toolTip() + QStringLiteral("\n\n") + messageOf(i));
        }
        control->setAccessibleDescription(control->toolTip());
    }
}

void FindingMarks::showCaretLine() {
    if (m_findings.empty()) {
        m_box->setAccessibleDescription({});
        showMessageLine({}, false);
        return;
    }
    const std::size_t line = static_cast<std::size_t>(m_box->textCursor().blockNumber()) + 1;
    QString count = m_findings.size() == 1 ? QStringLiteral("1 Hinweis (F8)")
                                           : QStringLiteral("%1 Hinweise (F8)").arg(m_findings.size());
    QStringList messages;
    bool stops = false;
    for (std::size_t i = 0; i < m_findings.size(); ++i) {
        if (m_findings[i].line == line) {
            messages.append(messageOf(i));
            stops = stops || config::stopsSave(m_findings[i].kind);
        }
    }
    const QString shownMessages =
        messages.join(QStringLiteral("\n\n")).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    m_box->setAccessibleDescription(shownMessages);
    m_count->setToolTip(shownMessages);
    m_count->setAccessibleDescription(shownMessages);
    if (!messages.isEmpty()) {
        count += QStringLiteral(" · Zeile %1").arg(line);
    }
    // Only as wide as its text: the frame's edge shows on either side of it, as around the caption.
    constexpr int Padding = 6;
    const QString shown = m_count->fontMetrics().elidedText(count, Qt::ElideRight, m_countArea.width() - Padding);
    const int width = std::min(m_countArea.width(), m_count->fontMetrics().horizontalAdvance(shown) + Padding);
    m_count->setText(shown);
    m_count->setGeometry(m_countArea.right() + 1 - width, m_countArea.top(), width, m_countArea.height());
    showMessageLine(shownMessages, stops);
}

void FindingMarks::showMessageLine(const QString& text, bool stops) {
    const bool wasShown = !m_message->isHidden();
    if (text.isEmpty()) {
        if (wasShown) {
            m_message->hide();
            m_box->setBottomMargin(0);
        }
        return;
    }
    QPalette palette = m_message->palette();
    palette.setColor(QPalette::Window, stops ? StopTint : HintTint);
    palette.setColor(QPalette::WindowText, Qt::black);
    m_message->setPalette(palette);
    m_message->setText(text);
    // Below the lines, as wide as they are, at most half the box high: the caret line stays above it.
    const int width = m_box->viewport()->width();
    const int height = std::min(m_message->heightForWidth(width), m_box->contentsRect().height() / 2);
    m_box->setBottomMargin(height);
    const QRect lines = m_box->viewport()->geometry();
    m_message->setGeometry(lines.left(), lines.bottom() + 1, width, height);
    m_message->setToolTip(m_message->heightForWidth(width) > height ? text : QString());
    m_message->show();
    if (!wasShown && m_box->hasFocus()) {
        m_box->ensureCursorVisible();
    }
}

void FindingMarks::bringIntoView(int from, int to) {
    QTextCursor start(m_box->document());
    start.setPosition(from);
    QTextCursor end(m_box->document());
    end.setPosition(std::clamp(to, from, start.block().position() + start.block().length() - 1));
    m_box->ensureCursorVisible();
    // The box scrolls by whole lines and takes a line that its bottom edge cuts as shown.
    QScrollBar* vertical = m_box->verticalScrollBar();
    while (m_box->cursorRect(start).bottom() >= m_box->viewport()->height() &&
           vertical->value() < vertical->maximum()) {
        vertical->setValue(vertical->value() + 1);
    }
    // As much of the marked part as fits, from its start.
    constexpr int Room = 4;
    QScrollBar* horizontal = m_box->horizontalScrollBar();
    const int left = m_box->cursorRect(start).left();
    const int right = m_box->cursorRect(end).right();
    if (right >= m_box->viewport()->width()) {
        horizontal->setValue(horizontal->value() + std::min(right - m_box->viewport()->width() + Room, left - Room));
    } else if (left < 0) {
        horizontal->setValue(horizontal->value() + left - Room);
    }
}

QString FindingMarks::messageOf(std::size_t finding) const {
    const ConfigFinding& f = m_findings[finding];
    QString place = QStringLiteral("Zeile %1: ").arg(f.line);
    if (onWindowLine(f)) {
        place = f.setting == nullptr ? QStringLiteral("Nickname: ")
                                     : QStringLiteral("%1: ").arg(QString::fromUtf8(
                                           f.setting->label.data(), static_cast<qsizetype>(f.setting->label.size())));
    }
    const QString message = QString::fromStdString(f.message);
    // Most messages name their line first themselves.
    return message.startsWith(place) ? message : place + message;
}

const FindingMarks::Mark* FindingMarks::markOf(std::size_t finding) const {
    const auto mark = std::ranges::find(m_marks, finding, &Mark::finding);
    return mark == m_marks.end() ? nullptr : &*mark;
}

void FindingMarks::goToNext(bool backwards) {
    if (m_timer->isActive()) {
        checkNow();
    }
    if (m_marks.empty()) {
        // Only the window's own lines have findings: their control takes the focus.
        const auto onControl = std::ranges::find_if(m_findings, onWindowLine);
        if (onControl != m_findings.end() && m_controls.widgetOf) {
            m_controls.widgetOf(onControl->setting)->setFocus(Qt::ShortcutFocusReason);
        }
        return;
    }
    const int caret = m_box->textCursor().position();
    auto target = m_marks.begin();
    if (backwards) {
        const auto before =
            std::ranges::find_if(m_marks.rbegin(), m_marks.rend(), [caret](const Mark& m) { return m.from < caret; });
        target = before == m_marks.rend() ? m_marks.end() - 1 : std::prev(before.base());
    } else {
        const auto after = std::ranges::find_if(m_marks, [caret](const Mark& m) { return m.from > caret; });
        target = after == m_marks.end() ? m_marks.begin() : after;
    }
    QTextCursor cursor = m_box->textCursor();
    cursor.setPosition(std::min(target->from, m_box->document()->characterCount() - 1));
    m_box->setTextCursor(cursor);
    m_box->setFocus(Qt::ShortcutFocusReason);
    // The message line now shows the message in full; it takes its room before the line is placed.
    bringIntoView(target->from, target->to);
}

std::vector<std::size_t> FindingMarks::findingsAt(int position) const {
    std::vector<std::size_t> found;
    for (const Mark& mark : m_marks) {
        if (mark.from <= position && position <= std::max(mark.to, mark.from + 1)) {
            found.push_back(mark.finding);
        }
    }
    return found;
}

QMenu* FindingMarks::createMenu(const QPoint& viewportPos) {
    if (m_timer->isActive()) {
        checkNow();
    }
    QMenu* menu = m_box->createStandardContextMenu();
    menu->setObjectName(QStringLiteral("Text2Menu"));
    QAction* first = menu->actions().isEmpty() ? nullptr : menu->actions().first();
    std::vector<QAction*> fixes;
    const auto addFix = [&](const QString& caption, std::size_t finding, FixWay way) {
        auto* action = new QAction(caption, menu);
        action->setToolTip(messageOf(finding));
        action->setStatusTip(messageOf(finding));
        connect(action, &QAction::triggered, this, [this, finding, way] { takeFix(finding, way); });
        fixes.push_back(action);
    };
    for (const std::size_t i : findingsAt(m_box->cursorForPosition(viewportPos).position())) {
        const ConfigFinding& f = m_findings[i];
        if (!f.fix) {
            continue;
        }
        switch (f.kind) {
        case FindingKind::OverridesChoice: {
            const Mark& mark = *markOf(i);
            const bool wholeLine = m_box->document()->findBlock(mark.fixFrom) != m_box->document()->findBlock(mark.to);
            addFix(wholeLine ? QStringLiteral("Zeile entfernen") : QStringLiteral("Befehl entfernen"), i, FixWay::Fix);
            if (f.lineChoice != nullptr) {
                addFix(QStringLiteral("Wert in die Auswahl übernehmen"), i, FixWay::Adopt);
            }
            if (m_controls.release) {
                addFix(QStringLiteral("Auswahl im Fenster aufheben"), i, FixWay::Release);
            }
            break;
        }
        case FindingKind::CutByGame:
            addFix(QStringLiteral("Zeile für das Spiel lesbar machen"), i, FixWay::Fix);
            break;
        case FindingKind::KeyBoundAgain:
            addFix(QStringLiteral("Befehl entfernen"), i, FixWay::Fix);
            break;
        case FindingKind::UnknownKey:
        case FindingKind::NearName:
            addFix(QStringLiteral("Meintest du %1?").arg(QString::fromStdString(*f.fix).remove(QChar('"'))), i,
                   FixWay::Fix);
            break;
        }
    }
    for (QAction* action : fixes) {
        menu->insertAction(first, action);
    }
    if (!fixes.empty() && first != nullptr) {
        menu->insertSeparator(first);
    }
    if (m_extendMenu) {
        m_extendMenu(menu);
    }
    return menu;
}

void FindingMarks::takeFix(std::size_t finding, FixWay way) {
    const ConfigFinding& f = m_findings[finding];
    if (way == FixWay::Release) {
        // The control writes no line then, and the free text's value holds.
        m_controls.release(f.setting);
        checkNow();
        return;
    }
    // One edit block: a single undo takes back the text and the control together.
    QTextCursor step(m_box->document());
    step.beginEditBlock();
    if (way == FixWay::Adopt && f.setting != nullptr && f.lineChoice != nullptr) {
        m_takeOver(*f.setting, *f.lineChoice);
    }
    applyFix(finding);
    step.endEditBlock();
}

void FindingMarks::applyFix(std::size_t finding) {
    const Mark& mark = *markOf(finding);
    QTextCursor cursor(m_box->document());
    cursor.setPosition(mark.fixFrom);
    cursor.setPosition(mark.to, QTextCursor::KeepAnchor);
    cursor.insertText(QString::fromStdString(config::encodeForBox(*m_findings[finding].fix))
                          .replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    m_box->setTextCursor(cursor);
    checkNow();
}

bool FindingMarks::confirmSave(platform::WindowServices& services, QWidget* parent) {
    checkNow();
    std::vector<std::size_t> stopping;
    for (std::size_t i = 0; i < m_findings.size(); ++i) {
        if (config::stopsSave(m_findings[i].kind)) {
            stopping.push_back(i);
        }
    }
    if (stopping.empty()) {
        return true;
    }
    QString text = QStringLiteral("Die Config würde im Spiel nicht tun, was das Fenster zeigt:\r\n\r\n");
    for (std::size_t n = 0; n < stopping.size() && n < MaxListed; ++n) {
        text += messageOf(stopping[n]) + QStringLiteral("\r\n\r\n");
    }
    if (stopping.size() > MaxListed) {
        text += QStringLiteral("… und %1 weitere.\r\n\r\n").arg(stopping.size() - MaxListed);
    }
    text += QStringLiteral("Trotzdem speichern oder zurück zum Text, um die markierten Zeilen zu ändern?");
    if (services.askQuestion(parent, text, QStringLiteral("Trotzdem speichern"), QStringLiteral("Zurück zum Text"))) {
        return true;
    }
    if (onWindowLine(m_findings[stopping.front()]) && m_controls.widgetOf) {
        m_controls.widgetOf(m_findings[stopping.front()].setting)->setFocus(Qt::OtherFocusReason);
        return false;
    }
    const Mark* first = markOf(stopping.front());
    if (first != nullptr) {
        QTextCursor cursor = m_box->textCursor();
        cursor.setPosition(first->from);
        m_box->setTextCursor(cursor);
        m_box->setFocus(Qt::OtherFocusReason);
        bringIntoView(first->from, first->to);
    }
    m_box->setFocus(Qt::OtherFocusReason);
    return false;
}

void FindingMarks::showMenu(std::optional<QPoint> pointer) {
    // From the keyboard the menu belongs to the caret, from the mouse to the pointer.
    QMenu* menu = createMenu(pointer ? m_box->viewport()->mapFromGlobal(*pointer) : m_box->cursorRect().center());
    menu->exec(pointer ? *pointer : m_box->viewport()->mapToGlobal(m_box->cursorRect().bottomLeft()));
    delete menu;
}

bool FindingMarks::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ToolTip && watched == m_box->viewport()) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const std::vector<std::size_t> here = findingsAt(m_box->cursorForPosition(help->pos()).position());
        if (here.empty()) {
            QToolTip::hideText();
        } else {
            QToolTip::showText(help->globalPos(), messageOf(here.front()), m_box->viewport());
        }
        return true;
    }
    if (event->type() == QEvent::ContextMenu && (watched == m_box || watched == m_box->viewport())) {
        const auto* request = static_cast<QContextMenuEvent*>(event);
        showMenu(request->reason() == QContextMenuEvent::Keyboard ? std::nullopt : std::optional(request->globalPos()));
        return true;
    }
    // Shift+F10 opens the menu as on Windows, where the system sends it as a menu request.
    if (event->type() == QEvent::KeyPress && watched == m_box) {
        const auto* press = static_cast<QKeyEvent*>(event);
        if (press->key() == Qt::Key_F10 && press->modifiers() == Qt::ShiftModifier) {
            showMenu(std::nullopt);
            return true;
        }
        // F8 reaches the box itself when the window's shortcut does not take it (no active window).
        if (press->key() == Qt::Key_F8 && (press->modifiers() & ~Qt::ShiftModifier) == Qt::NoModifier) {
            goToNext(press->modifiers() == Qt::ShiftModifier);
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace setforge::windows
