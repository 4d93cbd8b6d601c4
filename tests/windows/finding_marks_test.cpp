// The free-text box marks what the game will make of the player's lines: underlines, the count,
// F8, the fixes of the context menu and the question before a save.
#include "support/fake_window_services.h"
#include "support/finders.h"
#include "support/printers.h"

#include "support/game_console.h"

#include "config/userconfig.h"
#include "windows/finding_marks.h"
#include "windows/mainwindow.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

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
    // The window with gamma 2.2 and the right hand chosen, `text` typed and `nickname`, once checked.
    void show(const QString& text, const QString& nickname = {}) {
        config::SettingsState state;
        state.nickname = nickname.toStdString();
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
    EXPECT_TRUE(count->text().contains("Zeile 2")) << count->text().toStdString();
    EXPECT_TRUE(control<QLabel>("FindingMessage")->text().startsWith("Zeile 2: Diese Zeile"))
        << control<QLabel>("FindingMessage")->text().toStdString();
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
    show(QString::fromUtf8("say a\rb 😀\ngamma 2.5")); // the lone CR is marked too: it joins `b` to the say
    ASSERT_EQ(box()->extraSelections().size(), 2);
    EXPECT_EQ(box()->extraSelections()[1].cursor.selectedText(), "gamma 2.5");
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
    EXPECT_TRUE(services.questions[0].text.contains("in die Auswahl.")) << "each message in full";
    EXPECT_FALSE(services.questions[0].text.contains("Strg"));
    EXPECT_EQ(services.saveRequests.size(), 1U);
    EXPECT_EQ(box()->textCursor().blockNumber(), 1);

    services.questionAnswers.push_back(true);
    QTest::mouseClick(control<QWidget>("Command1"), Qt::LeftButton);
    EXPECT_EQ(services.questions.size(), 2U);
    EXPECT_EQ(services.saveRequests.size(), 2U);
}

// F8 puts the whole marked line above the box's edges and its whole message in the message line,
// which takes room below the lines without covering them or moving the box.
TEST_F(FindingMarksTest, NextFindingShowsWholeLineAndMessage) {
    struct Case {
        int line;   // 0-based line of the gamma line in 40 lines
        int indent; // echo bytes in front of it on its line
    };
    const std::vector<Case> cases = {{0, 0}, {13, 0}, {14, 0}, {39, 0}, {20, 300}};
    const QRect boxPlace = box()->geometry();
    for (const Case& c : cases) {
        QStringList lines;
        for (int i = 0; i < 40; ++i) {
            lines.append(QStringLiteral("echo %1").arg(i));
        }
        lines[c.line] = (c.indent > 0 ? QStringLiteral("echo %1;").arg(QString(c.indent, 'x')) : QString()) +
                        QStringLiteral("gamma 2.5");
        show(lines.join('\n'));
        caretAt(0);
        box()->verticalScrollBar()->setValue(0);
        if (c.line == 0) {
            caretAt(box()->document()->characterCount() - 1);
        }
        QTest::keyClick(box(), Qt::Key_F8);
        ASSERT_EQ(box()->textCursor().blockNumber(), c.line);
        const QRect caret = box()->cursorRect();
        EXPECT_GE(caret.top(), 0) << c.line;
        EXPECT_LT(caret.bottom(), box()->viewport()->height()) << c.line;
        QTextCursor end = box()->textCursor();
        end.movePosition(QTextCursor::EndOfBlock);
        EXPECT_LE(box()->cursorRect(end).right(), box()->viewport()->width()) << "the marked part in view";
        EXPECT_GE(caret.left(), 0);

        const auto* message = control<QLabel>("FindingMessage");
        EXPECT_FALSE(message->isHidden());
        EXPECT_TRUE(message->text().contains("gamma auf „2.5“")) << message->text().toStdString();
        EXPECT_TRUE(message->text().contains("dann gilt die Auswahl im Fenster.")) << "the whole message";
        EXPECT_LE(message->heightForWidth(message->width()), message->height()) << "nothing of it cut";
        EXPECT_GT(message->geometry().top(), box()->viewport()->geometry().bottom()) << "below the lines";
        EXPECT_EQ(box()->geometry(), boxPlace);
    }
    caretAt(0); // a line without a finding: the message line goes
    EXPECT_TRUE(control<QLabel>("FindingMessage")->isHidden());
}

// Chooses `caption` in the next popup menu as the keyboard would.
void chooseInNextMenu(const QString& caption) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, caption] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (menu == nullptr) {
            return;
        }
        for (QAction* action : menu->actions()) {
            if (action->text() == caption) {
                menu->setActiveAction(action);
            }
        }
        QTest::keyClick(menu, Qt::Key_Return);
        poll->deleteLater();
    });
    poll->start(20);
}

