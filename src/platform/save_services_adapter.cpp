#include "platform/save_services_adapter.h"

#include "platform/window_services.h"

#include <QByteArray>

namespace setforge::platform {

SaveServicesAdapter::SaveServicesAdapter(WindowServices& services, QWidget* dialogParent)
    : m_services(services)
    , m_dialogParent(dialogParent) {}

std::optional<std::string> SaveServicesAdapter::askSavePath(const config::SaveDialogRequest& request) {
    const std::optional<QString> path = m_services.askSavePath(m_dialogParent, request);
    if (!path) {
        return std::nullopt;
    }
    return path->toStdString();
}

config::WriteResult SaveServicesAdapter::writeFileAtomically(const std::string& path, std::string_view bytes) {
    // A view, not a copy: the bytes outlive the call, and a config can be megabytes long.
    const QByteArray view = QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()));
    return m_services.writeFileAtomically(QString::fromStdString(path), view);
}

} // namespace setforge::platform
