#pragma once

#include "platform/atomic_write.h"
#include "platform/window_services.h"

#include <QStringList>

namespace setforge::platform {

// The window services on the running Qt platform.
class QtWindowServices final : public WindowServices {
public:
    void dragByStrip(QWidget* strip, const QMouseEvent& press) override;
    void openWebAddress(QWidget* owner, const QString& url) override;
    void minimise(QWidget* window) override;
    void endProgram() override;
    void showMessage(QWidget* parent, const QString& title, const QString& text, MessageIcon icon) override;
    bool askQuestion(QWidget* parent, const QString& text, const QString& accept, const QString& reject) override;
    UnsavedChoice askAboutUnsavedChanges(QWidget* parent, const QString& text) override;
    std::optional<QString> askSavePath(QWidget* parent, const config::SaveDialogRequest& request) override;
    std::optional<QString> askOpenPath(QWidget* parent, const config::OpenDialogRequest& request) override;
    ReadResult readConfigFile(const QString& path) override;
    config::WriteResult writeFileAtomically(const QString& path, const QByteArray& bytes) override;
};

// Reads a config to load, refusing what cannot be one; see WindowServices::readConfigFile.
ReadResult readConfigFile(const QString& path);

// Every Counter-Strike 1.6 `cstrike` folder in the player's Steam libraries, looked up now.
[[nodiscard]] QStringList gameFolders();

} // namespace setforge::platform
