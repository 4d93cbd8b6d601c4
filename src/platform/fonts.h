#pragma once

#include <QFont>

namespace setforge::platform {

// The design's "MS Sans Serif" 8.25 pt (11 px), with the fonts nearest to its metrics after it
// (fonts-liberation stands in on Linux). Every caption, label and message box uses it.
[[nodiscard]] QFont interfaceFont(bool bold = false);

// "Arial" bold at a pixel size (11 px = 8.25 pt), with Liberation Sans (Arial's metrics) after it:
// the About window's labels and the painted artwork.
[[nodiscard]] QFont arialBoldFont(int pixelSize = 11);

} // namespace setforge::platform
