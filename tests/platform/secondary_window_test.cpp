#include "platform/secondary_window.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>

#include <gtest/gtest.h>

namespace setforge::platform {
namespace {

// A stand-in for the buy window: a fixed-size window with one control whose text shows
// whether the instance is fresh from its design.
struct Windows {
    int created = 0;
    QPointer<QWidget> slot;

    QWidget* show() {
        return showSecondaryWindow(slot, [this] {
            ++created;
            auto* window = new QWidget;
            window->setFixedSize(300, 200);
            auto* key = new QLineEdit("F11", window);
            key->setObjectName("key");
            return window;
        });
    }
};

void runDeferredDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST(SecondaryWindow, ExistsOnceAndComesBackOnAFurtherRequest) {
    Windows windows;
    QWidget* first = windows.show();
    first->findChild<QLineEdit*>("key")->setText("F5");
    QWidget* again = windows.show();

    EXPECT_EQ(again, first);
    EXPECT_EQ(windows.created, 1);
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(first->findChild<QLineEdit*>("key")->text(), "F5");
    closeSecondaryWindow(first);
    runDeferredDeletes();
}

TEST(SecondaryWindow, IsAFramelessModelessToolWindowWithoutOwnerCentredOnTheScreen) {
    Windows windows;
    QWidget* window = windows.show();

    EXPECT_EQ(window->parentWidget(), nullptr);
    EXPECT_EQ(window->windowType(), Qt::Tool);
    EXPECT_TRUE(window->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(window->windowModality(), Qt::NonModal);
    EXPECT_FALSE(window->isModal());
    const QPoint screenCentre = QGuiApplication::primaryScreen()->availableGeometry().center();
    EXPECT_LE((window->frameGeometry().center() - screenCentre).manhattanLength(), 1);
    closeSecondaryWindow(window);
    runDeferredDeletes();
}

TEST(SecondaryWindow, CloseDestroysItAndTheNextShowingStartsFromTheDesign) {
    Windows windows;
    QPointer<QWidget> first = windows.show();
    first->findChild<QLineEdit*>("key")->setText("F5");

    closeSecondaryWindow(first);
    runDeferredDeletes();

    EXPECT_TRUE(first.isNull());
    EXPECT_TRUE(windows.slot.isNull());
    QWidget* second = windows.show();
    EXPECT_EQ(windows.created, 2);
    EXPECT_EQ(second->findChild<QLineEdit*>("key")->text(), "F11");
    closeSecondaryWindow(second);
    runDeferredDeletes();
}

TEST(SecondaryWindow, ShowingAgainBeforeTheClosedOneIsGoneMakesAFreshOne) {
    Windows windows;
    QPointer<QWidget> first = windows.show();

    closeSecondaryWindow(first);
    QWidget* second = windows.show(); // the closed instance still awaits its deletion
    runDeferredDeletes();

    EXPECT_TRUE(first.isNull());
    EXPECT_EQ(windows.created, 2);
    EXPECT_EQ(windows.slot.data(), second);
    EXPECT_TRUE(second->isVisible());
    closeSecondaryWindow(second);
    runDeferredDeletes();
}

} // namespace
} // namespace setforge::platform
