// The free-text box marks what the game will make of the player's lines: underlines, the count,
// F8, the fixes of the context menu and the question before a save.
#include "support/fake_window_services.h"
#include "support/finders.h"
#include "support/printers.h"

#include "windows/finding_marks.h"
#include "windows/mainwindow.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace setforge::windows {
namespace {

using platform::FakeWindowServices;

class FindingMarksTest : public ::testing::Test {
protected:
    FakeWindowServices services;
    MainWindow window{services};

    template <class T> T* control(const char* name) { return testsupport::control<T>(&window, name); }
    QPlainTextEdit* box() { return control<QPlainTextEdit>("Text2"); }
    FindingMarks* marks() { return box()->findChild<FindingMarks*>(); }
    // The window with gamma 2.2 and the right hand chosen and `text` typed, once checked.
    void show(const QString& text) {
        config::SettingsState state;
        state.gamma = "2.2";
        state.cl_righthand = "o15";
        state.manual_text = text.toStdString();
        window.load(state);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !marks()->findings().empty(); }, 3000));
    }
    void caretAt(int position) {
        QTextCursor cursor = box()->textCursor();
        cursor.setPosition(position);
        box()->setTextCursor(cursor);
    }
};

TEST_F(FindingMarksTest, MarksCountsAndGoesToEachFinding) {
    show("echo a\nGamma 2.5\nbind \"MOUSE 4\" +jump");
    const auto selections = box()->extraSelections();
    ASSERT_EQ(selections.size(), 2);
    // The override in the stopping colour from its line's start, the key in the hint colour.
    EXPECT_EQ(selections[0].cursor.selectionStart(), 7);
    EXPECT_EQ(selections[0].format.underlineColor(), QColor(210, 0, 0));
    EXPECT_EQ(selections[1].cursor.selectedText(), "\"MOUSE 4\"");
    EXPECT_EQ(selections[1].format.underlineColor(), QColor(0, 90, 210));
    auto* count = control<QLabel>("FindingCount");
    EXPECT_FALSE(count->isHidden());
    EXPECT_TRUE(count->text().startsWith("2 Hinweise")) << count->text().toStdString();
    EXPECT_EQ(count->palette().color(QPalette::WindowText), QColor(210, 0, 0));

    caretAt(0);
    QTest::keyClick(box(), Qt::Key_F8);
    EXPECT_EQ(box()->textCursor().position(), 7);
    EXPECT_TRUE(count->text().contains("Zeile 2: Diese Zeile")) << count->text().toStdString();
    EXPECT_TRUE(box()->accessibleDescription().contains("Gamma"));
    QTest::keyClick(box(), Qt::Key_F8);
    EXPECT_EQ(box()->textCursor().position(), 22);
    QTest::keyClick(box(), Qt::Key_F8); // from the start again
    EXPECT_EQ(box()->textCursor().position(), 7);

    box()->setPlainText("echo a");
    ASSERT_TRUE(QTest::qWaitFor([&] { return marks()->findings().empty(); }, 3000));
    EXPECT_TRUE(box()->extraSelections().isEmpty());
    EXPECT_TRUE(count->isHidden());
}

// The box shows a lone CR as a picture and a selector, and a character beyond the BMP as two
// units: the marks stay on their characters behind them.
TEST_F(FindingMarksTest, MarksStayOnTheirCharactersBehindPictures) {
    show(QString::fromUtf8("say a\rb 😀\ngamma 2.5"));
    ASSERT_EQ(box()->extraSelections().size(), 1);
    EXPECT_EQ(box()->extraSelections()[0].cursor.selectedText(), "gamma 2.5");
}