// Every setting goes back to no choice, by the keyboard and through its menu: the window then
// writes no line for it.
TEST_F(FindingMarksTest, EverySettingReturnsToNoChoice) {
    struct Case {
        const char* control; // the focused list or option button
        std::string config::SettingsState::*field;
        int way; // 0 Delete, 1 Backspace, 2 the control's menu
    };
    const std::vector<Case> cases = {
        {"ga", &config::SettingsState::gamma, 0},         {"ga", &config::SettingsState::gamma, 2},
        {"o15", &config::SettingsState::cl_righthand, 1}, {"o15", &config::SettingsState::cl_righthand, 2},
        {"o14", &config::SettingsState::cl_righthand, 0}, // the pair's other, unchecked button
    };
    for (const Case& c : cases) {
        show("gamma 2.5");
        auto* widget = control<QWidget>(c.control);
        ASSERT_FALSE(window.snapshot().*c.field == "") << c.control;
        widget->setFocus();
        if (c.way == 2) {
            chooseInNextMenu("Auswahl aufheben");
            QContextMenuEvent request(QContextMenuEvent::Keyboard, QPoint(2, 2), widget->mapToGlobal(QPoint(2, 2)));
            QApplication::sendEvent(widget, &request);
        } else {
            QTest::keyClick(widget, c.way == 0 ? Qt::Key_Delete : Qt::Key_Backspace);
        }
        EXPECT_EQ(window.snapshot().*c.field, "") << c.control << " " << c.way;
        EXPECT_EQ(window.snapshot().gamma == "", c.field == &config::SettingsState::gamma);
    }
}

// A player who wants his own gamma line takes the window's choice back from the mark's menu: the
// mark goes, and the file sets what his line says without the question.
TEST_F(FindingMarksTest, ReleasingTheChoiceLetsTheLineHold) {
    show("gamma \"2.5\"");
    const std::unique_ptr<QMenu> menu(marks()->createMenu(box()->cursorRect().center()));
    QAction* release = nullptr;
    for (QAction* action : menu->actions()) {
        release = action->text() == "Auswahl im Fenster aufheben" ? action : release;
    }
    ASSERT_NE(release, nullptr);
    release->trigger();
    EXPECT_EQ(box()->toPlainText(), "gamma \"2.5\"");
    EXPECT_EQ(control<QComboBox>("ga")->currentIndex(), -1);
    EXPECT_TRUE(marks()->findings().empty());
    const auto effect =
        testing::effectOf(config::composeUserconfig(window.snapshot()), testing::settingVariableNames());
    EXPECT_NE(std::ranges::find(effect.variables, std::pair<std::string, std::string>("gamma", "2.5")),
              effect.variables.end());
    QTest::mouseClick(control<QWidget>("Command1"), Qt::LeftButton);
    EXPECT_TRUE(services.questions.empty());
    EXPECT_EQ(services.saveRequests.size(), 1U);
}

// Over the whole-file limit the game cuts the window's name line at its first umlaut: the finding
// is framed at the nickname box with its message as the tooltip, counted, and named in the
// question, which goes back to the box.
TEST_F(FindingMarksTest, FindingOnTheNameLineStandsAtTheNicknameBox) {
    QStringList lines;
    for (int i = 0; i < 1000; ++i) {
        lines.append(QStringLiteral("echo zeile %1").arg(i, 4, 10, QChar('0')));
    }
    show(lines.join('\n'), QStringLiteral("Jäger Müller"));
    auto* nickname = control<QLineEdit>("Text1");
    const auto frames = window.findChildren<QWidget*>("FindingFrame");
    ASSERT_EQ(frames.size(), 1);
    EXPECT_TRUE(frames[0]->geometry().contains(nickname->geometry()));
    EXPECT_TRUE(nickname->toolTip().startsWith("Nickname: ")) << nickname->toolTip().toStdString();
    EXPECT_TRUE(control<QLabel>("FindingCount")->text().startsWith("1 Hinweis"));
    EXPECT_TRUE(box()->extraSelections().isEmpty()) << "nothing of it in the free text";
    QTest::keyClick(box(), Qt::Key_F8); // to the only finding: at the nickname box
    EXPECT_EQ(window.focusWidget(), nickname);
    box()->setFocus();

    QTest::mouseClick(control<QWidget>("Command1"), Qt::LeftButton);
    ASSERT_EQ(services.questions.size(), 1U);
    EXPECT_TRUE(services.questions[0].text.contains("Nickname: ")) << services.questions[0].text.toStdString();
    EXPECT_TRUE(services.questions[0].text.contains("Umlaute"));
    EXPECT_EQ(window.focusWidget(), nickname);

    nickname->setText(QStringLiteral("Jaeger Mueller")); // the mark and its tooltip go
    ASSERT_TRUE(QTest::qWaitFor([&] { return marks()->findings().empty(); }, 3000));
    EXPECT_TRUE(window.findChildren<QWidget*>("FindingFrame").isEmpty());
    EXPECT_TRUE(nickname->toolTip().isEmpty());
}

} // namespace
} // namespace setforge::windows
