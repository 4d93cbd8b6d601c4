#pragma once

#include "config/settings_catalogue.h"
#include "config/userconfig_check.h"

#include <QObject>
#include <QPoint>
#include <QRect>
#include <QString>

#include <functional>
#include <optional>
#include <utility>
#include <vector>

class QLabel;
class QMenu;
class QPlainTextEdit;
class QTimer;

namespace setforge::platform {
class WindowServices;
}

namespace setforge::windows {

// What the game will make of the player's own lines, shown in the free-text box while he types:
// each finding underlined in its severity's colour with its message as the tooltip, a count (and
// the caret line's message) in a label, F8 to the next finding, its fix in the context menu, and a
// question before a save whose file would not do what the window shows.
class FindingMarks final : public QObject {
    Q_OBJECT
public:
    using Snapshot = std::function<config::SettingsState()>;
    using TakeOver = std::function<void(const config::SettingSpec&, const config::ChoiceSpec&)>;

    // `snapshot` gives what would be written now; `takeOver` sets a control to a choice.
    FindingMarks(QPlainTextEdit* box, QLabel* count, Snapshot snapshot, TakeOver takeOver);

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
    struct Mark {
        int from = 0;    // document positions: where the underline starts,
        int to = 0;      // where the finding and its fix end,
        int fixFrom = 0; // where its fix starts (before `from` when it takes the line break before)
        std::size_t finding = 0;
    };

    void showMarks();
    void showMenu(std::optional<QPoint> pointer); // nullopt: at the caret
    void showCaretLine();
    void applyFix(std::size_t finding);
    [[nodiscard]] std::vector<std::size_t> findingsAt(int position) const;
    [[nodiscard]] QString messageOf(std::size_t finding) const;

    QPlainTextEdit* m_box;
    QLabel* m_count;
    QRect m_countArea; // the most the count may take; it keeps to the right of it
    Snapshot m_snapshot;
    TakeOver m_takeOver;
    std::function<void(QMenu*)> m_extendMenu;
    QTimer* m_timer;
    std::vector<config::ConfigFinding> m_findings;
    std::vector<Mark> m_marks; // in the order of the findings
};

} // namespace setforge::windows
