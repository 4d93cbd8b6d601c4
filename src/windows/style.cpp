#include "windows/style.h"

#include "platform/fonts.h"

namespace setforge::windows {

QFont defaultFont() {
    return platform::interfaceFont(false);
}

QFont boldCaptionFont() {
    return platform::interfaceFont(true);
}

QFont arialBoldFont() {
    return platform::arialFont(11, true);
}

} // namespace setforge::windows
