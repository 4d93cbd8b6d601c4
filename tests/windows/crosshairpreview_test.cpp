#include "support/fake_window_services.h"
#include "support/finders.h"
#include "widget_helpers.h"

#include "windows/crosshairpreview.h"
#include "windows/mainwindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScreen>
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
    // Both views against the arms (screen rectangles) that should be lit: the 1:1 view shows 218
    // pixels around the centre, the magnified one 256 / zoom of them, each zoom x zoom. Returns
    // the wrong pixels.
    static int wrongPixels(QWidget* preview, const QSize& screen, const std::vector<QRect>& arms, QRgb below, QRgb lit,
                           int zoom) {
        const QPoint centre(screen.width() / 2, screen.height() / 2);
        const auto expected = [&](const QPoint& at) {
            return std::ranges::any_of(arms, [&](const QRect& arm) { return arm.contains(at); }) ? lit : below;
        };
        const QImage actual = shown(preview, "Actual");
        const QImage magnified = shown(preview, "Magnified");
        const int cut = 256 / zoom;
        EXPECT_EQ(actual.size(), QSize(218, 218));
        EXPECT_EQ(magnified.size(), QSize(cut * zoom, cut * zoom));
        int wrong = 0;
        for (int y = 0; y < 218; ++y) {
            for (int x = 0; x < 218; ++x) {
                wrong += actual.pixel(x, y) != expected(centre + QPoint(x - 109, y - 109));
            }
        }
        for (int y = 0; y < magnified.height(); ++y) {
            for (int x = 0; x < magnified.width(); ++x) {
                wrong += magnified.pixel(x, y) != expected(centre + QPoint(x / zoom - cut / 2, y / zoom - cut / 2));
            }
        }
        return wrong;
    }
    static QString zoomCaption(int zoom) { return QStringLiteral("Vergrößert (%1fach)").arg(zoom); }
};

TEST_F(CrosshairPreviewTest, PicturesShowTheRulesArmsPixelForPixel) {
    struct Case {
        const char *size, *colour, *translucent, *resolution, *background, *weapon;
        QRgb below, lit;
        int zoom;
    };
    // The worked examples' arms (x, y, width, height) on each screen; the knife at 1920 reaches
    // 35 pixels (3x), the AWP has none.
    const std::map<QString, std::vector<QRect>> arms{
        {"AK-47 1920 × 1080", {{972, 540, 15, 1}, {960, 552, 1, 15}, {934, 540, 15, 1}, {960, 514, 1, 15}}},
        {"AK-47 1024 × 768", {{517, 384, 6, 1}, {512, 389, 1, 6}, {501, 384, 6, 1}, {512, 373, 1, 6}}},
        {"Messer 1920 × 1080", {{981, 540, 15, 1}, {960, 561, 1, 15}, {925, 540, 15, 1}, {960, 505, 1, 15}}},
        {"AWP 1024 × 768", {}}};
    const std::vector<Case> cases{
        {"o7", "Grün", "o8", "1920 × 1080", "Heller Himmel", "AK-47", qRgb(186, 214, 240), qRgb(236, 255, 255), 4},
        {"o7", "Rot", "o9", "1920 × 1080", "Heller Himmel", "AK-47", qRgb(186, 214, 240), qRgb(250, 50, 50), 4},
        {"o7", "Rot", "o9", "1920 × 1080", "Dunkel", "Messer", qRgb(24, 26, 30), qRgb(250, 50, 50), 3},
        {"o6", "Weiß", "o8", "1024 × 768", "Dunkel", "AK-47", qRgb(24, 26, 30), qRgb(255, 255, 255), 4},
        {"o6", "Gelb", "o8", "1024 × 768", "Dunkel", "AK-47", qRgb(24, 26, 30), qRgb(255, 255, 80), 4},
        {"o6", "Gelb", "o8", "1024 × 768", "Sandwand", "AWP", qRgb(200, 172, 120), 0, 4}};
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
        const QSize screen(size[0].toInt(), size[1].toInt());
        EXPECT_EQ(
            wrongPixels(preview, screen, arms.at(QString("%1 %2").arg(c.weapon, c.resolution)), c.below, c.lit, c.zoom),
            0)
            << c.colour << " on " << c.background << " at " << c.resolution << " " << c.weapon;
        EXPECT_EQ(control<QLabel>(preview, "Label2")->text(), zoomCaption(c.zoom)) << c.weapon;
    }
    expectNoTextClipped(*preview); // with the AWP's longer note
}

