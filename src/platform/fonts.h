#pragma once

#include <QFont>

namespace setforge::platform {

// The design's "MS Sans Serif" 8.25 pt (11 px), with the fonts nearest to its metrics after it
// (fonts-liberation stands in on Linux). Every caption, label and message box uses it.
[[nodiscard]] QFont interfaceFont(bool bold = false);

// "Arial" at a pixel size, with Liberation Sans (Arial's metrics) after it.
[[nodiscard]] QFont arialFont(int pixelSize, bool bold);

} // namespace setforge::platform
