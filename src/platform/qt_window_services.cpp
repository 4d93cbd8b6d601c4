#include "platform/qt_window_services.h"

#include "platform/message_dialog.h"

#include "config/game_folders.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMouseEvent>
#include <QSettings>
#include <QUrl>
#include <QWidget>
#include <QWindow>

namespace setforge::platform {

namespace {

constexpr auto StripDragName = "setforge-strip-drag";

// Moves the strip's window with the mouse until the left button comes up. Used where no window
// manager takes the move over (a bare X server); the strip holds the implicit mouse grab from
// the press, so every move of the drag reaches it.
class StripDrag final : public QObject {
public:
    StripDrag(QWidget* strip, const QPointF& pressGlobal)
        : QObject(strip)
        , m_strip(strip)
        , m_windowAtPress(strip->window()->pos())
        , m_pressGlobal(pressGlobal) {
        setObjectName(StripDragName);
        strip->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != m_strip) {
            return false;
        }
        if (event->type() == QEvent::MouseMove) {
            const auto* move = static_cast<QMouseEvent*>(event);
            if (!(move->buttons() & Qt::LeftButton)) {
                finish(); // the release went elsewhere
                return false;
            }
            m_strip->window()->move(m_windowAtPress + (move->globalPosition() - m_pressGlobal).toPoint());
            return true;
        }
        if (event->type() == QEvent::MouseButtonRelease &&
            static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            finish();
        }
        return false;
    }

private:
    void finish() {
        m_strip->removeEventFilter(this);
        deleteLater();
    }

    QWidget* m_strip;
    QPoint m_windowAtPress;
    QPointF m_pressGlobal;
};

} // namespace

void QtWindowServices::dragByStrip(QWidget* strip, const QMouseEvent& press) {
    if (strip == nullptr || press.button() != Qt::LeftButton || press.buttons() != Qt::LeftButton) {
        return;
    }
    // A press whose release never arrived leaves its drag behind; a new press starts afresh.
    delete strip->findChild<QObject*>(StripDragName, Qt::FindDirectChildrenOnly);

    QWindow* handle = strip->window()->windowHandle();
    if (handle != nullptr && handle->startSystemMove()) {
        return;
    }
    new StripDrag(strip, press.globalPosition());
}

void QtWindowServices::openWebAddress(QWidget* /*owner*/, const QString& url) {
    (void)QDesktopServices::openUrl(QUrl(url));
}

void QtWindowServices::minimise(QWidget* window) {
    if (window == nullptr) {
        return;
    }
    constexpr Qt::WindowStates notNormal = Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen;
    if (!(window->windowState() & notNormal)) {
        window->showMinimized();
    }
}

void QtWindowServices::endProgram() {
    // Hiding instead of closing: a close can be refused or come back here through a close
    // handler. exit() leaves every running event loop, a modal box's included.
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget* window : windows) {
        window->hide();
    }
    QCoreApplication::exit(0);
}

void QtWindowServices::showMessage(QWidget* parent, const QString& title, const QString& text, MessageIcon icon) {
    MessageDialog box(parent, title, text, icon);
    box.exec();
}

bool QtWindowServices::askQuestion(QWidget* parent, const QString& text, const QString& accept, const QString& reject) {
    MessageDialog box(parent, {}, text, MessageIcon::Warning, accept, reject);
    return box.exec() == QDialog::Accepted;
}