TEST_F(CrosshairPreviewTest, BurstAt1920ShowsEveryArmInBothViews) {
    struct Case {
        const char *weapon, *movement;
        bool mode;
        std::vector<QRect> firstShot; // the arms in the burst's first frame
        int shotAlpha;
    };
    // Large at 1920 wide, opaque red on dark. AK-47: gap 4 + 4 = 8 -> 24 px, arms 7 -> 21 px long;
    // AUG: 3 + 3 -> 18 px, arms 6 -> 18; the burst Glock in the air already stands at 22, past the
    // limit of 15: 66 px, arms 15, never wider.
    const std::vector<Case> cases{
        {"AK-47", "Stehen", false, {{984, 540, 21, 1}, {960, 564, 1, 21}, {916, 540, 21, 1}, {960, 496, 1, 21}}, 215},
        {"AUG", "Stehen", false, {{978, 540, 18, 1}, {960, 558, 1, 18}, {925, 540, 18, 1}, {960, 505, 1, 18}}, 215},
        {"Glock 18",
         "In der Luft",
         true,
         {{1026, 540, 15, 1}, {960, 606, 1, 15}, {880, 540, 15, 1}, {960, 460, 1, 15}},
         215}};
    QWidget* preview = openPreview();
    ASSERT_NE(preview, nullptr);
    control<QRadioButton>(&window, "o7")->setChecked(true);
    control<QRadioButton>(&window, "o9")->setChecked(true);
    choose(&window, "cfarbe", "Rot");
    choose(preview, "Resolution", "1920 × 1080");
    int frames = 0;
    for (const Case& c : cases) {
        choose(preview, "Weapon", c.weapon);
        choose(preview, "Movement", c.movement);
        control<QCheckBox>(preview, "Mode")->setChecked(c.mode);
        QTest::mouseClick(control<QWidget>(preview, "Command1"), Qt::LeftButton);
        const game::Rgb lit = game::blendCrosshairPixel({24, 26, 30}, {250, 50, 50}, c.shotAlpha, false);
        // During the burst the zoom stays at the one for the widest frame: 1x for all three.
        EXPECT_EQ(wrongPixels(preview, {1920, 1080}, c.firstShot, qRgb(24, 26, 30), qRgb(lit.r, lit.g, lit.b), 1), 0)
            << c.weapon;
        EXPECT_EQ(control<QLabel>(preview, "Label2")->text(), zoomCaption(1));
        // Every later frame: four whole arms, as many lit pixels in the magnified view as at 1:1.
        for (int i = 0; i < 400 && control<QLabel>(preview, "Label2")->text() == zoomCaption(1); ++i, ++frames) {
            const auto litPixels = [](const QImage& image) {
                int count = 0;
                for (int y = 0; y < image.height(); ++y) {
                    for (int x = 0; x < image.width(); ++x) {
                        count += image.pixel(x, y) != qRgb(24, 26, 30);
                    }
                }
                return count;
            };
            const QImage actual = shown(preview, "Actual");
            int length = 0;
            while (110 + length < 218 && actual.pixel(217 - length, 109) == qRgb(24, 26, 30)) {
                ++length;
            }
            int arm = 0;
            while (arm < 109 && actual.pixel(217 - length - arm, 109) != qRgb(24, 26, 30)) {
                ++arm;
            }
            ASSERT_EQ(litPixels(actual), 4 * arm) << c.weapon << " frame " << i;
            ASSERT_EQ(litPixels(shown(preview, "Magnified")), 4 * arm) << c.weapon << " frame " << i;
            QTest::qWait(10);
        }
    }
    EXPECT_GT(frames, 30);
    choose(preview, "Weapon", "Messer"); // the knife's attacks never widen: no burst to show
    EXPECT_FALSE(control<QWidget>(preview, "Command1")->isEnabled());
}

