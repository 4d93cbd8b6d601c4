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

// The preview opened by the main window's button.
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

TEST_F(CrosshairPreviewTest, PicturesShowTheRulesArmsPixelForPixel) {
    struct Case {
        const char *size, *colour, *translucent, *resolution, *background, *weapon;
        QRgb below, lit;
    };
    // The worked examples' arms (x, y, width, height) on each screen; the AWP has none.
    const std::map<QString, std::vector<QRect>> arms{
        {"1920 × 1080", {{972, 540, 15, 1}, {960, 552, 1, 15}, {934, 540, 15, 1}, {960, 514, 1, 15}}},
        {"1024 × 768", {{517, 384, 6, 1}, {512, 389, 1, 6}, {501, 384, 6, 1}, {512, 373, 1, 6}}}};
    const std::vector<Case> cases{
        {"o7", "Grün", "o8", "1920 × 1080", "Heller Himmel", "AK-47", qRgb(186, 214, 240), qRgb(236, 255, 255)},
        {"o7", "Rot", "o9", "1920 × 1080", "Heller Himmel", "AK-47", qRgb(186, 214, 240), qRgb(250, 50, 50)},
        {"o6", "Weiß", "o8", "1024 × 768", "Dunkel", "AK-47", qRgb(24, 26, 30), qRgb(255, 255, 255)},
        {"o6", "Gelb", "o8", "1024 × 768", "Dunkel", "AK-47", qRgb(24, 26, 30), qRgb(255, 255, 80)},
        {"o6", "Gelb", "o8", "1024 × 768", "Sandwand", "AWP", qRgb(200, 172, 120), 0}};
    QWidget* preview = openPreview();
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(preview, openPreview()); // a second click raises the same window
    for (const Case& c : cases) {
        // The main window's controls change while the preview is open.
        control<QRadioButton>(&window, c.size)->setChecked(true);
        control<QRadioButton>(&window, c.translucent)->setChecked(true);
        choose(&window, "cfarbe", c.colour);
        choose(preview, "Resolution", c.resolution);
        choose(preview, "Background", c.background);
        choose(preview, "Weapon", c.weapon);
        const QStringList size = QString(c.resolution).split(" × ");
        const QPoint centre(size[0].toInt() / 2, size[1].toInt() / 2);
        const auto expected = [&](const QPoint& screen) {
            const bool onArm = std::ranges::any_of(arms.at(c.resolution), [&](const QRect& arm) {
                return c.weapon != QString("AWP") && arm.contains(screen);
            });
            return onArm ? c.lit : c.below;
        };
        // 1:1: 160 pixels around the centre; magnified: the middle 64 of them, each 4 x 4.
        const QImage actual = shown(preview, "Actual");
        const QImage magnified = shown(preview, "Magnified");
        ASSERT_EQ(actual.size(), QSize(160, 160));
        ASSERT_EQ(magnified.size(), QSize(256, 256));
        int wrong = 0;
        for (int y = 0; y < 256; ++y) {
            for (int x = 0; x < 256; ++x) {
                wrong += x < 160 && y < 160 && actual.pixel(x, y) != expected(centre + QPoint(x - 80, y - 80));
                wrong += magnified.pixel(x, y) != expected(centre + QPoint(x / 4 - 32, y / 4 - 32));
            }
        }
        EXPECT_EQ(wrong, 0) << c.colour << " on " << c.background << " at " << c.resolution;
    }
    expectNoTextClipped(*preview); // with the AWP's longer note
}

TEST_F(CrosshairPreviewTest, BurstWidensTheGapAndItClosesAgain) {
    QWidget* preview = openPreview();
    ASSERT_NE(preview, nullptr);
    choose(preview, "Resolution", "640 × 480");
    control<QRadioButton>(&window, "o7")->setChecked(true); // large: no scaling at 640
    const auto gap = [&] {
        const QImage image = shown(preview, "Actual");
        int x = 81;
        while (x < 159 && image.pixel(x, 80) == image.pixel(159, 159)) {
            ++x;
        }
        return x - 80;
    };
    EXPECT_EQ(gap(), 4);
    QTest::mouseClick(control<QWidget>(preview, "Command1"), Qt::LeftButton);
    EXPECT_EQ(gap(), 8); // the first shot: the AK-47 widens by 4
    int widest = 0;
    for (int i = 0; i < 300 && gap() != 4; ++i) {
        widest = std::max(widest, gap());
        QTest::qWait(10);
    }
    EXPECT_TRUE(widest > 8 && widest <= 15) << widest; // later shots widen it further, to at most 15
    EXPECT_EQ(gap(), 4);
}

} // namespace
} // namespace setforge::windows
