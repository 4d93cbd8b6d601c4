#include "windows/layered_fill.h"

#include "platform/fonts.h"

#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace setforge::windows {
namespace {

// A busy background, so that a wrong blend shows wherever the shape is half transparent.
QImage background(qreal dpr) {
    QImage image(QSize(190, 36) * dpr, QImage::Format_RGB32);
    image.setDevicePixelRatio(dpr);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            image.setPixel(x, y, qRgb(x * 37 % 256, y * 91 % 256, x * y % 256));
        }
    }
    return image;
}

TEST(LayeredFill, PaintsWhatDirectFillsPaint) {
    QPainterPath path;
    path.addText(QPointF(6.3, 27), platform::arialBoldFont(22), QStringLiteral("Setforge Üg"));
    path.addEllipse(QRectF(176.5, 4.25, 21.5, 13)); // over the right edge
    QLinearGradient gradient(QPointF(0, 6), QPointF(0, 30));
    gradient.setColorAt(0.0, QColor(0xff, 0xd0, 0x70));
    gradient.setColorAt(0.5, QColor(0x20, 0x9a, 0xff, 200));
    gradient.setColorAt(1.0, QColor(0xd9, 0x62, 0x00));
    const std::vector<FillLayer> shadowed = {
        {QPointF(1, 2), QColor(0, 0, 0, 150)}, {QPointF(0, 1), QColor(0, 0, 0, 110)}, {QPointF(0, 0), gradient}};
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
        {"moved gradient", 1.0, {{QPointF(0, 3), gradient}, {QPointF(-2, 0), gradient}}},
        {"half-pixel shadow", 1.0, {{QPointF(0.5, 1), QColor(0, 0, 0, 150)}, {QPointF(0, 0), Qt::white}}},
        {"opaque colours", 1.0, {{QPointF(-5, -1), Qt::red}, {QPointF(0, 0), QColor(0, 0x80, 0)}}},
        {"clipped", 1.0, shadowed, true},
    };
    for (const Case& c : cases) {
        QImage direct = background(c.dpr);
        QImage layered = direct.copy();
        for (QImage* image : {&direct, &layered}) {
            QPainter painter(image);
            painter.setRenderHint(QPainter::Antialiasing);
            if (c.clipped) {
                painter.setClipRect(QRectF(20, 5, 100, 22));
            }
            if (image == &layered) {
                fillLayers(painter, path, c.layers);
                continue;
            }
            for (const FillLayer& layer : c.layers) {
                painter.fillPath(path.translated(layer.offset), layer.brush);
            }
        }
        EXPECT_EQ(layered, direct) << c.name;
        EXPECT_NE(direct, background(c.dpr)) << c.name << ": nothing was painted";
    }
}

} // namespace
} // namespace setforge::windows
