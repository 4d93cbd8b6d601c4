#include "windows/layered_fill.h"

#include "platform/fonts.h"

#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace setforge::windows {
namespace {

// A busy background, so that a wrong blend shows wherever the shape is half transparent.
QImage background(QSize logical, qreal dpr) {
    QImage image(logical * dpr, QImage::Format_RGB32);
    image.setDevicePixelRatio(dpr);
    std::uint32_t state = 12345;
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            state = state * 1664525u + 1013904223u;
            line[x] = 0xff000000u | (state >> 8);
        }
    }
    return image;
}

QPainterPath shapes() {
    QPainterPath path;
    path.addText(QPointF(6.3, 27), platform::arialBoldFont(22), QStringLiteral("Setforge Üg"));
    path.addEllipse(QRectF(150.5, 4.25, 21.5, 13));
    return path;
}

QLinearGradient gradient() {
    QLinearGradient brush(QPointF(0, 6), QPointF(0, 30));
    brush.setColorAt(0.0, QColor(0xff, 0xd0, 0x70));
    brush.setColorAt(0.5, QColor(0x20, 0x9a, 0xff, 200));
    brush.setColorAt(1.0, QColor(0xd9, 0x62, 0x00));
    return brush;
}

TEST(LayeredFill, PaintsWhatDirectFillsPaint) {
    const std::vector<FillLayer> shadowed = {
        {QPointF(1, 2), QColor(0, 0, 0, 150)}, {QPointF(0, 1), QColor(0, 0, 0, 110)}, {QPointF(0, 0), gradient()}};
    struct Case {
        std::string name;
        qreal dpr;
        std::vector<FillLayer> layers;
        bool clipped = false;
    };
    const std::vector<Case> cases = {
        {"shadowed text", 1.0, shadowed},
        {"shadowed text at 2x", 2.0, shadowed},
        {"at 1.5x", 1.5, shadowed},
        {"moved gradient", 1.0, {{QPointF(0, 3), gradient()}, {QPointF(-2, 0), gradient()}}},
        {"half-pixel shadow", 1.0, {{QPointF(0.5, 1), QColor(0, 0, 0, 150)}, {QPointF(0, 0), Qt::white}}},
        {"opaque colours", 1.0, {{QPointF(3, -1), Qt::red}, {QPointF(0, 0), QColor(0, 0x80, 0)}}},
        {"clipped", 1.0, shadowed, true},
    };
    const QPainterPath path = shapes();
    for (const Case& c : cases) {
        QImage direct = background(QSize(190, 36), c.dpr);
        QImage layered = direct.copy();
        for (QImage* image : {&direct, &layered}) {
            QPainter painter(image);
            painter.setRenderHint(QPainter::Antialiasing);
            if (c.clipped) {
                painter.setClipRect(QRectF(20, 5, 100, 22));
            }
            if (image == &layered) {
                fillLayers(painter, path, c.layers);
            } else {
                for (const FillLayer& layer : c.layers) {
                    painter.fillPath(path.translated(layer.offset), layer.brush);
                }
            }
        }
        EXPECT_EQ(layered, direct) << c.name;
        EXPECT_NE(direct, background(QSize(190, 36), c.dpr)) << c.name << ": nothing was painted";
    }
}

} // namespace
} // namespace setforge::windows
