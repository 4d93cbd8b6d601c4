// The window knows when it differs from the file in view, asks before that work is lost, names the
// file in its title and saves it again with Ctrl+S.
#include "support/fake_window_services.h"
#include "support/finders.h"

#include "windows/mainwindow.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

namespace setforge::windows {
namespace {

using platform::FakeWindowServices;
using platform::UnsavedChoice;

class UnsavedChangesTest : public ::testing::Test {
protected:
    FakeWindowServices services;
    MainWindow window{services};
    QTemporaryDir dir;
    QString path = dir.filePath("mine.cfg");

    template <class T> T* control(const char* name) { return testsupport::control<T>(&window, name); }
    QPlainTextEdit* freeText() { return control<QPlainTextEdit>("Text2"); }
    void open() {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("gamma \"2.200000\"\r\n// User Angaben\r\nsay hi\r\n");
        file.close();
        ASSERT_TRUE(window.openConfig(path));
    }
};

TEST_F(UnsavedChangesTest, ChangedWhileTheWindowDiffersFromTheFile) {
    open();
    EXPECT_FALSE(window.hasUnsavedChanges());
    EXPECT_EQ(window.windowTitle(), QString::fromUtf8("mine.cfg[*] – Halvren"));
    struct Case {
        const char* what;
        std::function<void()> change, revert;
    };
    const std::vector<Case> cases = {
        {"nickname", [&] { QTest::keyClicks(control<QLineEdit>("Text1"), "J"); },
         [&] { QTest::keyClick(control<QLineEdit>("Text1"), Qt::Key_Backspace); }},
        {"option", [&] { control<QRadioButton>("o1")->setChecked(true); },
         [&] {
             control<QRadioButton>("o1")->setAutoExclusive(false);
             control<QRadioButton>("o1")->setChecked(false);
             control<QRadioButton>("o1")->setAutoExclusive(true);
         }},
        {"list", [&] { control<QComboBox>("ga")->setCurrentIndex(0); },
         [&] { control<QComboBox>("ga")->setCurrentText("2.2"); }},
        {"text undone", [&] { QTest::keyClicks(freeText(), "x"); }, [&] { freeText()->undo(); }},
        // Typed and removed again: the same text, though not by undo.
        {"text retyped", [&] { QTest::keyClick(freeText(), Qt::Key_Backspace); },
         [&] { QTest::keyClicks(freeText(), "i"); }},
    };
    freeText()->moveCursor(QTextCursor::End);
    for (const Case& c : cases) {
        c.change();
        EXPECT_TRUE(window.hasUnsavedChanges()) << c.what;
        EXPECT_TRUE(window.isWindowModified()) << c.what;
        c.revert();
        EXPECT_FALSE(window.hasUnsavedChanges()) << c.what;
    }
}

TEST_F(UnsavedChangesTest, CloseAndOpenAskOnlyWhenWorkWouldBeLost) {
    // Without a file, "Speichern" asks where, and a cancelled dialog keeps the window open.
    window.show();
    QTest::keyClicks(control<QLineEdit>("Text1"), "Jo");
    EXPECT_EQ(window.windowTitle(), "Halvren[*]");
    services.unsavedAnswers = {UnsavedChoice::Save};
    window.close();
    EXPECT_EQ(services.saveRequests.size(), 1U);
    EXPECT_EQ(services.endProgramCalls, 0);
    EXPECT_TRUE(window.isVisible());

    struct Case {
        bool changed;
        std::optional<UnsavedChoice> answer; // nullopt: no question expected
        bool failWrite;
        bool goesOn;
    };
    const std::vector<Case> cases = {
        {false, std::nullopt, false, true},          {true, UnsavedChoice::Cancel, false, false},
        {true, UnsavedChoice::Discard, false, true}, {true, UnsavedChoice::Save, false, true},
        {true, UnsavedChoice::Save, true, false},
    };
    for (const bool closing : {true, false}) {
        for (const Case& c : cases) {
            open();
            services = {};
            if (c.changed) {
                QTest::keyClicks(freeText(), "bind F10 \"say wichtig\"");
            }
            if (c.answer) {
                services.unsavedAnswers = {*c.answer};
            }
            if (c.failWrite) {
                services.failWritesWith = "Keine Berechtigung";
            }
            services.openAnswers = {std::nullopt};
            if (closing) {
                window.Picture3_Click();
            } else {
                window.openWithDialog();
            }
            ASSERT_EQ(services.unsavedQuestions.size(), c.answer ? 1U : 0U);
            EXPECT_EQ(services.saveRequests.size(), 0U) << "the file in view is saved without a dialog";
            EXPECT_EQ(services.writes.size(), c.answer == UnsavedChoice::Save ? 1U : 0U);
            EXPECT_EQ(closing ? services.endProgramCalls : int(services.openRequests.size()), c.goesOn ? 1 : 0);
            EXPECT_EQ(freeText()->toPlainText().contains("wichtig"), c.changed);
        }
    }
}

TEST_F(UnsavedChangesTest, CtrlSWritesTheFileInViewWithTheSameChecks) {
    open();
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    control<QRadioButton>("o2")->setChecked(true);
    QTest::keyClick(&window, Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(services.writes.size(), 1U);
    EXPECT_EQ(services.writes[0].path, path);
    EXPECT_TRUE(services.writes[0].bytes.contains("hud_fastswitch \"0\""));
    EXPECT_TRUE(services.saveRequests.empty());
    EXPECT_FALSE(window.isWindowModified());

    // A line that overrides a choice still asks first; "back to the text" writes nothing.
    freeText()->insertPlainText("\ngamma 3");
    QTest::keyClick(&window, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(services.questions.size(), 1U);
    EXPECT_EQ(services.writes.size(), 1U);
    EXPECT_TRUE(window.isWindowModified());
}

TEST_F(UnsavedChangesTest, FocusStartsInTheNicknameAndTabLeavesTheFreeText) {
    window.showCentred();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    EXPECT_EQ(QApplication::focusWidget(), control<QWidget>("Text1"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), control<QWidget>("o1"));
    freeText()->setFocus();
    QTest::keyClick(freeText(), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(freeText()->toPlainText(), "\t");
    QTest::keyClick(freeText(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), control<QWidget>("Command2"));
    EXPECT_EQ(freeText()->toPlainText(), "\t");
}

} // namespace
} // namespace setforge::windows
