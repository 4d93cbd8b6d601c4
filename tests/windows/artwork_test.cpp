#include "windows/artwork.h"
#include "windows/start_pictures.h"

#include <QColor>
#include <QIcon>
#include <QImage>
#include <QPixmap>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>
#include <string>
#include <vector>

namespace setforge::windows {
namespace {

using artwork::MarkerColour;

QImage imageOf(const QPixmap& pixmap) {
    return pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
}

bool isOrange(QColor c) {
    const int hue = c.hsvHue();
    return c.alpha() > 128 && hue >= 15 && hue <= 45 && c.hsvSaturation() >= 150 && c.value() >= 150;
}

// Columns [from, to) that hold at least one orange pixel.
int orangeColumns(const QImage& image, int from, int to) {
    int columns = 0;
    for (int x = from; x < to; ++x) {
        for (int y = 0; y < image.height(); ++y) {
            if (isOrange(image.pixelColor(x, y))) {
                ++columns;
                break;
            }
        }
    }
    return columns;
}

int orangeInRow(const QImage& image, int y) {
    int count = 0;
    for (int x = 0; x < image.width(); ++x) {
        count += isOrange(image.pixelColor(x, y)) ? 1 : 0;
    }
    return count;
}

// Mean hue of the clearly coloured pixels, averaged on the circle so that red near 0/360 stays red.
double dominantHue(const QImage& image) {
    double sx = 0;
    double sy = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.hsvSaturation() < 120 || c.value() < 60) {
                continue;
            }
            const double angle = c.hsvHue() * std::numbers::pi / 180.0;
            sx += std::cos(angle);
            sy += std::sin(angle);
        }
    }
    if (sx == 0 && sy == 0) {
        return -1;
    }
    const double degrees = std::atan2(sy, sx) * 180.0 / std::numbers::pi;
    return degrees < 0 ? degrees + 360 : degrees;
}

bool hueWithin(double hue, double low, double high) {
    return low <= high ? (hue >= low && hue <= high) : (hue >= low || hue <= high);
}

double meanColourDistance(const QImage& a, const QImage& b) {
    double sum = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QColor p = a.pixelColor(x, y);
            const QColor q = b.pixelColor(x, y);
            sum += std::abs(p.red() - q.red()) + std::abs(p.green() - q.green()) + std::abs(p.blue() - q.blue());
        }
    }
    return sum / (a.width() * a.height());
}

struct Piece {
    std::string name;
    std::function<QPixmap(qreal)> paint;
    QSize size;
};

std::vector<Piece> allPieces() {
    return {
        {"titleStrip", [](qreal dpr) { return artwork::titleStrip(dpr); }, {731, 17}},
        {"banner", [](qreal dpr) { return artwork::banner(dpr); }, {762, 41}},
        {"minimiseButton", [](qreal dpr) { return artwork::minimiseButton(dpr); }, {15, 17}},
        {"closeButton", [](qreal dpr) { return artwork::closeButton(dpr); }, {16, 17}},
        {"roundButton 20x11", [](qreal dpr) { return artwork::roundButton(Qt::blue, 20, 11, {}, dpr); }, {20, 11}},
        {"aboutIcon", [](qreal dpr) { return artwork::aboutIcon(dpr); }, {13, 13}},
        {"marker green", [](qreal dpr) { return artwork::marker(MarkerColour::Green, dpr); }, {13, 13}},
        {"marker blue", [](qreal dpr) { return artwork::marker(MarkerColour::Blue, dpr); }, {13, 13}},
        {"marker red", [](qreal dpr) { return artwork::marker(MarkerColour::Red, dpr); }, {13, 13}},
    };
}

TEST(Artwork, EveryPieceHasTheDesignedPixelSize) {
    for (const Piece& piece : allPieces()) {
        const QPixmap pixmap = piece.paint(1.0);
        EXPECT_EQ(pixmap.size(), piece.size) << piece.name;
        EXPECT_EQ(pixmap.devicePixelRatio(), 1.0) << piece.name;
    }
}

TEST(Artwork, HighDensityPiecesKeepTheirLogicalSize) {
    for (const Piece& piece : allPieces()) {
        const QPixmap pixmap = piece.paint(2.0);
        EXPECT_EQ(pixmap.size(), piece.size * 2) << piece.name;
        EXPECT_EQ(pixmap.deviceIndependentSize().toSize(), piece.size) << piece.name;
    }
}

