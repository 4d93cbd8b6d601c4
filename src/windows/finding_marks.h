#pragma once

#include "config/settings_catalogue.h"
#include "config/userconfig_check.h"

#include <QObject>
#include <QPlainTextEdit>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QString>

#include <functional>
#include <optional>
#include <utility>
#include <vector>

class QLabel;
class QMenu;
class QTimer;

namespace setforge::platform {
class WindowServices;
}

namespace setforge::windows {

// The free-text box, with room below its lines for the message line of the marks: the lines stay
// above it, so the box never hides the line whose message it shows.
class FreeTextBox final : public QPlainTextEdit {
public:
    using QPlainTextEdit::QPlainTextEdit;
    void setBottomMargin(int height) { setViewportMargins(0, 0, 0, height); }
};

// What the game will make of the player's own lines, shown in the free-text box while he types:
// each finding underlined in its severity's colour with its message as the tooltip, a count in a
// label, the caret line's messages in full in a message line below the lines, F8 to the next
// finding, its fix in the context menu, and a question before a save whose file would not do what
// the window shows.
class FindingMarks final : public QObject {
    Q_OBJECT
public:
    using Snapshot = std::function<config::SettingsState()>;
    using TakeOver = std::function<void(const config::SettingSpec&, const config::ChoiceSpec&)>;

    // `snapshot` gives what would be written now; `takeOver` sets a control to a choice.
    FindingMarks(FreeTextBox* box, QLabel* count, Snapshot snapshot, TakeOver takeOver);

    // The window's controls, for findings on the lines the window writes. nullptr stands for the
    // nickname: `release` takes a setting back to no choice (the window then writes no line for it),
    // `widgetOf` gives the control that shows a setting.
    struct WindowControls {
        std::function<void(const config::SettingSpec*)> release;
        std::function<QWidget*(const config::SettingSpec*)> widgetOf;
    };
    void setWindowControls(WindowControls controls);

    // Checks again a moment after the last change, so that typing never waits for it.
    void scheduleCheck();
    // Checks now (and drops a scheduled check).
    void checkNow();

    [[nodiscard]] const std::vector<config::ConfigFinding>& findings() const { return m_findings; }

    // Moves the caret to the next finding after it (from the start again after the last one) and
    // shows its message; `backwards` goes to the one before.
    void goToNext(bool backwards = false);

    // The box's context menu at a point of its viewport, with the fixes of the findings there first.
    [[nodiscard]] QMenu* createMenu(const QPoint& viewportPos);

    // Adds the window's own entries at the end of every context menu.
    void setMenuExtension(std::function<void(QMenu*)> extend) { m_extendMenu = std::move(extend); }

    // Before the save dialog: when the file would not do what the window shows, asks whether to
    // save anyway; on "go back" puts the caret on the first such line. True to go on saving.
    [[nodiscard]] bool confirmSave(platform::WindowServices& services, QWidget* parent);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // How a menu entry mends a finding: the fix alone, the fix and the line's value taken into the
    // control, or the control's choice given up so the line's value holds.
    enum class FixWay { Fix, Adopt, Release };
    void takeFix(std::size_t finding, FixWay way);
    struct Mark {
        int from = 0;    // document positions: where the underline starts,
        int to = 0;      // where the finding and its fix end,
        int fixFrom = 0; // where its fix starts (before `from` when it takes the line break before)
        std::size_t finding = 0;
    };

    void showMarks();
    void showControlMarks();
    void showMessageLine(const QString& text, bool stops);
    void bringIntoView(int from, int to);
    void showMenu(std::optional<QPoint> pointer); // nullopt: at the caret
    void showCaretLine();
    void applyFix(std::size_t finding);
    [[nodiscard]] std::vector<std::size_t> findingsAt(int position) const;
    [[nodiscard]] QString messageOf(std::size_t finding) const;
    [[nodiscard]] const Mark* markOf(std::size_t finding) const;

    FreeTextBox* m_box;
    QLabel* m_count;
    QLabel* m_message; // the caret line's messages, below the lines of the box
    WindowControls m_controls;
    QRect m_countArea; // the most the count may take; it keeps to the right of it
    Snapshot m_snapshot;
    TakeOver m_takeOver;
    std::function<void(QMenu*)> m_extendMenu;
    QTimer* m_timer;
    std::vector<config::ConfigFinding> m_findings;
    std::vector<Mark> m_marks; // the free text's findings, in their order
    // The frames at the controls whose lines have findings, and the tooltips they had before.
    std::vector<QPointer<QWidget>> m_controlFrames;
    std::vector<std::pair<QPointer<QWidget>, QString>> m_controlTips;
};

} // namespace setforge::windows
