#pragma once

class QPixmap;

// The title area's fixed pictures at one device pixel per pixel, as the build painted them: the
// first picture needs no painting of its own. Where the build could not paint them for this
// program (a build for another system) or this screen takes other pixels than the build's
// offscreen one, they are painted now, by the same code (windows/artwork.h).
namespace setforge::windows::start_pictures {

[[nodiscard]] QPixmap banner();
[[nodiscard]] QPixmap aboutIcon();
[[nodiscard]] QPixmap minimiseButton();
[[nodiscard]] QPixmap closeButton();

// Whether the four come from the build's pixels on this screen, or are painted now.
[[nodiscard]] bool takenFromBuild();

} // namespace setforge::windows::start_pictures