TEST(Artwork, HighDensityPiecesAreFullyPainted) {
    // A painter left at scale 1 on a 2x canvas would paint only the top left quarter.
    for (const Piece& piece : allPieces()) {
        const QImage low = imageOf(piece.paint(1.0));
        const QImage high =
            imageOf(piece.paint(2.0)).scaled(low.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        EXPECT_LT(meanColourDistance(low, high), 40.0) << piece.name;
    }
}

TEST(Artwork, RoundPiecesSitOnTheWindowGrey) {
    const std::vector<std::pair<std::string, QPixmap>> round = {
        {"minimiseButton", artwork::minimiseButton()},
        {"closeButton", artwork::closeButton()},
        {"aboutIcon", artwork::aboutIcon()},
        {"marker green", artwork::marker(MarkerColour::Green)},
        {"marker blue", artwork::marker(MarkerColour::Blue)},
        {"marker red", artwork::marker(MarkerColour::Red)},
    };
    for (const auto& [name, pixmap] : round) {
        const QImage image = imageOf(pixmap);
        const int right = image.width() - 1;
        const int bottom = image.height() - 1;
        for (const QPoint corner : {QPoint(0, 0), QPoint(right, 0), QPoint(0, bottom), QPoint(right, bottom)}) {
            EXPECT_EQ(image.pixel(corner), artwork::WindowGrey)
                << name << " corner " << corner.x() << "," << corner.y();
        }
        // The centre is the button, not the background.
        EXPECT_NE(image.pixel(image.width() / 2, image.height() / 2), artwork::WindowGrey) << name;
    }
}

TEST(Artwork, RoundPiecesAreWholeCirclesAsLargeAsFit) {
    struct Case {
        std::string name;
        QPixmap pixmap;
    };
    const std::vector<Case> cases = {
        {"minimiseButton", artwork::minimiseButton()},
        {"closeButton", artwork::closeButton()},
        {"roundButton 22x12", artwork::roundButton(Qt::darkCyan, 22, 12)},
        {"aboutIcon", artwork::aboutIcon()},
        {"marker red", artwork::marker(MarkerColour::Red)},
    };
    for (const Case& c : cases) {
        const QImage image = imageOf(c.pixmap);
        const int w = image.width();
        QRect painted;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < w; ++x) {
                const bool inside = image.pixel(x, y) != artwork::WindowGrey;
                const bool mirrored = image.pixel(w - 1 - x, y) != artwork::WindowGrey;
                EXPECT_EQ(inside, mirrored) << c.name << " at " << x << "," << y;
                if (inside) {
                    painted |= QRect(x, y, 1, 1);
                }
            }
        }
        const int diameter = std::min(w, image.height());
        EXPECT_EQ(painted.width(), diameter) << c.name;
        EXPECT_EQ(painted.height(), diameter) << c.name;
    }
}

TEST(Artwork, PiecesShowTheirColour) {
    struct Case {
        std::string name;
        QPixmap pixmap;
        double low;
        double high;
    };
    const std::vector<Case> cases = {
        {"marker green", artwork::marker(MarkerColour::Green), 90, 150},
        {"marker blue", artwork::marker(MarkerColour::Blue), 200, 250},
        {"marker red", artwork::marker(MarkerColour::Red), 345, 15},
        {"minimiseButton", artwork::minimiseButton(), 90, 150},
        {"closeButton", artwork::closeButton(), 345, 15},
        {"aboutIcon", artwork::aboutIcon(), 40, 62},
    };
    for (const Case& c : cases) {
        const double hue = dominantHue(imageOf(c.pixmap));
        EXPECT_TRUE(hueWithin(hue, c.low, c.high)) << c.name << " hue " << hue;
    }
}

TEST(Artwork, MarkersOfTheThreeSidesDifferClearly) {
    const QImage green = imageOf(artwork::marker(MarkerColour::Green));
    const QImage blue = imageOf(artwork::marker(MarkerColour::Blue));
    const QImage red = imageOf(artwork::marker(MarkerColour::Red));
    EXPECT_GT(meanColourDistance(green, blue), 60.0);
    EXPECT_GT(meanColourDistance(green, red), 60.0);
    EXPECT_GT(meanColourDistance(blue, red), 60.0);
}

bool isGlyphWhite(QColor c) {
    return c.value() > 235 && c.hsvSaturation() < 60;
}

// White pixels below the gloss, where only a glyph can be white.
QRect glyphBox(const QPixmap& pixmap, int* count) {
    const QImage image = imageOf(pixmap);
    QRect box;
    *count = 0;
    for (int y = image.height() / 2 - 1; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (isGlyphWhite(image.pixelColor(x, y))) {
                box |= QRect(x, y, 1, 1);
                ++*count;
            }
        }
    }
    return box;
}

TEST(Artwork, ButtonsCarryACentredWhiteGlyphOnlyWhenAsked) {
    const QColor red(0xd8, 0x26, 0x1e);
    struct Case {
        std::string name;
        QPixmap pixmap;
        bool glyph;
    };
    const std::vector<Case> cases = {
        {"plain", artwork::roundButton(red, 16, 17), false},
        {"cross 16", artwork::roundButton(red, 16, 17, artwork::ButtonGlyph::Cross), true},
        {"minus 16", artwork::roundButton(red, 16, 17, artwork::ButtonGlyph::Minus), true},
        {"cross 15", artwork::roundButton(red, 15, 17, artwork::ButtonGlyph::Cross), true},
        {"minus 15", artwork::roundButton(red, 15, 17, artwork::ButtonGlyph::Minus), true},
        {"closeButton", artwork::closeButton(), true},
        {"minimiseButton", artwork::minimiseButton(), true},
    };
    for (const Case& c : cases) {
        int count = 0;
        const QRect box = glyphBox(c.pixmap, &count);
        if (!c.glyph) {
            EXPECT_EQ(count, 0) << c.name;
            continue;
        }
        EXPECT_GE(count, 4) << c.name;
        // As far from the left edge as from the right one.
        EXPECT_EQ(box.left(), c.pixmap.width() - 1 - box.right()) << c.name;
    }
}

