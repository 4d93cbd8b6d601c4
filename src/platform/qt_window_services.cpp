#include "platform/qt_window_services.h"

#include "platform/message_dialog.h"
#include "platform/read_file.h"

#include "config/game_folders.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMouseEvent>
#include <QSettings>
#include <QSplitter>
#include <QUrl>
#include <QWidget>
#include <QWindow>
#include <algorithm>

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

UnsavedChoice QtWindowServices::askAboutUnsavedChanges(QWidget* parent, const QString& text) {
    MessageDialog box(parent, {}, text, MessageIcon::Warning, QStringLiteral("Speichern"), QStringLiteral("Verwerfen"),
                      QStringLiteral("Abbrechen"));
    switch (box.exec()) {
    case QDialog::Accepted:
        return UnsavedChoice::Save;
    case MessageDialog::SecondButton:
        return UnsavedChoice::Discard;
    default:
        return UnsavedChoice::Cancel;
    }
}

namespace {

constexpr auto OwnSideBarEntries = "setforge-own-side-bar-entries";

// Every game folder is named "cstrike"; the side bar names each with its library, so that two
// libraries can be told apart.
void nameGameFolders(QFileDialog& dialog, const QStringList& games) {
    auto* sideBar = dialog.findChild<QListView*>(QStringLiteral("sidebar"));
    if (sideBar == nullptr || sideBar->model() == nullptr) {
        return;
    }
    QAbstractItemModel* model = sideBar->model();
    const auto name = [model, games] {
        for (int row = 0; row < model->rowCount(); ++row) {
            const QModelIndex index = model->index(row, 0);
            const QString folder = QDir::cleanPath(index.data(Qt::UserRole + 1).toUrl().toLocalFile());
            if (!games.contains(folder)) {
                continue;
            }
            // steamapps/common/Half-Life/cstrike: four levels below the library, which is named by
            // its folder (and drive), the full path shown as the tip.
            const QString library = QDir::cleanPath(folder + QStringLiteral("/../../../.."));
            const QString drive = library.size() > 1 && library.at(1) == QLatin1Char(':') ? library.left(2) + " " : "";
            const QString label = "CS " + drive + QFileInfo(library).fileName();
            if (index.data(Qt::DisplayRole).toString() != label) {
                model->setData(index, label, Qt::DisplayRole);
                model->setData(index, QDir::toNativeSeparators(folder), Qt::ToolTipRole);
            }
        }
    };
    name();
    // Wide enough for the names, at most a third of the dialog.
    if (auto* splitter = dialog.findChild<QSplitter*>(QStringLiteral("splitter"));
        splitter != nullptr && !games.isEmpty()) {
        const int wanted = sideBar->sizeHintForColumn(0) + sideBar->frameWidth() * 2 + 20;
        const int total = std::max(dialog.sizeHint().width(), 3 * wanted);
        splitter->setSizes({wanted, total - wanted});
    }
    // The side bar names its entries again whenever the folder's details arrive.
    QObject::connect(model, &QAbstractItemModel::dataChanged, &dialog, name);
}

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
    QStringList games = gameFolders();
    for (QString& game : games) {
        game = QDir::cleanPath(game);
    }
    // Qt keeps the side bar in its own settings file when the dialog goes; the game folders are
    // found afresh every time, so only the player's own entries are to be kept there.
    QList<QUrl> ownEntries = dialog.sidebarUrls();
    QList<QUrl> sideBar = ownEntries;
    for (const QString& folder : games) {
        const QUrl url = QUrl::fromLocalFile(folder);
        ownEntries.removeAll(url);
        if (!sideBar.contains(url)) {
            sideBar.append(url);
        }
    }
    dialog.setSidebarUrls(sideBar);
    nameGameFolders(dialog, games);
    dialog.setProperty(OwnSideBarEntries, QVariant::fromValue(ownEntries));
    if (!startFolder.empty()) {
        dialog.setDirectory(QString::fromStdString(startFolder));
    } else if (!games.isEmpty()) {
        dialog.setDirectory(games.first());
    }
}

// Qt's own dialog greys out Save for a name longer than the file system takes, without a word;
// a line below the name says why (in bytes, as the file system counts: an umlaut counts twice).
void warnOfLongNames(QFileDialog& dialog) {
    auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    auto* grid = qobject_cast<QGridLayout*>(dialog.layout());
    if (edit == nullptr || grid == nullptr) {
        return; // the system's own dialog
    }
    auto* warning = new QLabel(
        QStringLiteral("Der Dateiname ist zu lang: Er darf höchstens 255 Bytes haben (ein Umlaut zählt doppelt)."),
        &dialog);
    warning->setObjectName(QStringLiteral("NameTooLongWarning"));
    warning->setWordWrap(true);
    warning->hide();
    grid->addWidget(warning, grid->rowCount(), 0, 1, grid->columnCount());
    QObject::connect(edit, &QLineEdit::textChanged, warning, [warning](const QString& typed) {
        warning->setVisible(typed.section(QLatin1Char('/'), -1).toUtf8().size() > 255);
    });
}

std::optional<QString> runFileDialog(QFileDialog& dialog) {
    const int answer = dialog.exec();
    dialog.setSidebarUrls(dialog.property(OwnSideBarEntries).value<QList<QUrl>>());
    if (answer != QDialog::Accepted) {
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
    warnOfLongNames(dialog);
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
#ifdef Q_OS_WIN
    FileRead read = readRegularFile(QDir::toNativeSeparators(path).toStdWString(), config::LargestFileRead);
#else
    FileRead read = readRegularFile(QFile::encodeName(path).toStdString(), config::LargestFileRead);
#endif
    if (read.tooLarge) {
        return {false,
                {},
                QString::fromStdString(config::tooLargeMessage(static_cast<std::uint64_t>(QFileInfo(path).size())))};
    }
    if (!read.ok) {
        // A name whose bytes are not UTF-8 reaches the program with U+FFFD in their place and names
        // no file; say so rather than "missing".
        if (path.contains(QChar::ReplacementCharacter) && !QFileInfo::exists(path)) {
            return {false,
                    {},
                    QStringLiteral("Der Dateiname enthält Zeichen, die kein UTF-8 sind; unter diesem Namen lässt "
                                   "sich die Datei nicht öffnen. Bitte benenne sie um.")};
        }
        return {false, {}, QString::fromStdString(read.reason)};
    }
    return {true, QByteArray::fromStdString(read.bytes), {}};
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
