#include "windows/start_pictures.h"

#include "windows/artwork.h"
#include "windows/baked_pictures.h"

#include <QImage>
#include <QPixmap>

#include <cstdint>

namespace setforge::windows::start_pictures {
namespace {

// The build paints into RGB32, the opaque format of a 24- or 32-bit screen. A 16-bit screen paints
// opaque pictures in fewer bits, and converting the build's pixels would round them differently.
bool screenTakesBakedPixels() {
    static const bool takes = QPixmap(1, 1).toImage().format() == QImage::Format_RGB32;
    return takes;
}

template <std::size_t N> QPixmap bakedOr(const std::uint32_t (&pixels)[N], QSize size, QPixmap (*paint)(qreal)) {
    if (!takenFromBuild() || N != static_cast<std::size_t>(size.width()) * static_cast<std::size_t>(size.height())) {
        return paint(1.0);
    }
    // The image borrows the pixels, which stay where they are for as long as the program runs.
    const QImage image(reinterpret_cast<const uchar*>(pixels), size.width(), size.height(),
                       static_cast<qsizetype>(size.width()) * 4, QImage::Format_RGB32);
    return QPixmap::fromImage(image);
}

} // namespace

bool takenFromBuild() {
    return baked::Available && screenTakesBakedPixels();
}

QPixmap banner() {
    return bakedOr(baked::Banner, artwork::BannerSize, &artwork::banner);
}

QPixmap aboutIcon() {
    return bakedOr(baked::AboutIcon, artwork::AboutIconSize, &artwork::aboutIcon);
}

QPixmap minimiseButton() {
    return bakedOr(baked::MinimiseButton, artwork::MinimiseButtonSize, &artwork::minimiseButton);
}

QPixmap closeButton() {
    return bakedOr(baked::CloseButton, artwork::CloseButtonSize, &artwork::closeButton);
}

} // namespace setforge::windows::start_pictures
