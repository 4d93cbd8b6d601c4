#include "support/fake_window_services.h"
#include "support/finders.h"
#include "widget_helpers.h"

#include "windows/buymenu.h"
#include "windows/mainwindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <functional>

namespace setforge::windows {
namespace {

using platform::FakeWindowServices;
using testsupport::control;
using testsupport::openWindowsNamed;

class BuyMenuTest : public ::testing::Test {
protected:
    FakeWindowServices services;
    MainWindow window{services};

    void TearDown() override {
        for (QWidget* w : openWindowsNamed("BuyMenu")) {
            delete w;
        }
    }

    QWidget* openBuyMenu() {
        window.Command4_Click();
        const auto open = openWindowsNamed("BuyMenu");
        if (open.size() != 1) {
            throw std::runtime_error("expected one buy menu, found " + std::to_string(open.size()));
        }
        return open.front();
    }
    static void click(QWidget* menu, const char* name) {
        QTest::mouseClick(control<QWidget>(menu, name), Qt::LeftButton, {}, QPoint(5, 6));
    }
    QPlainTextEdit* freeText() { return window.findChild<QPlainTextEdit*>("Text2"); }
};

TEST_F(BuyMenuTest, CreateInsertsTheLineAtTheCaretAndCloses) {
    struct Case {
        const char* name;
        QString before;
        int selectFrom, selectTo;
        QString key;
        std::vector<const char*> ticks;
        std::string after;
    };
    // clang-format off
    const std::vector<Case> cases = {
        {"empty box, preset key", "",               0, 0,  "",       {"c24"},               "bind \"F11\" \"vest\"\r\n"},
        {"ticked out of order",   "",               0, 0,  "F5",     {"c22", "c1", "c33"},  "bind \"F5\" \"glock;ak47;secammo\"\r\n"},
        {"behind text on a line", "say hi",         6, 6,  "x",      {},                    "say hi\r\nbind \"x\" \"\"\r\n"},
        {"capital letter key",    "",               0, 0,  "Q",      {"c24"},               "bind \"q\" \"vest\"\r\n"},
        {"replaces selection",    "a\nOLD\nz",      2, 5,  "KP_END", {"c25"},               "a\r\nbind \"KP_END\" \"vesthelm\"\r\n\r\nz"},
        {"other keys' lines kept", "bind \"F5\" \"vest\"\n", 17, 17, "F11", {"c24"},   "bind \"F5\" \"vest\"\r\nbind \"F11\" \"vest\"\r\n"},
        {"same key: its line replaced after a question", "say a\nbind \"F11\" \"vest\"\nsay b", 0, 0, "F11", {"c24", "c26"},
                                                          "say a\r\nbind \"F11\" \"vest;flash\"\r\nsay b"},
    };
    // clang-format on
    for (const Case& c : cases) {
        freeText()->setPlainText(c.before);
        selectInBox(freeText(), c.selectFrom, c.selectTo);
        services.questionAnswers = {true};

        QWidget* menu = openBuyMenu();
        if (!c.key.isEmpty()) {
            control<QLineEdit>(menu, "Text1")->setText(c.key);
        }
        for (const char* tick : c.ticks) {
            click(menu, tick);
        }
        click(menu, "Command1");
        EXPECT_EQ(window.snapshot().manual_text, c.after) << c.name;
        EXPECT_TRUE(openWindowsNamed("BuyMenu").empty()) << c.name;
        EXPECT_EQ(services.questionAnswers.empty(), c.before.contains("F11")) << c.name << ": asked only then";
    }
}

TEST_F(BuyMenuTest, EveryClosingDiscardsTicksAndKey) {
    for (const char* closer : {"Command2", "Image1", "Command1"}) {
        QWidget* menu = openBuyMenu();
        click(menu, "c5");
        control<QLineEdit>(menu, "Text1")->setText("F12");
        freeText()->setPlainText("keep me");
        click(menu, closer);
        if (std::string_view(closer) != "Command1") {
            EXPECT_EQ(freeText()->toPlainText(), "keep me") << closer;
        }
        EXPECT_TRUE(openWindowsNamed("BuyMenu").empty()) << closer;

        QWidget* again = openBuyMenu();
        EXPECT_EQ(control<QLineEdit>(again, "Text1")->text(), "F11") << closer;
        for (const auto* box : again->findChildren<QCheckBox*>()) {
            EXPECT_FALSE(box->isChecked()) << closer << " " << box->objectName().toStdString();
        }
        click(again, "Command2");
    }
}

TEST_F(BuyMenuTest, OneInstanceRaisedBySecondPress) {
    QWidget* first = openBuyMenu();
    click(first, "c7");
    window.Command4_Click();
    const auto open = openWindowsNamed("BuyMenu");
    ASSERT_EQ(open.size(), 1u);
    EXPECT_EQ(open.front(), first);
    EXPECT_TRUE(control<QCheckBox>(first, "c7")->isChecked());
    EXPECT_EQ(first->parentWidget(), nullptr);
    EXPECT_TRUE(first->windowFlags() & Qt::FramelessWindowHint);
}

TEST_F(BuyMenuTest, InfoMessageLeavesTheWindowAsItWas) {
    QWidget* menu = openBuyMenu();
    click(menu, "c10");
    control<QLineEdit>(menu, "Text1")->setText(" mouse3 ");
    click(menu, "Command3");
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_EQ(services.messages[0].title, "Buy-Script Infos");
    EXPECT_EQ(services.messages[0].icon, platform::MessageIcon::Information);
    EXPECT_TRUE(services.messages[0].text.startsWith("Die Taste die Sie angegeben haben,\r\n"));
    EXPECT_TRUE(control<QCheckBox>(menu, "c10")->isChecked());
    EXPECT_EQ(control<QLineEdit>(menu, "Text1")->text(), " mouse3 ");
    EXPECT_EQ(openWindowsNamed("BuyMenu").size(), 1u);
}

TEST_F(BuyMenuTest, UnknownKeyIsNamedAndNothingIsInserted) {
    freeText()->setPlainText("say hi");
    QWidget* menu = openBuyMenu();
    click(menu, "c24");
    click(menu, "c27");
    for (const QString& key :
         {QString("MOUSE 4"), QString::fromUtf8("ä"), QString(), QString("F\"5"), QString(600, 'k')}) {
        services.messages.clear();
        control<QLineEdit>(menu, "Text1")->setText(key);
        click(menu, "Command1");
        ASSERT_EQ(services.messages.size(), 1u) << key.toStdString();
        EXPECT_EQ(services.messages[0].icon, platform::MessageIcon::Warning);
        EXPECT_TRUE(services.messages[0].text.contains("MOUSE4")) << "gives examples";
        EXPECT_EQ(window.snapshot().manual_text, "say hi") << key.toStdString();
        ASSERT_EQ(openWindowsNamed("BuyMenu").size(), 1u) << "the window stays open";
        EXPECT_TRUE(control<QCheckBox>(menu, "c24")->isChecked());
        EXPECT_TRUE(control<QCheckBox>(menu, "c27")->isChecked());
        EXPECT_EQ(control<QLineEdit>(menu, "Text1")->text(), key);
    }
}

TEST_F(BuyMenuTest, MarkerClickShowsItsSheetOrNothing) {
    struct Case {
        int index;
        const char* title; // nullptr: no box at all
        const char* textStart;
    };
    // clang-format off
    const std::vector<Case> cases = {
        {0,  "Waffeninformation", "Price\t\t: $400\r\nCountry of Origin\t: Austria"},
        {10, "Waffeninformation", "Price\t\t: $1700\r\nCountry of Origin\t: Germany"},
        {33, "Waffeninformation", "Price\t\t: $2500\r\nCountry of Origin\t: Russia"},
        {27, "Waffeninformation", "Price\t\t: $200"},
        {29, "Waffeninformation", "Price\t\t: $2200"},
        {37, "Waffeninformation", "Price\t\t: $5000\r\nCountry of Origin\t: Germany"},
        {30, "",                  "Kauft Munition für die Hauptwaffe"},
        {34, nullptr, nullptr}, {35, nullptr, nullptr}, {36, nullptr, nullptr},
    };
    // clang-format on
    QWidget* menu = openBuyMenu();
    for (const Case& c : cases) {
        services.messages.clear();
        click(menu, QStringLiteral("Image2_%1").arg(c.index).toLatin1().constData());
        if (c.title == nullptr) {
            EXPECT_TRUE(services.messages.empty()) << c.index;
            continue;
        }
        ASSERT_EQ(services.messages.size(), 1u) << c.index;
        EXPECT_EQ(services.messages[0].title, QString::fromUtf8(c.title)) << c.index;
        EXPECT_EQ(services.messages[0].icon, platform::MessageIcon::None) << c.index;
        EXPECT_TRUE(services.messages[0].text.startsWith(QString::fromUtf8(c.textStart))) << c.index;
    }
    EXPECT_EQ(menu->findChild<QWidget*>("Image2_32"), nullptr);
}

TEST_F(BuyMenuTest, NoCaptionIsClippedAndStripDragsWithTheServices) {
    QWidget* menu = openBuyMenu();
    expectNoTextClipped(*menu);
    EXPECT_EQ(menu->size(), QSize(633, 460));
    QTest::mousePress(control<QWidget>(menu, "Picture1"), Qt::LeftButton, {}, QPoint(50, 5));
    QTest::mouseRelease(control<QWidget>(menu, "Picture1"), Qt::LeftButton, {}, QPoint(50, 5));
    ASSERT_EQ(services.drags.size(), 1u);
    EXPECT_EQ(services.drags[0].strip, control<QWidget>(menu, "Picture1"));
}

TEST_F(BuyMenuTest, MarkersAndEscapeWorkFromTheKeyboard) {
    QWidget* menu = openBuyMenu();
    auto* marker = control<QWidget>(menu, "Image2_11");
    EXPECT_EQ(marker->accessibleName(), "Waffeninformation: ES C90");
    EXPECT_FALSE(marker->accessibleDescription().isEmpty());
    QTest::keyClick(marker, Qt::Key_Space);
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_TRUE(services.messages[0].text.contains(".338 Lapuma Magnum"));
    // The legend markers explain colours; they are no buttons.
    EXPECT_EQ(control<QWidget>(menu, "Image2_34")->focusPolicy(), Qt::NoFocus);
    freeText()->setPlainText("unchanged");
    QTest::keyClick(menu, Qt::Key_Escape);
    EXPECT_TRUE(openWindowsNamed("BuyMenu").empty());
    EXPECT_EQ(freeText()->toPlainText(), "unchanged");
}

TEST_F(BuyMenuTest, BuyBindAtTheCaretIsChangedWhereItStands) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile config(dir.filePath("config.cfg"));
    ASSERT_TRUE(config.open(QIODevice::WriteOnly));
    config.write("bind \"r\" \"+reload\"\r\n");
    config.close();
    window.proposeSavePath(dir.filePath("userconfig.cfg"));
    freeText()->setPlainText("say a\nbind \"F3\" \"ak47;vesthelm;buyammo1\"\nsay b");
    selectInBox(freeText(), 10, 10); // on the bind line
    QWidget* menu = openBuyMenu();
    auto* key = control<QLineEdit>(menu, "Text1");
    EXPECT_EQ(key->text(), "F3");
    for (const char* box : {"c22", "c25", "c26", "c24"}) {
        EXPECT_EQ(control<QCheckBox>(menu, box)->isChecked(), box == std::string("c22") || box == std::string("c25"))
            << box;
    }
    EXPECT_TRUE(control<QLabel>(menu, "Label8")->text().contains("buyammo1"));

