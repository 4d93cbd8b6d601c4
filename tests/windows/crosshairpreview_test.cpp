#include "support/fake_window_services.h"
#include "support/finders.h"
#include "widget_helpers.h"

#include "windows/mainwindow.h"

#include <QComboBox>
#include <QLabel>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

namespace setforge::windows {
namespace {

using testsupport::control;

struct Arm {
    int x, y, width, height;
};

// The preview opened from the main window's button, with the main window's and its own controls.
class CrosshairPreviewTest : public ::testing::Test {
protected:
    platform::FakeWindowServices services;
    MainWindow window{services};

    QWidget* openPreview() {
        QTest::mouseClick(control<QWidget>(&window, "Command5"), Qt::LeftButton, {}, QPoint(5, 8));
        const auto open = testsupport::openWindowsNamed("CrosshairPreview");
        return open.size() == 1 ? open.front() : nullptr;
    }
    static void choose(QWidget* parent, const char* list, const QString& text) {
        auto* box = control<QComboBox>(parent, list);
        box->setCurrentIndex(box->findText(text, Qt::MatchExactly));
        ASSERT_GE(box->currentIndex(), 0) << text.toStdString();
    }
    static QImage shown(QWidget* preview, const char* view) {
        return control<QLabel>(preview, view)->pixmap().toImage().convertToFormat(QImage::Format_RGB32);
    }
};

TEST_F(CrosshairPreviewTest, ButtonCoversNoControlAndOpensOneWindow) {
    const QWidget* button = control<QWidget>(&window, "Command5");
    const QRect place(button->mapTo(&window, QPoint(0, 0)), button->size());
    for (const QWidget* other : window.findChildren<QWidget*>()) {
        const bool control = qobject_cast<const QLabel*>(other) || qobject_cast<const QAbstractButton*>(other) ||
                             qobject_cast<const QComboBox*>(other);
        if (control && other != button) {
            EXPECT_FALSE(place.intersects(QRect(other->mapTo(&window, QPoint(0, 0)), other->size())))
                << other->objectName().toStdString();
        }
    }
    QWidget* preview = openPreview();
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(preview, openPreview()); // a second click raises the same window
    expectNoTextClipped(*preview);
}

TEST_F(CrosshairPreviewTest, PicturesShowTheRulesArmsPixelForPixel) {
    struct Case {
        const char *size, *colour, *translucent, *resolution, *background, *weapon;
        int width, height;
        std::vector<Arm> arms; // the worked examples' arms on that screen
        QRgb below, lit;
    };
    const std::vector<Arm> ak1920{{972, 540, 15, 1}, {960, 552, 1, 15}, {934, 540, 15, 1}, {960, 514, 1, 15}};
    const std::vector<Arm> ak1024{{517, 384, 6, 1}, {512, 389, 1, 6}, {501, 384, 6, 1}, {512, 373, 1, 6}};
    const std::vector<Case> cases{
        {"o7", "Grün", "o8", "1920 × 1080", "Heller Himmel", "AK-47", 1920, 1080, ak1920, qRgb(186, 214, 240),
         qRgb(236, 255, 255)},
        {"o7", "Rot", "o9", "1920 × 1080", "Heller Himmel", "AK-47", 1920, 1080, ak1920, qRgb(186, 214, 240),
         qRgb(250, 50, 50)},
        {"o6", "Weiß", "o8", "1024 × 768", "Dunkel", "AK-47", 1024, 768, ak1024, qRgb(24, 26, 30), qRgb(255, 255, 255)},
        {"o6", "Gelb", "o8", "1024 × 768", "Dunkel", "AK-47", 1024, 768, ak1024, qRgb(24, 26, 30), qRgb(255, 255, 80)},
        {"o6", "Gelb", "o8", "1024 × 768", "Sandwand", "AWP", 1024, 768, {}, qRgb(200, 172, 120), 0},
    };
    QWidget* preview = openPreview();
    ASSERT_NE(preview, nullptr);
    for (const Case& c : cases) {
        // The main window's controls change while the preview is open.
        control<QRadioButton>(&window, c.size)->setChecked(true);
        control<QRadioButton>(&window, c.translucent)->setChecked(true);
        choose(&window, "cfarbe", c.colour);
        choose(preview, "Resolution", c.resolution);
        choose(preview, "Background", c.background);
        choose(preview, "Weapon", c.weapon);
        const auto expected = [&](int screenX, int screenY) {
            for (const Arm& a : c.arms) {
                if (screenX >= a.x && screenX < a.x + a.width && screenY >= a.y && screenY < a.y + a.height) {
                    return c.lit;
                }
            }
            return c.below;
        };
        // 1:1: 160 pixels around the centre; magnified: the middle 64 of them, each 4 x 4.
        const QImage actual = shown(preview, "Actual");
        const QImage magnified = shown(preview, "Magnified");
        ASSERT_EQ(actual.size(), QSize(160, 160));
        ASSERT_EQ(magnified.size(), QSize(256, 256));
        int wrong = 0;
        for (int y = 0; y < 160; ++y) {
            for (int x = 0; x < 160; ++x) {
                wrong += actual.pixel(x, y) != expected(c.width / 2 - 80 + x, c.height / 2 - 80 + y);
            }
        }
        for (int y = 0; y < 256; ++y) {
            for (int x = 0; x < 256; ++x) {
                wrong += magnified.pixel(x, y) != expected(c.width / 2 - 32 + x / 4, c.height / 2 - 32 + y / 4);
            }
        }
        EXPECT_EQ(wrong, 0) << c.colour << " on " << c.background << " at " << c.resolution;
    }
}

TEST_F(CrosshairPreviewTest, BurstWidensTheGapAndItClosesAgain) {
    QWidget* preview = openPreview();
    ASSERT_NE(preview, nullptr);
    choose(preview, "Resolution", "640 × 480");
    control<QRadioButton>(&window, "o7")->setChecked(true); // large: no scaling at 640
    const auto rightArmStart = [&] {
        const QImage image = shown(preview, "Actual");
        for (int x = 81; x < 160; ++x) {
            if (image.pixel(x, 80) != image.pixel(159, 159)) {
                return x - 80;
            }
        }
        return -1;
    };
    EXPECT_EQ(rightArmStart(), 4);
    QTest::mouseClick(control<QWidget>(preview, "Command1"), Qt::LeftButton);
    EXPECT_EQ(rightArmStart(), 8); // the first shot: AK-47 widens by 4
    int widest = 0;
    for (int i = 0; i < 300 && rightArmStart() != 4; ++i) {
        widest = std::max(widest, rightArmStart());
        QTest::qWait(10);
    }
    EXPECT_GT(widest, 8); // later shots widen it further, to at most 15
    EXPECT_LE(widest, 15);
    EXPECT_EQ(rightArmStart(), 4);
}

} // namespace
} // namespace setforge::windows
