#include "platform/userconfig_saving.h"

#include "config/userconfig.h"
#include "platform/window_services.h"

#include <QByteArray>

namespace setforge::platform {

config::SaveResult saveUserconfig(WindowServices& services, QWidget* dialogParent,
                                  const std::function<config::SettingsState()>& snapshot,
                                  const config::SaveDialogRequest& request) {
    const std::optional<QString> path = services.askSavePath(dialogParent, request);
    if (!path || path->isEmpty()) {
        return {config::SaveOutcome::Cancelled, {}, {}};
    }
    return saveUserconfigTo(services, *path, snapshot);
}

config::SaveResult saveUserconfigTo(WindowServices& services, const QString& path,
                                    const std::function<config::SettingsState()>& snapshot) {
    const std::string bytes = config::composeUserconfig(snapshot());
    // A view, not a copy: the bytes outlive the call, and a config can be megabytes long.
    const QByteArray view = QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()));
    config::WriteResult written = services.writeFileAtomically(path, view);
    if (!written.ok) {
        return {config::SaveOutcome::Failed, path.toStdString(), std::move(written.error)};
    }
    return {config::SaveOutcome::Saved, path.toStdString(), {}};
}

} // namespace setforge::platform