TEST(Artwork, AboutIconShowsADarkMarkInItsMiddle) {
    const QImage image = imageOf(artwork::aboutIcon());
    int dark = 0;
    for (int y = 3; y < 11; ++y) {
        for (int x = 3; x < 10; ++x) {
            dark += image.pixelColor(x, y).value() < 90 ? 1 : 0;
        }
    }
    EXPECT_GE(dark, 6);
}

TEST(Artwork, TitleStripTextStaysClearOfEdgesAndCrops) {
    const QImage strip = imageOf(artwork::titleStrip());
    ASSERT_EQ(strip.width(), 731);

    // The About window shows the strip up to x 296 and must still show both names there.
    EXPECT_GE(orangeColumns(strip, 0, 296), 120);
    // No word is cut where the About window (296) or the buy window (616) ends the strip.
    EXPECT_EQ(orangeColumns(strip, 292, 300), 0);
    EXPECT_EQ(orangeColumns(strip, 612, 620), 0);
    // The maker's name is there, right of the buy window's crop...
    EXPECT_GE(orangeColumns(strip, 620, 716), 30);
    // ...and ends before the main window's About icon, which covers x 716 to 728.
    EXPECT_EQ(orangeColumns(strip, 712, 731), 0);
    // Not clipped at the top or bottom either.
    EXPECT_EQ(orangeInRow(strip, 0), 0);
    EXPECT_EQ(orangeInRow(strip, strip.height() - 1), 0);
}

TEST(Artwork, BannerShowsThreeTextsOnDarkMetal) {
    const QImage image = imageOf(artwork::banner());
    const int w = image.width();
    EXPECT_GE(orangeColumns(image, 0, w / 4), 30);
    EXPECT_GE(orangeColumns(image, w / 3, 2 * w / 3), 150);
    EXPECT_GE(orangeColumns(image, 3 * w / 4, w), 30);
    EXPECT_EQ(orangeColumns(image, 0, 4), 0);
    EXPECT_EQ(orangeColumns(image, w - 4, w), 0);
    EXPECT_EQ(orangeInRow(image, 0), 0);
    EXPECT_EQ(orangeInRow(image, image.height() - 1), 0);

    // Dark behind the text: the background's mean brightness stays low.
    double sum = 0;
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < w; ++x) {
            const QColor c = image.pixelColor(x, y);
            if (!isOrange(c)) {
                sum += c.value();
                ++count;
            }
        }
    }
    ASSERT_GT(count, 0);
    EXPECT_LT(sum / count, 90.0);
}

TEST(Artwork, BannerIsTheSameInEveryRun) {
    EXPECT_EQ(imageOf(artwork::banner()), imageOf(artwork::banner()));
}

TEST(Artwork, StartPicturesAreWhatTheCodePaintsNow) {
    // The build's pixels stand in for painting at start: pixels left from older artwork code, or
    // read with the wrong size or format, would change the first picture.
    ASSERT_TRUE(start_pictures::takenFromBuild());
    const struct {
        const char* name;
        QPixmap atStart;
        QPixmap painted;
    } pictures[] = {
        {"banner", start_pictures::banner(), artwork::banner()},
        {"aboutIcon", start_pictures::aboutIcon(), artwork::aboutIcon()},
        {"minimiseButton", start_pictures::minimiseButton(), artwork::minimiseButton()},
        {"closeButton", start_pictures::closeButton(), artwork::closeButton()},
    };
    for (const auto& picture : pictures) {
        EXPECT_EQ(picture.atStart.devicePixelRatio(), 1.0) << picture.name;
        EXPECT_EQ(imageOf(picture.atStart), imageOf(picture.painted)) << picture.name;
    }
}

TEST(Artwork, WindowIconOffersTheTaskbarSizesAndInstallsEverySize) {
    const QList<QSize> taskbar = artwork::windowIcon().availableSizes();
    for (int s : {16, 32}) {
        EXPECT_TRUE(taskbar.contains(QSize(s, s))) << s;
    }
    for (int s : artwork::InstalledIconSizes) {
        const QImage image = imageOf(artwork::windowIconPixmap(s));
        ASSERT_EQ(image.size(), QSize(s, s)) << s;
        // The orange emblem is there and the plate covers the middle.
        EXPECT_GE(orangeColumns(image, 0, s), s / 4) << s;
        EXPECT_EQ(image.pixelColor(s / 2, s / 4).alpha(), 255) << s;
    }
}

} // namespace
} // namespace setforge::windows
