#pragma once

#include "platform/atomic_write.h"
#include "platform/window_services.h"

namespace setforge::platform {

// The window services on the running Qt platform.
class QtWindowServices final : public WindowServices {
public:
    void dragByStrip(QWidget* strip, const QMouseEvent& press) override;
    void openWebAddress(QWidget* owner, const QString& url) override;
    void minimise(QWidget* window) override;
    void endProgram() override;
    void showMessage(QWidget* parent, const QString& title, const QString& text, MessageIcon icon) override;
    std::optional<QString> askSavePath(QWidget* parent, const config::SaveDialogRequest& request) override;
    config::WriteResult writeFileAtomically(const QString& path, const QByteArray& bytes) override;
};

} // namespace setforge::platform
