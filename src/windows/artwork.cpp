#include "windows/artwork.h"

#include "platform/fonts.h"
#include "windows/layered_fill.h"
#include "windows/style.h"

#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QIcon>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QRadialGradient>
#include <QStringList>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

namespace setforge::windows::artwork {
namespace {

// The main window's About icon covers the strip from about x = 716, so the maker's name ends before it.
constexpr qreal StripRightTextEdge = 709.0;

QPixmap canvas(QSize logical, qreal dpr, const QColor& fill) {
    const qreal ratio = dpr > 0.0 ? dpr : 1.0;
    QPixmap pixmap(QSize(qRound(logical.width() * ratio), qRound(logical.height() * ratio)));
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(fill);
    return pixmap;
}

// --- title strip ---------------------------------------------------------------------------

void paintSilver(QPainter& painter, const QRectF& area) {
    QLinearGradient vertical(area.topLeft(), area.bottomLeft());
    vertical.setColorAt(0.0, QColor(0xfc, 0xfc, 0xfd));
    vertical.setColorAt(0.40, QColor(0xe4, 0xe6, 0xe9));
    vertical.setColorAt(0.55, QColor(0xd2, 0xd5, 0xd9));
    vertical.setColorAt(1.0, QColor(0xb0, 0xb4, 0xba));
    painter.fillRect(area, vertical);

    // A soft reflection along the length keeps the metal from looking flat.
    QLinearGradient sheen(area.topLeft(), area.topRight());
    sheen.setColorAt(0.0, QColor(255, 255, 255, 0));
    sheen.setColorAt(0.12, QColor(255, 255, 255, 70));
    sheen.setColorAt(0.35, QColor(255, 255, 255, 0));
    sheen.setColorAt(0.62, QColor(120, 125, 135, 22));
    sheen.setColorAt(0.82, QColor(255, 255, 255, 45));
    sheen.setColorAt(1.0, QColor(255, 255, 255, 0));
    painter.fillRect(area, sheen);

    painter.fillRect(QRectF(area.left(), area.top(), area.width(), 1), QColor(255, 255, 255, 210));
    painter.fillRect(QRectF(area.left(), area.bottom() - 1, area.width(), 1), QColor(0x86, 0x8a, 0x91));
}

// Orange on silver with a light line below: reads as text pressed into the metal.
void stripText(QPainter& painter, qreal x, qreal baseline, const QString& text) {
    painter.setPen(QColor(255, 255, 255, 170));
    painter.drawText(QPointF(x, baseline + 1), text);
    painter.setPen(QColor(0xd8, 0x64, 0x00));
    painter.drawText(QPointF(x, baseline), text);
}

// Fine grooves fill the space between the texts, as on a classic title bar.
void grooves(QPainter& painter, qreal left, qreal right, qreal height) {
    if (right - left < 8) {
        return;
    }
    const qreal fade = std::min<qreal>(24, (right - left) / 3);
    for (int y : {5, 8, 11}) {
        if (y + 1 >= height) {
            continue;
        }
        QLinearGradient dark(QPointF(left, 0), QPointF(right, 0));
        QLinearGradient light(QPointF(left, 0), QPointF(right, 0));
        const qreal edge = fade / (right - left);
        dark.setColorAt(0.0, QColor(0x8e, 0x93, 0x9a, 0));
        dark.setColorAt(edge, QColor(0x8e, 0x93, 0x9a, 200));
        dark.setColorAt(1.0 - edge, QColor(0x8e, 0x93, 0x9a, 200));
        dark.setColorAt(1.0, QColor(0x8e, 0x93, 0x9a, 0));
        light.setColorAt(0.0, QColor(255, 255, 255, 0));
        light.setColorAt(edge, QColor(255, 255, 255, 200));
        light.setColorAt(1.0 - edge, QColor(255, 255, 255, 200));
        light.setColorAt(1.0, QColor(255, 255, 255, 0));
        painter.fillRect(QRectF(left, y, right - left, 1), dark);
        painter.fillRect(QRectF(left, y + 1, right - left, 1), light);
    }
}

// A small orange diamond between the partner's name and the product.
void diamond(QPainter& painter, QPointF centre, qreal radius) {
    QPainterPath path;
    path.moveTo(centre.x(), centre.y() - radius);
    path.lineTo(centre.x() + radius, centre.y());
    path.lineTo(centre.x(), centre.y() + radius);
    path.lineTo(centre.x() - radius, centre.y());
    path.closeSubpath();
    painter.fillPath(path.translated(0, 1), QColor(255, 255, 255, 170));
    painter.fillPath(path, QColor(0xd8, 0x64, 0x00));
}

// --- banner --------------------------------------------------------------------------------

// A fixed sequence, so that the brushed texture is the same in every run.
class Lcg {
public:
    explicit Lcg(std::uint32_t seed)
        : m_state(seed) {}
    int next(int bound) {
        m_state = m_state * 1664525u + 1013904223u;
        return static_cast<int>((m_state >> 8) % static_cast<std::uint32_t>(bound));
    }

private:
    std::uint32_t m_state;
};

void paintDarkMetal(QPainter& painter, const QRectF& area) {
    QLinearGradient vertical(area.topLeft(), area.bottomLeft());
    vertical.setColorAt(0.0, QColor(0x62, 0x66, 0x6d));
    vertical.setColorAt(0.10, QColor(0x47, 0x4a, 0x50));
    vertical.setColorAt(0.48, QColor(0x2e, 0x30, 0x35));
    vertical.setColorAt(0.52, QColor(0x26, 0x28, 0x2c));
    vertical.setColorAt(1.0, QColor(0x16, 0x17, 0x19));
    painter.fillRect(area, vertical);

    // Brushed texture: short faint streaks along the length.
    Lcg random(0x5e7f0u);
    const int width = static_cast<int>(area.width());
    for (int y = 1; y < static_cast<int>(area.height()) - 1; ++y) {
        for (int streak = 0; streak < 10; ++streak) {
            const int x = random.next(width);
            const int length = 20 + random.next(120);
            const bool light = random.next(2) == 0;
            const QColor colour =
                light ? QColor(255, 255, 255, 6 + random.next(8)) : QColor(0, 0, 0, 10 + random.next(12));
            painter.fillRect(QRectF(area.left() + x, area.top() + y, length, 1), colour);
        }
    }

    // A broad slanted sheen, brighter near the top.
    QLinearGradient sheen(QPointF(area.left(), area.top()),
                          QPointF(area.left() + area.width() * 0.55, area.bottom() + 120));
    sheen.setColorAt(0.0, QColor(255, 255, 255, 0));
    sheen.setColorAt(0.30, QColor(255, 255, 255, 26));
    sheen.setColorAt(0.42, QColor(255, 255, 255, 4));
    sheen.setColorAt(0.75, QColor(255, 255, 255, 18));
    sheen.setColorAt(1.0, QColor(255, 255, 255, 0));
    painter.fillRect(area, sheen);

    painter.fillRect(QRectF(area.left(), area.top(), area.width(), 1), QColor(0x8c, 0x90, 0x97));
    painter.fillRect(QRectF(area.left(), area.top() + 1, area.width(), 1), QColor(255, 255, 255, 24));
    painter.fillRect(QRectF(area.left(), area.bottom() - 1, area.width(), 1), QColor(0x08, 0x08, 0x09));
}

QPainterPath textPath(const QFont& font, const QString& text, qreal x, qreal baseline) {
    QPainterPath path;
    path.addText(QPointF(x, baseline), font, text);
    return path;
}

// Orange with a top-lit gradient, a dark drop shadow and a thin dark edge so it stands off the metal.
void bannerText(QPainter& painter, const QPainterPath& path) {
    const QRectF box = path.boundingRect();
    QLinearGradient fill(box.topLeft(), box.bottomLeft());
    fill.setColorAt(0.0, QColor(0xff, 0xd0, 0x70));
    fill.setColorAt(0.45, QColor(0xff, 0x9a, 0x1c));
    fill.setColorAt(1.0, QColor(0xd9, 0x62, 0x00));
    const std::array<FillLayer, 3> layers = {{
        {QPointF(1, 2), QColor(0, 0, 0, 150)},
        {QPointF(0, 1), QColor(0, 0, 0, 110)},
        {QPointF(0, 0), fill},
    }};
    fillLayers(painter, path, layers);
    painter.strokePath(path, QPen(QColor(0x4a, 0x22, 0x00, 170), 0.8));
}

// A thin orange rule that fades out at both ends.
void rule(QPainter& painter, qreal left, qreal right, qreal y) {
    if (right - left < 6) {
        return;
    }
    QLinearGradient fade(QPointF(left, 0), QPointF(right, 0));
    fade.setColorAt(0.0, QColor(0xff, 0x96, 0x1c, 0));
    fade.setColorAt(0.5, QColor(0xff, 0x96, 0x1c, 150));
    fade.setColorAt(1.0, QColor(0xff, 0x96, 0x1c, 0));
    painter.fillRect(QRectF(left, y + 1, right - left, 1), QColor(0, 0, 0, 90));
    painter.fillRect(QRectF(left, y, right - left, 1), fade);
}

// --- round pictures ------------------------------------------------------------------------

// The circle of a round picture: as large as fits, on whole pixels so its rim stays crisp.
QRectF circleIn(int width, int height) {
    const int diameter = std::min(width, height);
    return QRectF((width - diameter) / 2, (height - diameter) / 2, diameter, diameter);
}

void glossyDisc(QPainter& painter, const QRectF& circle, const QColor& base) {
    const QRectF inner = circle.adjusted(0.5, 0.5, -0.5, -0.5);
    const QPointF centre = circle.center();
    const qreal radius = circle.width() / 2;

    QRadialGradient body(QPointF(centre.x(), centre.y() + radius * 0.45), radius * 1.25);
    body.setColorAt(0.0, base.lighter(145));
    body.setColorAt(0.55, base);
    body.setColorAt(1.0, base.darker(150));
    painter.setPen(QPen(base.darker(230), 1.0));
    painter.setBrush(body);
    painter.drawEllipse(inner);

    // The specular cap over the upper half gives the glassy look.
    const QRectF cap(centre.x() - radius * 0.62, circle.top() + radius * 0.14, radius * 1.24, radius * 0.92);
    QLinearGradient gloss(cap.topLeft(), cap.bottomLeft());
    gloss.setColorAt(0.0, QColor(255, 255, 255, 215));
    gloss.setColorAt(1.0, QColor(255, 255, 255, 25));
    painter.setPen(Qt::NoPen);
    painter.setBrush(gloss);
    painter.drawEllipse(cap);
}

// White glyph strokes; a faint darker edge keeps them apart from the gloss above.
void glyph(QPainter& painter, const QRectF& circle, const QColor& base, ButtonGlyph kind) {
    if (kind == ButtonGlyph::None) {
        return;
    }
    const QPointF centre = circle.center();
    const qreal half = std::max<qreal>(2.0, std::floor(circle.width() * 0.22));
    QPainterPath path;
    if (kind == ButtonGlyph::Minus) {
        // An odd circle needs an odd bar to sit on its centre column.
        const int diameter = static_cast<int>(circle.width());
        const int length = 2 * static_cast<int>(half) + diameter % 2;
        const qreal left = circle.left() + (diameter - length) / 2;
        path.addRect(QRectF(left, std::floor(centre.y()) - 1, length, 2));
    } else {
        path.moveTo(centre.x() - half, centre.y() - half);
        path.lineTo(centre.x() + half, centre.y() + half);
        path.moveTo(centre.x() + half, centre.y() - half);
        path.lineTo(centre.x() - half, centre.y() + half);
        QPainterPathStroker stroker;
        stroker.setWidth(1.6);
        stroker.setCapStyle(Qt::FlatCap);
        path = stroker.createStroke(path).simplified();
    }
    QColor edge = base.darker(200);
    edge.setAlpha(140);
    painter.setPen(QPen(edge, 1.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(path);
    painter.setPen(Qt::NoPen);
    painter.fillPath(path, Qt::white);
}

QColor markerBase(MarkerColour colour) {
    switch (colour) {
    case MarkerColour::Green:
        return QColor(0x1c, 0xa8, 0x32);
    case MarkerColour::Blue:
        return QColor(0x1e, 0x5c, 0xe0);
    case MarkerColour::Red:
        return QColor(0xe0, 0x20, 0x1c);
    }
    return Qt::gray;
}

// --- window icon ---------------------------------------------------------------------------

// The dark rounded plate the icon stands on.
void paintIconPlate(QPainter& painter, const QRectF& plate, qreal corner) {
    QLinearGradient metal(plate.topLeft(), plate.bottomLeft());
    metal.setColorAt(0.0, QColor(0x6a, 0x6e, 0x76));
    metal.setColorAt(0.5, QColor(0x35, 0x38, 0x3d));
    metal.setColorAt(0.52, QColor(0x2b, 0x2d, 0x31));
    metal.setColorAt(1.0, QColor(0x16, 0x17, 0x19));
    painter.setPen(QPen(QColor(0x0c, 0x0c, 0x0d), 1.0));
    painter.setBrush(metal);
    painter.drawRoundedRect(plate, corner, corner);
}

// Crosshair ring with four ticks reaching towards the plate's edges.
void paintCrosshair(QPainter& painter, qreal size, const QColor& orange) {
    const QPointF centre(size / 2, size / 2);
    // Whole-pixel radius and even width keep the ring's extremes on the pixel grid.
    const qreal ring = std::round(size * 0.37);
    const qreal pen = std::max<qreal>(2.0, 2 * std::round(size / 48));
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(0, 0, 0, 140), pen));
    painter.drawEllipse(centre + QPointF(0, pen * 0.6), ring, ring);
    painter.setPen(QPen(orange, pen));
    painter.drawEllipse(centre, ring, ring);
    const qreal inner = ring - size * 0.08;
    const qreal outer = size * 0.47;
    painter.setPen(QPen(orange, pen, Qt::SolidLine, Qt::FlatCap));
    for (const QPointF direction : {QPointF(0, -1), QPointF(0, 1), QPointF(-1, 0), QPointF(1, 0)}) {
        painter.drawLine(centre + direction * inner, centre + direction * outer);
    }
}

// The "H", snapped to whole pixels so that the 16 px icon stays sharp; without the crosshair
// around it, small icons give it more room.
void paintLetterH(QPainter& painter, int size, bool withCrosshair, const QColor& orange) {
    const int stem = std::max(2, qRound(size * 0.13));
    const int height = std::max(8, qRound(size * (withCrosshair ? 0.40 : 0.56)));
    const int width = std::max(8, qRound(size * (withCrosshair ? 0.34 : 0.56)));
    const int bar = std::max(2, qRound(size * 0.10));
    const int left = (size - width) / 2;
    const int top = (size - height) / 2;
    QPainterPath letter;
    letter.addRect(left, top, stem, height);
    letter.addRect(left + width - stem, top, stem, height);
    letter.addRect(left + stem, top + (height - bar) / 2, width - 2 * stem, bar);
    letter.setFillRule(Qt::WindingFill);
    painter.setPen(Qt::NoPen);
    painter.fillPath(letter.translated(0, std::max(1, size / 48)), QColor(0, 0, 0, 160));
    QLinearGradient fill(QPointF(0, top), QPointF(0, top + height));
    fill.setColorAt(0.0, QColor(0xff, 0xcc, 0x66));
    fill.setColorAt(0.5, orange);
    fill.setColorAt(1.0, QColor(0xd4, 0x5e, 0x00));
    painter.fillPath(letter, fill);
}

// Top-edge highlight of the plate.
void paintPlateShine(QPainter& painter, const QRectF& plate, qreal corner, qreal size) {
    QLinearGradient shine(plate.topLeft(), QPointF(0, size * 0.5));
    shine.setColorAt(0.0, QColor(255, 255, 255, 60));
    shine.setColorAt(1.0, QColor(255, 255, 255, 0));
    QPainterPath upper;
    upper.addRoundedRect(plate.adjusted(1, 1, -1, -size * 0.5), corner - 1, corner - 1);
    painter.fillPath(upper, shine);
}

void paintIcon(QPainter& painter, int size) {
    const QRectF plate(0.5, 0.5, size - 1, size - 1);
    const qreal corner = std::max<qreal>(2.0, size * 0.18);
    const QColor orange(0xff, 0x94, 0x18);
    const bool withCrosshair = size >= 32;
    paintIconPlate(painter, plate, corner);
    if (withCrosshair) {
        paintCrosshair(painter, size, orange);
    }
    paintLetterH(painter, size, withCrosshair, orange);
    paintPlateShine(painter, plate, corner, size);
}

} // namespace

QPixmap titleStrip(qreal dpr, const QString& note) {
    QPixmap pixmap = canvas(TitleStripSize, dpr, QColor(WindowGrey));
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const QRectF area(QPointF(0, 0), QSizeF(TitleStripSize));
    paintSilver(painter, area);

    const QFont font = platform::interfaceFont(true);
    painter.setFont(font);
    const QFontMetricsF metrics(font);
    const qreal baseline = std::floor((area.height() - (metrics.ascent() + metrics.descent())) / 2 + metrics.ascent());

    // The partner and the product stand together at the left, so that the About window's
    // short crop of the strip still shows the product's name.
    const qreal partnerX = 6;
    const qreal partnerEnd = partnerX + metrics.horizontalAdvance(PartnerName);
    const qreal productX = partnerEnd + 14;
    const qreal productEnd = productX + metrics.horizontalAdvance(ProductTitle);
    const qreal makerX = std::floor(StripRightTextEdge - metrics.horizontalAdvance(MakerName));

    stripText(painter, partnerX, baseline, PartnerName);
    diamond(painter, QPointF(std::round(partnerEnd + 7), std::round(area.height() / 2) - 1), 2.5);
    stripText(painter, productX, baseline, ProductTitle);
    const qreal groovesLeft = std::ceil(productEnd + 10);
    const qreal groovesRight = makerX - 10;
    const QFont noteFont = platform::interfaceFont();
    const QString shown = QFontMetricsF(noteFont).elidedText(note, Qt::ElideMiddle, groovesRight - groovesLeft - 24);
    if (shown.isEmpty()) {
        grooves(painter, groovesLeft, groovesRight, area.height());
    } else {
        const qreal width = QFontMetricsF(noteFont).horizontalAdvance(shown);
        const qreal noteX = std::round((groovesLeft + groovesRight - width) / 2);
        grooves(painter, groovesLeft, noteX - 8, area.height());
        grooves(painter, noteX + width + 8, groovesRight, area.height());
        painter.setFont(noteFont);
        painter.setPen(QColor(255, 255, 255, 170));
        painter.drawText(QPointF(noteX, baseline + 1), shown);
        painter.setPen(QColor(0x30, 0x32, 0x36));
        painter.drawText(QPointF(noteX, baseline), shown);
        painter.setFont(font);
    }
    stripText(painter, makerX, baseline, MakerName);
    return pixmap;
}

QPixmap banner(qreal dpr) {
    QPixmap pixmap = canvas(BannerSize, dpr, QColor(0x20, 0x21, 0x24));
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF area(QPointF(0, 0), QSizeF(BannerSize));
    paintDarkMetal(painter, area);

    // "MS Sans Serif" is a bitmap font with no large sizes, so large text asks for an outline font.
    const QFont large = platform::arialBoldFont(22);
    const QFont side = platform::arialBoldFont(15);
    const QFontMetricsF largeMetrics(large);
    const QFontMetricsF sideMetrics(side);

    // Capitals centred on the banner's height; the side texts share the baseline.
    const qreal capHeight = largeMetrics.capHeight();
    const qreal baseline = std::round((area.height() + capHeight) / 2);
    const qreal margin = 14;

    const qreal productWidth = largeMetrics.horizontalAdvance(ProductTitle);
    const qreal productX = std::round((area.width() - productWidth) / 2);
    const qreal partnerEnd = margin + sideMetrics.horizontalAdvance(PartnerName);
    const qreal makerX = std::round(area.width() - margin - sideMetrics.horizontalAdvance(MakerName));

    const qreal ruleY = std::round(baseline - sideMetrics.capHeight() / 2);
    rule(painter, partnerEnd + 14, productX - 14, ruleY);
    rule(painter, productX + productWidth + 14, makerX - 14, ruleY);

    bannerText(painter, textPath(side, PartnerName, margin, baseline));
    bannerText(painter, textPath(large, ProductTitle, productX, baseline));
    bannerText(painter, textPath(side, MakerName, makerX, baseline));
    return pixmap;
}

QPixmap roundButton(const QColor& base, int width, int height, ButtonGlyph kind, qreal dpr) {
    if (width <= 0 || height <= 0) {
        return {};
    }
    QPixmap pixmap = canvas(QSize(width, height), dpr, QColor(WindowGrey));
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF circle = circleIn(width, height);
    glossyDisc(painter, circle, base);
    glyph(painter, circle, base, kind);
    return pixmap;
}

QPixmap minimiseButton(qreal dpr) {
    return roundButton(QColor(0x22, 0xa6, 0x3a), MinimiseButtonSize.width(), MinimiseButtonSize.height(),
                       ButtonGlyph::Minus, dpr);
}

QPixmap closeButton(qreal dpr) {
    return roundButton(QColor(0xd8, 0x26, 0x1e), CloseButtonSize.width(), CloseButtonSize.height(), ButtonGlyph::Cross,
                       dpr);
}

QPixmap aboutIcon(qreal dpr) {
    QPixmap pixmap = canvas(AboutIconSize, dpr, QColor(WindowGrey));
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF circle = circleIn(AboutIconSize.width(), AboutIconSize.height());
    glossyDisc(painter, circle, QColor(0xf2, 0xc2, 0x00));

    // The question mark is centred on its ink, not on the font's box; drawn as text so it is hinted.
    const QFont font = platform::arialBoldFont(11);
    const QRectF ink = QFontMetricsF(font).tightBoundingRect(QStringLiteral("?"));
    const QPointF origin = circle.center() - ink.center();
    painter.setFont(font);
    painter.setPen(QColor(0x1a, 0x14, 0x00));
    painter.drawText(QPointF(std::round(origin.x()), std::round(origin.y())), QStringLiteral("?"));
    return pixmap;
}

QPixmap marker(MarkerColour colour, qreal dpr) {
    QPixmap pixmap = canvas(MarkerSize, dpr, QColor(WindowGrey));
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    glossyDisc(painter, circleIn(MarkerSize.width(), MarkerSize.height()), markerBase(colour));
    return pixmap;
}

QPixmap windowIconPixmap(int size) {
    QPixmap pixmap(std::max(1, size), std::max(1, size));
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    paintIcon(painter, pixmap.width());
    return pixmap;
}

QIcon windowIcon() {
    QIcon icon;
    for (int size : {16, 32, 48}) {
        icon.addPixmap(windowIconPixmap(size));
    }
    return icon;
}

} // namespace setforge::windows::artwork
