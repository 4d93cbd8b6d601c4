#pragma once

#include <QBrush>
#include <QPointF>

#include <span>

class QPainter;
class QPainterPath;

namespace setforge::windows {

// One fill of a shape: the shape moved by `offset` (logical pixels), painted with `brush`.
struct FillLayer {
    QPointF offset;
    QBrush brush;
};

// Paints the layers in order, each as painter.fillPath(path.translated(offset), brush) paints it,
// pixel for pixel. A shadowed text fills one outline several times, and rasterising a text
// outline costs far more than filling its box, so the shape's coverage is rasterised once and
// reused for every layer whose offset is a few whole device pixels (a shadow's) and whose colour
// does not depend on where it is painted; other layers, and painters this cannot match exactly (a
// world transform, a clip, a brush origin, another composition mode, a fractional or odd device
// pixel ratio), are filled directly.
void fillLayers(QPainter& painter, const QPainterPath& path, std::span<const FillLayer> layers);

} // namespace setforge::windows
