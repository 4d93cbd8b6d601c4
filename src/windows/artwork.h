#pragma once

#include "windows/style.h"

#include <array>

#include <QRgb>
#include <QSize>
#include <QtGlobal>

class QColor;
class QIcon;
class QPixmap;
class QString;

// The windows' pictures, painted in code so that the repository holds no image files.
// Every function returns a pixmap of the given size in logical pixels; dpr > 1 paints
// the same picture with more device pixels for high-DPI screens.
namespace setforge::windows::artwork {

enum class MarkerColour { Green, Blue, Red };

enum class ButtonGlyph { None, Minus, Cross };

inline constexpr QSize TitleStripSize{731, 17};
inline constexpr QSize BannerSize{762, 41};
inline constexpr QSize MinimiseButtonSize{15, 17};
inline constexpr QSize CloseButtonSize{16, 17};
inline constexpr QSize AboutIconSize{13, 13};
inline constexpr QSize MarkerSize{13, 13};

// The round pictures sit on the window grey.
using windows::WindowGrey;

// Silver strip with the partner's name, the product and the maker in orange; a `note` (the file
// in view) stands in dark grey in the grooves between them, shortened in its middle to fit.
[[nodiscard]] QPixmap titleStrip(qreal dpr = 1.0, const QString& note = {});

// The same three texts, large, in orange on dark metal.
[[nodiscard]] QPixmap banner(qreal dpr = 1.0);

// A glossy circular button fitted into width x height, window grey outside the circle.
[[nodiscard]] QPixmap roundButton(const QColor& base, int width, int height, ButtonGlyph glyph = ButtonGlyph::None,
                                  qreal dpr = 1.0);

// Green round button with a minus, 15 x 17.
[[nodiscard]] QPixmap minimiseButton(qreal dpr = 1.0);

// Red round button with a cross, 16 x 17.
[[nodiscard]] QPixmap closeButton(qreal dpr = 1.0);

// Yellow round button with a question mark, 13 x 13.
[[nodiscard]] QPixmap aboutIcon(qreal dpr = 1.0);

// Clickable round dot that tells the team of a buy item, 13 x 13.
[[nodiscard]] QPixmap marker(MarkerColour colour, qreal dpr = 1.0);

// Orange "H" in a crosshair on dark metal, in the sizes a taskbar shows (16, 32 and 48); the
// large sizes are painted when installing, not at every start.
[[nodiscard]] QIcon windowIcon();

// The sizes installed for desktops to choose from.
inline constexpr std::array<int, 6> InstalledIconSizes{16, 32, 48, 64, 128, 256};

// One size of the window icon, painted for that size (small sizes drop fine detail).
[[nodiscard]] QPixmap windowIconPixmap(int size);

} // namespace setforge::windows::artwork