TEST_F(CrosshairPreviewTest, BurstWidensTheGapAndItClosesAgain) {
    QWidget* preview = openPreview();
    ASSERT_NE(preview, nullptr);
    choose(preview, "Resolution", "640 × 480");
    control<QRadioButton>(&window, "o7")->setChecked(true); // large: no scaling at 640
    const auto gap = [&] {
        const QImage image = shown(preview, "Actual");
        int x = 110;
        while (x < 217 && image.pixel(x, 109) == image.pixel(217, 217)) {
            ++x;
        }
        return x - 109;
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

TEST_F(CrosshairPreviewTest, FollowsTheFreeTextAndNamesWhereEachValueComesFrom) {
    QWidget* preview = openPreview();
    ASSERT_NE(preview, nullptr);
    choose(&window, "cfarbe", "Rot");
    choose(preview, "Resolution", "1920 × 1080");
    auto* freeText = control<QPlainTextEdit>(&window, "Text2");
    freeText->setFocus();
    for (const char* line : {"bind x jump", "cl_crosshair_size \" 3\"", "cl_crosshair_color \"0 0 255\""}) {
        QTest::keyClicks(freeText, line); // typed, as the player does
        QTest::keyClick(freeText, Qt::Key_Return);
    }
    const QString facts = control<QLabel>(preview, "Label3")->text();
    EXPECT_TRUE(facts.contains("Farbe „0 0 255“: aus dem eigenen Text, Zeile 3")) << facts.toStdString();
    EXPECT_TRUE(facts.contains("Größe Groß „ 3“: aus dem eigenen Text, Zeile 2")) << facts.toStdString();
    EXPECT_TRUE(facts.contains("Dynamisch an „1“: nicht gesetzt, Standard des Spiels")) << facts.toStdString();
    // Blue, additive on the dark wall: the large top arm at 1920 spans 12 to 26 above the centre.
    EXPECT_EQ(shown(preview, "Actual").pixel(109, 109 - 20), qRgb(24, 26, 255));
    freeText->clear(); // back to the window's own "Rot" and no size: "Automatisch"
    EXPECT_TRUE(control<QLabel>(preview, "Label3")->text().contains("Farbe „250 50 50“: aus dem Fenster"));
    EXPECT_TRUE(control<QLabel>(preview, "Label3")->text().contains("Größe Automatisch „auto“"));
}

TEST_F(CrosshairPreviewTest, OpensBesideTheMainWindowNeverOverItsCrosshairRows) {
    QWidget* preview = openPreview();
    ASSERT_NE(preview, nullptr);
    // It is placed when shown, not left where the secondary windows open (the screen's middle).
    EXPECT_EQ(preview->pos(), placeBeside(window.screen()->availableGeometry(), window.frameGeometry(), preview->size(),
                                          window.crosshairRows()));
    // The main window centred on each screen, as it starts; right of it where there is room.
    const QPoint offset = window.crosshairRows().topLeft() - window.frameGeometry().topLeft();
    for (const auto& [screen, besideRight] : std::vector<std::pair<QSize, bool>>{
             {{1920, 1080}, true}, {{1280, 1024}, false}, {{1024, 768}, false}, {{2560, 1440}, true}}) {
        QRect main(QPoint(), window.size());
        main.moveCenter(QRect(QPoint(), screen).center());
        const QRect rows(main.topLeft() + offset, window.crosshairRows().size());
        const QRect placed(placeBeside(QRect(QPoint(), screen), main, preview->size(), rows), preview->size());
        EXPECT_TRUE(QRect(QPoint(), screen).contains(placed)) << screen.width();
        EXPECT_FALSE(placed.intersects(rows)) << screen.width();
        EXPECT_EQ(placed.left() > main.right(), besideRight) << screen.width();
    }
}

} // namespace
} // namespace setforge::windows
