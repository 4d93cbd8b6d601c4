#include "platform/userconfig_saving.h"

#include "config/game_config.h"
#include "config/userconfig.h"
#include "platform/window_services.h"

#include <QByteArray>
#include <QDir>
#include <QFileInfo>

namespace setforge::platform {
namespace {

// The game runs userconfig.cfg only from its config.cfg: a folder whose config.cfg exists and does
// not run it is named before the file is written there. True to go on saving.
bool gameRunsOrPlayerAgrees(WindowServices& services, QWidget* parent, const QString& path) {
    const QFileInfo target(path);
    if (!config::isUserconfigName(target.fileName().toStdString())) {
        return true;
    }
    const QString configCfg = target.dir().filePath(QStringLiteral("config.cfg"));
    if (!QFileInfo(configCfg).isFile()) {
        return true; // nothing to go by: the game writes one at its first exit
    }
    const ReadResult read = services.readConfigFile(configCfg);
    if (!read.ok ||
        config::runsUserconfig(std::string_view(read.bytes.constData(), static_cast<std::size_t>(read.bytes.size())))) {
        return true;
    }
    const std::string folder = QDir::toNativeSeparators(target.absolutePath()).toStdString();
    return services.askQuestion(parent, QString::fromStdString(config::userconfigNotRunMessage(folder)),
                                QStringLiteral("Trotzdem speichern"), QStringLiteral("Abbrechen"));
}

} // namespace

config::SaveResult saveUserconfig(WindowServices& services, QWidget* dialogParent,
                                  const std::function<config::SettingsState()>& snapshot,
                                  const config::SaveDialogRequest& request) {
    const std::optional<QString> path = services.askSavePath(dialogParent, request);
    if (!path || path->isEmpty()) {
        return {config::SaveOutcome::Cancelled, {}, {}};
    }
    if (!gameRunsOrPlayerAgrees(services, dialogParent, *path)) {
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
