#include "windows/style.h"

#include <QStringList>

namespace setforge::windows {

namespace {
QFont fontOf(const QStringList& families, bool bold) {
    QFont font;
    font.setFamilies(families);
    font.setPixelSize(11);
    font.setBold(bold);
    return font;
}
} // namespace

QFont defaultFont() {
    return fontOf({"MS Sans Serif", "Microsoft Sans Serif", "Arial", "Liberation Sans"}, false);
}

QFont boldCaptionFont() {
    return fontOf({"MS Sans Serif", "Microsoft Sans Serif", "Arial", "Liberation Sans"}, true);
}

QFont arialBoldFont() {
    return fontOf({"Arial", "Liberation Sans"}, true);
}

} // namespace setforge::windows