TEST_F(FindingMarksTest, ContextMenuTakesTheFix) {
    struct Case {
        QString text;
        int position;
        QString action;
        QString fixed;
        const char* checkedOption; // the Waffenhand option chosen afterwards
    };
    const std::vector<Case> cases = {
        {"gamma 2.5\necho a", 3, "Zeile entfernen", "echo a", "o15"},
        {"echo a\ngamma 2.5", 9, "Zeile entfernen", "echo a", "o15"},
        {"cl_righthand 0;echo x", 0, "Befehl entfernen", "echo x", "o15"},
        {"cl_righthand 0;echo x", 2, "Wert in die Auswahl übernehmen", "echo x", "o14"},
        {"cl_crosshiar_color 1", 4, "Meintest du cl_crosshair_color?", "cl_crosshair_color 1", "o15"},
        {"bind \"MOUSE 4\" +jump", 7, "Meintest du MOUSE4?", "bind \"MOUSE4\" +jump", "o15"},
    };
    for (const Case& c : cases) {
        show(c.text);
        caretAt(c.position);
        const std::unique_ptr<QMenu> menu(marks()->createMenu(box()->cursorRect().center()));
        QAction* fix = nullptr;
        for (QAction* action : menu->actions()) {
            if (action->text() == c.action) {
                fix = action;
            }
        }
        ASSERT_NE(fix, nullptr) << c.text.toStdString();
        EXPECT_LE(menu->actions().indexOf(fix), 1) << "the fixes come first";
        EXPECT_FALSE(fix->toolTip().isEmpty());
        fix->trigger();
        EXPECT_EQ(box()->toPlainText(), c.fixed);
        EXPECT_TRUE(control<QRadioButton>(c.checkedOption)->isChecked()) << c.text.toStdString();
        EXPECT_EQ(control<QComboBox>("ga")->currentText(), "2.2");
        EXPECT_TRUE(marks()->findings().empty()) << c.text.toStdString();
    }
}

// Ctrl+Z after a take-over brings back the line and the player's earlier choice in one step.
TEST_F(FindingMarksTest, UndoTakesBackTheFixWithTheChoice) {
    show("cl_righthand 0;echo x");
    caretAt(2);
    const std::unique_ptr<QMenu> menu(marks()->createMenu(box()->cursorRect().center()));
    for (QAction* action : menu->actions()) {
        if (action->text() == QString::fromUtf8("Wert in die Auswahl übernehmen")) {
            action->trigger();
        }
    }
    ASSERT_TRUE(control<QRadioButton>("o14")->isChecked());
    QTest::keyClick(box(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(box()->toPlainText(), "cl_righthand 0;echo x");
    EXPECT_TRUE(control<QRadioButton>("o15")->isChecked());
    box()->redo();
    EXPECT_EQ(box()->toPlainText(), "echo x");
    EXPECT_TRUE(control<QRadioButton>("o14")->isChecked());
}

TEST_F(FindingMarksTest, SaveAsksOnlyWhenTheGameWouldDoOtherwise) {
    // Only a hint: the save goes straight to the dialog.
    show("bind Strg +duck");
    QTest::mouseClick(control<QWidget>("Command1"), Qt::LeftButton);
    EXPECT_TRUE(services.questions.empty());
    EXPECT_EQ(services.saveRequests.size(), 1U);

    // An override: the question comes first and "back" puts the caret on its line.
    show("bind Strg +duck\ncl_righthand 0");
    caretAt(0);
    QTest::mouseClick(control<QWidget>("Command1"), Qt::LeftButton);
    ASSERT_EQ(services.questions.size(), 1U);
    EXPECT_EQ(services.questions[0].title, "Trotzdem speichern|Zurück zum Text");
    EXPECT_TRUE(services.questions[0].text.contains("Zeile 2: Diese Zeile setzt cl_righthand"));
    EXPECT_FALSE(services.questions[0].text.contains("Strg"));
    EXPECT_EQ(services.saveRequests.size(), 1U);
    EXPECT_EQ(box()->textCursor().blockNumber(), 1);

    services.questionAnswers.push_back(true);
    QTest::mouseClick(control<QWidget>("Command1"), Qt::LeftButton);
    EXPECT_EQ(services.questions.size(), 2U);
    EXPECT_EQ(services.saveRequests.size(), 2U);
}

} // namespace
} // namespace setforge::windows
