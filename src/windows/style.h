#pragma once

#include "config/product.h"
#include "platform/fonts.h"

#include <QColor>
#include <QRect>
#include <QRgb>
#include <QString>

namespace setforge::windows {

// Every position and size is written in twips as designed and converted here:
// 15 twips make one pixel at 96 dpi; Qt scales pixels for high-DPI screens.
[[nodiscard]] constexpr int px(int twips) {
    return (twips * 2 + 15) / 30; // rounds to the nearest pixel
}
[[nodiscard]] inline QRect twipsRect(int left, int top, int width, int height) {
    return {px(left), px(top), px(width), px(height)};
}

// The light grey of every window.
inline constexpr QRgb WindowGrey = 0xffc0c0c0;
inline const QColor CaptionOrange{203, 111, 18};

// The product's names and addresses as the windows show them.
inline const QString PartnerName = QString::fromUtf8(config::PartnerName);
inline const QString PartnerUrl = QString::fromUtf8(config::PartnerUrl);
inline const QString MakerName = QString::fromUtf8(config::MakerName);
inline const QString MakerUrl = QString::fromUtf8(config::MakerUrl);
inline const QString ProductTitle = QString::fromUtf8(config::ProductTitle);

} // namespace setforge::windows