namespace {

// The open and save dialogs alike: the same dialog on every desktop, starting in the given folder,
// else in the player's game folder; the game folders found stand in the side bar.
void placeFileDialog(QFileDialog& dialog, const std::string& startFolder, const std::string& filterDescription,
                     const std::string& filterPattern) {
#ifndef Q_OS_WIN
    // The same dialog on every desktop, and one that Xvfb-driven tests can operate.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
#endif
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    // The pattern is the last parenthesised group; the description keeps its own "(*.cfg)".
    dialog.setNameFilter(QString::fromStdString(filterDescription) + " (" + QString::fromStdString(filterPattern) +
                         ")");
    const QStringList games = gameFolders();
    QList<QUrl> sideBar = dialog.sidebarUrls();
    for (const QString& folder : games) {
        const QUrl url = QUrl::fromLocalFile(folder);
        if (!sideBar.contains(url)) {
            sideBar.append(url);
        }
    }
    dialog.setSidebarUrls(sideBar);
    if (!startFolder.empty()) {
        dialog.setDirectory(QString::fromStdString(startFolder));
    } else if (!games.isEmpty()) {
        dialog.setDirectory(games.first());
    }
}

std::optional<QString> runFileDialog(QFileDialog& dialog) {
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    const QStringList chosen = dialog.selectedFiles();
    return chosen.isEmpty() ? QString() : chosen.first();
}

} // namespace

std::optional<QString> QtWindowServices::askSavePath(QWidget* parent, const config::SaveDialogRequest& request) {
    QFileDialog dialog(parent, QString::fromStdString(request.title), QDir::currentPath());
    dialog.setObjectName("SaveDialog");
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
    placeFileDialog(dialog, request.startFolder, request.filterDescription, request.filterPattern);
    dialog.selectFile(QString::fromStdString(request.proposedName));
    return runFileDialog(dialog);
}

std::optional<QString> QtWindowServices::askOpenPath(QWidget* parent, const config::OpenDialogRequest& request) {
    QFileDialog dialog(parent, QString::fromStdString(request.title), QDir::currentPath());
    dialog.setObjectName("OpenDialog");
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    placeFileDialog(dialog, request.startFolder, request.filterDescription, request.filterPattern);
    return runFileDialog(dialog);
}

ReadResult QtWindowServices::readConfigFile(const QString& path) {
    return platform::readConfigFile(path);
}

ReadResult readConfigFile(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists()) {
        return {false, {}, QStringLiteral("Die Datei gibt es nicht.")};
    }
    if (info.isDir()) {
        return {false, {}, QStringLiteral("Das ist ein Ordner, keine Datei.")};
    }
    if (info.size() > static_cast<qint64>(config::LargestConfigBytes)) {
        return {false,
                {},
                QString::fromUtf8(config::TooLargeForAConfig.data(),
                                  static_cast<qsizetype>(config::TooLargeForAConfig.size()))};
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {false,
                {},
                file.error() == QFileDevice::PermissionsError
                    ? QStringLiteral("Keine Berechtigung, die Datei zu lesen.")
                    : file.errorString()};
    }
    // Read past the limit by one byte: a file that grew since it was measured is still caught.
    QByteArray bytes = file.read(static_cast<qint64>(config::LargestConfigBytes) + 1);
    if (file.error() != QFileDevice::NoError) {
        return {false, {}, file.errorString()};
    }
    if (const auto reason =
            config::notAConfigReason(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())))) {
        return {false, {}, QString::fromStdString(*reason)};
    }
    return {true, std::move(bytes), {}};
}

QStringList gameFolders() {
    config::SteamRoots roots;
    roots.home = QDir::homePath().toStdString();
#ifdef Q_OS_WIN
    roots.windows = true;
    const QSettings steam(QStringLiteral("HKEY_CURRENT_USER\\Software\\Valve\\Steam"), QSettings::NativeFormat);
    const QString steamPath = steam.value(QStringLiteral("SteamPath")).toString();
    if (!steamPath.isEmpty()) {
        roots.registrySteamPath = steamPath.toStdString();
    }
#endif
    QStringList folders;
    for (const std::string& folder : config::findGameFolders(roots)) {
        folders.append(QString::fromStdString(folder));
    }
    return folders;
}

config::WriteResult QtWindowServices::writeFileAtomically(const QString& path, const QByteArray& bytes) {
    return platform::writeFileAtomically(path, bytes);
}

} // namespace setforge::platform
