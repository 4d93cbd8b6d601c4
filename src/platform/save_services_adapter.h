#pragma once

#include "config/save_userconfig.h"

class QWidget;

namespace setforge::platform {

class WindowServices;

// Lets the save command use the window services: UTF-8 strings outside, QString inside;
// the file bytes pass through untouched.
class SaveServicesAdapter final : public config::SaveServices {
public:
    SaveServicesAdapter(WindowServices& services, QWidget* dialogParent);

    std::optional<std::string> askSavePath(const config::SaveDialogRequest& request) override;
    config::WriteResult writeFileAtomically(const std::string& path, std::string_view bytes) override;

private:
    WindowServices& m_services;
    QWidget* m_dialogParent;
};

} // namespace setforge::platform
