#include "platform/fonts.h"

#include <QStringList>

namespace setforge::platform {
namespace {

QFont fontOf(const QStringList& families, int pixelSize, bool bold) {
    QFont font;
    font.setFamilies(families);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

} // namespace

QFont interfaceFont(bool bold) {
    return fontOf({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Arial"),
                   QStringLiteral("Liberation Sans")},
                  11, bold);
}

QFont arialBoldFont(int pixelSize) {
    return fontOf({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")}, pixelSize, true);
}

} // namespace setforge::platform
