#include "support/fake_window_services.h"
#include "support/finders.h"
#include "widget_helpers.h"

#include "windows/mainwindow.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace setforge::windows {
namespace {

using platform::FakeWindowServices;

QWidget* theAboutWindow(int* count = nullptr) {
    const std::vector<QWidget*> open = testsupport::openWindowsNamed("AboutWindow");
    if (count != nullptr) {
        *count = static_cast<int>(open.size());
    }
    return open.empty() ? nullptr : open.back();
}

class AboutWindowTest : public ::testing::Test {
protected:
    FakeWindowServices services;
    MainWindow window{services};

    void TearDown() override { delete theAboutWindow(); }
};

TEST_F(AboutWindowTest, ButtonAndIconShowOneInstance) {
    window.Command3_Click();
    QWidget* about = theAboutWindow();
    ASSERT_NE(about, nullptr);
    QTest::mouseClick(window.findChild<QWidget*>("Image2"), Qt::LeftButton, {}, QPoint(5, 5));
    int count = 0;
    EXPECT_EQ(theAboutWindow(&count), about);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(about->parentWidget(), nullptr);
    EXPECT_TRUE(about->isVisible());
}

TEST_F(AboutWindowTest, OkHoldsFocusAndEnterOrSpaceCloses) {
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space}) {
        window.Command3_Click();
        QWidget* about = theAboutWindow();
        ASSERT_NE(about, nullptr);
        QApplication::setActiveWindow(about);
        QWidget* ok = about->findChild<QPushButton*>("Command1");
        EXPECT_EQ(about->focusWidget(), ok) << key;
        QTest::keyClick(ok, key);
        EXPECT_EQ(theAboutWindow(), nullptr) << key;
    }
}

TEST_F(AboutWindowTest, TabMovesFromOkToTheWebsiteButton) {
    window.Command3_Click();
    QWidget* about = theAboutWindow();
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(about->findChild<QPushButton*>("Command1")->nextInFocusChain(),
              about->findChild<QPushButton*>("Command2"));
}

TEST_F(AboutWindowTest, WebsiteOpensEachTimeAndTheWindowStays) {
    window.Command3_Click();
    QWidget* about = theAboutWindow();
    ASSERT_NE(about, nullptr);
    auto* site = about->findChild<QPushButton*>("Command2");
    EXPECT_EQ(site->text(), "Halvren Website besuchen");
    QTest::mouseClick(site, Qt::LeftButton);
    QTest::mouseClick(site, Qt::LeftButton);
    ASSERT_EQ(services.webAddresses.size(), 2u);
    EXPECT_EQ(services.webAddresses[1].url, "https://halvren.example/");
    EXPECT_EQ(services.webAddresses[1].owner, about);
    EXPECT_EQ(theAboutWindow(), about);
}

TEST_F(AboutWindowTest, ClosePictureDestroysAndNextOpeningIsFresh) {
    window.Command3_Click();
    QWidget* first = theAboutWindow();
    ASSERT_NE(first, nullptr);
    QPointer<QWidget> guard(first);
    QTest::mouseClick(first->findChild<QWidget*>("Image1"), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(theAboutWindow(), nullptr);
    EXPECT_TRUE(guard.isNull());
    window.Command3_Click();
    EXPECT_NE(theAboutWindow(), nullptr);
}

TEST_F(AboutWindowTest, TextsFitAndLicenceIsDarkGreen) {
    window.Command3_Click();
    QWidget* about = theAboutWindow();
    ASSERT_NE(about, nullptr);
    expectNoTextClipped(*about);
    EXPECT_EQ(about->size(), QSize(312, 205));
    const std::vector<std::pair<const char*, const char*>> texts = {
        {"Label1", "Halvren"},        {"Label2", "Copyright © 2026 Halvren"},
        {"Label3", "Autor: Halvren"}, {"Label5", "Lizensart:"},
        {"Label6", "Freeware"},       {"Label4", "Programmdesign: Halvren"}};
    for (const auto& [name, text] : texts) {
        auto* label = about->findChild<QLabel*>(name);
        ASSERT_NE(label, nullptr) << name;
        EXPECT_EQ(label->text(), QString::fromUtf8(text));
        EXPECT_TRUE(label->font().bold()) << name;
    }
    const QColor licence = about->findChild<QLabel*>("Label6")->palette().color(QPalette::WindowText);
    EXPECT_GT(licence.green(), 2 * licence.red());
    EXPECT_LT(licence.value(), 160);
}

} // namespace
} // namespace setforge::windows
