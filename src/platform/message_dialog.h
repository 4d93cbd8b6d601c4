#pragma once

#include "platform/window_services.h"

#include <QDialog>

namespace setforge::platform {

// The modal message box: text with CR LF line breaks and TAB columns, an optional icon and one
// OK button. Its own dialog rather than QMessageBox, whose label has no regular tab stops.
// Children by object name: "icon", "text", "ok". With a `reject` caption it asks a question: "ok"
// then carries `accept`, a second button "reject" is the default, and Escape takes it. With a
// `cancel` caption as well, a third button "cancel" is the default and takes Escape, and "reject"
// ends the box with SecondButton.
class MessageDialog final : public QDialog {
public:
    static constexpr int SecondButton = 2;

    MessageDialog(QWidget* parent, const QString& title, const QString& text, MessageIcon icon,
                  const QString& accept = QStringLiteral("OK"), const QString& reject = {}, const QString& cancel = {});
};

// The box's font: the design's "MS Sans Serif" 8.25 pt, or the nearest font with its metrics.
// The information sheets' TAB columns are made for these metrics.
[[nodiscard]] QFont messageFont();

} // namespace setforge::platform