    // A key the game's config.cfg binds is named, and inserting onto it asks first.
    key->setText("r");
    EXPECT_EQ(control<QLabel>(menu, "Label8")->text().left(34), "R ist belegt: +reload (config.cfg)");
    click(menu, "Command1");
    ASSERT_EQ(services.questions.size(), 1u);
    EXPECT_TRUE(services.questions[0].text.contains("config.cfg"));
    ASSERT_EQ(openWindowsNamed("BuyMenu").size(), 1u) << "rejected: the window stays";

    key->setText("F3");
    click(menu, "c26");
    click(menu, "Command1");
    EXPECT_EQ(window.snapshot().manual_text, "say a\r\nbind \"F3\" \"ak47;vesthelm;flash;buyammo1\"\r\nsay b");
    EXPECT_EQ(services.questions.size(), 1u) << "its own line needs no question";
}

#ifndef Q_OS_WIN
// X keycodes as the X server and Wayland report them: the evdev code + 8.
TEST_F(BuyMenuTest, KeyBoxTakesPressedKeysButtonsAndTheWheel) {
    QWidget* menu = openBuyMenu();
    auto* box = control<QLineEdit>(menu, "Text1");
    auto* note = control<QLabel>(menu, "Label8");
    const auto press = [box](int key, Qt::KeyboardModifiers modifiers, quint32 keycode, const QString& text) {
        QKeyEvent down(QEvent::KeyPress, key, modifiers, keycode, 0, 0, text);
        QApplication::sendEvent(box, &down);
        QKeyEvent up(QEvent::KeyRelease, key, modifiers, keycode, 0, 0, text);
        QApplication::sendEvent(box, &up);
    };
    const auto wheel = [box](int delta) {
        QWheelEvent turn(QPointF(5, 5), box->mapToGlobal(QPointF(5, 5)), {}, QPoint(0, delta), Qt::NoButton, {},
                         Qt::NoScrollPhase, false);
        QApplication::sendEvent(box, &turn);
    };
    menu->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(menu));
    box->setFocus(Qt::TabFocusReason);
    struct Step {
        const char* what;
        std::function<void()> act;
        const char* text;
        const char* noteHas; // nullptr: no note
    };
    // clang-format off
    const std::vector<Step> steps = {
        {"F5",                [&] { press(Qt::Key_F5, {}, 63 + 8, {}); },                           "F5",         nullptr},
        {"numpad End",        [&] { press(Qt::Key_End, Qt::KeypadModifier, 79 + 8, {}); },          "KP_END",     nullptr},
        {"numpad 1",          [&] { press(Qt::Key_1, Qt::KeypadModifier, 79 + 8, "1"); },           "KP_END",     nullptr},
        {"back button",       [&] { QTest::mouseClick(box, Qt::BackButton, {}, QPoint(5, 5)); },    "MOUSE4",     nullptr},
        {"right button",      [&] { QTest::mouseClick(box, Qt::RightButton, {}, QPoint(5, 5)); },   "MOUSE2",     nullptr},
        {"wheel down",        [&] { wheel(-120); },                                                 "MWHEELDOWN", nullptr},
        {"wheel up",          [&] { wheel(120); },                                                  "MWHEELUP",   nullptr},
        {"Backspace",         [&] { press(Qt::Key_Backspace, {}, 14 + 8, {}); },                    "BACKSPACE",  nullptr},
        {"Shift alone",       [&] { press(Qt::Key_Shift, {}, 42 + 8, {}); },                        "SHIFT",      nullptr},
        {"Escape refused",    [&] { press(Qt::Key_Escape, {}, 1 + 8, {}); },                        "SHIFT",      "Menü"},
        {"console refused",   [&] { press(Qt::Key_QuoteLeft, {}, 41 + 8, "`"); },                   "SHIFT",      "Konsole"},
        {"Windows refused",   [&] { press(Qt::Key_Super_L, {}, 125 + 8, {}); },                     "SHIFT",      "Windows"},
        {"semicolon",         [&] { press(Qt::Key_Semicolon, {}, 39 + 8, ";"); },                   "SEMICOLON",  nullptr},
        {"German Z unsure",   [&] { press(Qt::Key_Z, {}, 21 + 8, "z"); },                           "",           "nicht sicher"},
        {"q types",           [&] { press(Qt::Key_Q, {}, 16 + 8, "q"); },                           "q",          nullptr},
        {"F12 after q",       [&] { press(Qt::Key_F12, {}, 88 + 8, {}); },                          "F12",        nullptr},
        {"a name typed",      [&] { QTest::keyClicks(box, "mouse5"); },                             "mouse5",     nullptr},
        {"editing while typing", [&] { QTest::keyClick(box, Qt::Key_Backspace); },                  "mouse",      "keine Taste"},
    };
    // clang-format on
    for (const Step& step : steps) {
        step.act();
        EXPECT_EQ(box->text(), step.text) << step.what;
        EXPECT_EQ(note->text().isEmpty(), step.noteHas == nullptr) << step.what << ": " << note->text().toStdString();
        if (step.noteHas != nullptr) {
            EXPECT_TRUE(note->text().contains(QString::fromUtf8(step.noteHas))) << step.what;
        }
    }
    EXPECT_EQ(openWindowsNamed("BuyMenu").size(), 1u) << "Escape in the key box does not close the window";
}
#endif

} // namespace
} // namespace setforge::windows
