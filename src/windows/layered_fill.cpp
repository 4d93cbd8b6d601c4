#include "windows/layered_fill.h"

#include <QImage>
#include <QPaintDevice>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <optional>

namespace setforge::windows {
namespace {

// At 1, 2, 4 … device pixels per logical pixel, coordinates convert between the two without
// rounding, so a shape moved by whole device pixels covers each pixel as before, moved.
bool exactRatio(qreal dpr) {
    const int whole = static_cast<int>(dpr);
    return whole >= 1 && whole == dpr && (whole & (whole - 1)) == 0;
}

bool sharesExactly(const QPainter& painter) {
    const QPaintDevice* device = painter.device();
    return device != nullptr && exactRatio(device->devicePixelRatio()) && painter.worldTransform().isIdentity() &&
           painter.brushOrigin().isNull() && !painter.hasClipping() &&
           painter.compositionMode() == QPainter::CompositionMode_SourceOver && painter.opacity() == 1.0;
}

// Whole device pixels, and few: a shadow's offset, not a move across the device, which would make
// the shared coverage image as large as the distance.
std::optional<QPoint> wholeDevicePixels(QPointF offset, qreal dpr) {
    constexpr qreal Farthest = 64;
    const QPointF device = offset * dpr;
    if (device.x() != std::round(device.x()) || device.y() != std::round(device.y()) ||
        std::abs(device.x()) > Farthest || std::abs(device.y()) > Farthest) {
        return std::nullopt;
    }
    return QPoint(static_cast<int>(device.x()), static_cast<int>(device.y()));
}

// The unmoved shape's device pixels, one more on each side for its antialiased edge, as far as a
// layer moved onto the device can show them: a shape far larger than the device costs no more.
QRect coverageBox(const QPainterPath& path, std::span<const FillLayer> layers, const QPaintDevice& device) {
    const qreal dpr = device.devicePixelRatio();
    const QRectF bounds = path.controlPointRect();
    const QRect box = QRectF(bounds.topLeft() * dpr, bounds.size() * dpr).toAlignedRect().adjusted(-1, -1, 1, 1);
    int reach = 0;
    for (const FillLayer& layer : layers) {
        if (const std::optional<QPoint> shift = wholeDevicePixels(layer.offset, dpr)) {
            reach = std::max({reach, std::abs(shift->x()), std::abs(shift->y())});
        }
    }
    return box.intersected(QRect(0, 0, device.width(), device.height()).adjusted(-reach, -reach, reach, reach));
}

// A transparent image covering `box` (device pixels) of the target, painted in the target's
// coordinates.
class BoxImage {
public:
    BoxImage(const QRect& box, qreal dpr)
        : m_image(box.size(), QImage::Format_ARGB32_Premultiplied)
        , m_origin(QPointF(box.topLeft()) / dpr) {
        m_image.setDevicePixelRatio(dpr);
        m_image.fill(Qt::transparent);
    }
    QImage& image() { return m_image; }
    // A painter whose logical coordinates are the target's.
    void beginOn(QPainter& painter) {
        painter.begin(&m_image);
        painter.translate(-m_origin);
    }
    QPointF origin() const { return m_origin; }

private:
    QImage m_image;
    QPointF m_origin;
};

} // namespace

void fillLayers(QPainter& painter, const QPainterPath& path, std::span<const FillLayer> layers) {
    const bool shareable = sharesExactly(painter);
    const qreal dpr = shareable ? painter.device()->devicePixelRatio() : 1.0;
    const QRect box = shareable ? coverageBox(path, layers, *painter.device()) : QRect();
    std::optional<BoxImage> coverage;
    for (const FillLayer& layer : layers) {
        const std::optional<QPoint> shift = shareable ? wholeDevicePixels(layer.offset, dpr) : std::nullopt;
        // A gradient or pattern is fixed to the target, not to the shape: moved, it shows other colours.
        const bool sameColours = layer.brush.style() == Qt::SolidPattern || (shift && shift->isNull());
        if (!shift || !sameColours || box.isEmpty()) {
            painter.fillPath(path.translated(layer.offset), layer.brush);
            continue;
        }
        if (!coverage) {
            coverage.emplace(box, dpr);
            QPainter shape;
            coverage->beginOn(shape);
            shape.setRenderHints(painter.renderHints());
            shape.fillPath(path, Qt::white);
        }
        // The layer's colours where the shape covers, weighted by how much it covers: what a fill
        // of the shape blends onto the target.
        BoxImage colours(box, dpr);
        QPainter fill;
        colours.beginOn(fill);
        fill.setCompositionMode(QPainter::CompositionMode_Source);
        fill.fillRect(QRectF(colours.origin(), QSizeF(box.size()) / dpr), layer.brush);
        fill.resetTransform();
        fill.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        fill.drawImage(QPointF(0, 0), coverage->image());
        fill.end();
        painter.drawImage(colours.origin() + layer.offset, colours.image());
    }
}

} // namespace setforge::windows
