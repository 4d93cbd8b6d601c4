#include "config/load_userconfig.h"
#include "config/product.h"
#include "platform/qt_window_services.h"
#include "windows/mainwindow.h"
#include "windows/style.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

// Qt's own messages while it connects to the window system. Without a usable display Qt prints
// several English lines and then aborts with a core dump; the player gets one line and status 2.
struct HeldMessage {
    QtMsgType type;
    QByteArray category;
    QString text;
};
std::vector<HeldMessage> g_held;
QtMessageHandler g_qtHandler = nullptr;

std::string displayVariable(const char* name) {
    if (!qEnvironmentVariableIsSet(name)) {
        return std::string(name) + " nicht gesetzt";
    }
    return std::string(name) + "=\"" + qEnvironmentVariable(name).toStdString() + "\"";
}

void holdUntilConnected(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type != QtFatalMsg) {
        g_held.push_back({type, context.category, text});
        return;
    }
    std::string where = displayVariable("DISPLAY") + ", " + displayVariable("WAYLAND_DISPLAY");
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        where += ", " + displayVariable("QT_QPA_PLATFORM");
    }
    const std::string line = std::string(setforge::config::ApplicationTitle) + ": Keine Anzeige erreichbar (" + where +
                             "); das Programm braucht eine grafische Oberfläche. "
                             "[No usable display: cannot connect to the window system.]\n";
    std::fputs(line.c_str(), stderr);
    std::fflush(stderr);
    std::_Exit(2); // no abort(), no core dump, no exit handlers of a half-built application
}

// Options are looked at before Qt connects to the window system, so that they work without a display.
// Returns the exit status when the program is to end at once.
std::optional<int> answerOptions(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--") {
            break;
        }
        if (argument == "--help" || argument == "-h") {
            const std::string usage =
                "Aufruf: setforge [DATEI]  [Usage: setforge [FILE]]\n"
                "Öffnet die Config DATEI zum Bearbeiten; gibt es sie noch nicht, schlägt \"Config erstellen\" sie "
                "zum Speichern vor. Ohne DATEI startet ein leeres Fenster.\n"
                "[Opens the config FILE for editing; a FILE that does not exist yet is proposed when saving. "
                "Without FILE an empty window starts.]\n"
                "  -h, --help   diese Hilfe [this help]\n"
                "  --version    die Version [the version]\n";
            std::fputs(usage.c_str(), stdout);
            return 0;
        }
        if (argument == "--version") {
            std::printf("%s\n", std::string(setforge::config::ProductTitle).c_str());
            return 0;
        }
    }
    return std::nullopt;
}

// The files named on the command line once Qt has taken its own options; "--" ends the options.
std::optional<QString> fileArgument(const QStringList& arguments) {
    QStringList files;
    bool optionsEnded = false;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (!optionsEnded && argument == QStringLiteral("--")) {
            optionsEnded = true;
        } else if (!optionsEnded && argument.startsWith(QLatin1Char('-')) && argument.size() > 1) {
            std::fprintf(stderr, "%s: Unbekannte Option %s; setforge --help zeigt die Aufrufe. [Unknown option.]\n",
                         std::string(setforge::config::ApplicationTitle).c_str(), argument.toLocal8Bit().constData());
            std::exit(2);
        } else {
            files.append(argument);
        }
    }
    if (files.size() > 1) {
        std::fprintf(stderr,
                     "%s: Es lässt sich nur eine Config auf einmal öffnen, angegeben sind %lld. [Only one file can be "
                     "opened at a time.]\n",
                     std::string(setforge::config::ApplicationTitle).c_str(), static_cast<long long>(files.size()));
        std::exit(2);
    }
    return files.isEmpty() ? std::nullopt : std::optional<QString>(files.first());
}

void releaseHeldMessages() {
    qInstallMessageHandler(g_qtHandler);
    for (const HeldMessage& message : g_held) {
        const QMessageLogContext context(nullptr, 0, nullptr, message.category.constData());
        qt_message_output(message.type, context, message.text);
    }
    g_held.clear();
}

} // namespace

int main(int argc, char* argv[]) {
    if (const std::optional<int> status = answerOptions(argc, argv)) {
        return *status;
    }
    g_qtHandler = qInstallMessageHandler(holdUntilConnected);
    QApplication app(argc, argv);
    releaseHeldMessages();
    QApplication::setApplicationName(QString::fromUtf8(setforge::config::ApplicationTitle));
    QApplication::setFont(setforge::platform::interfaceFont());
    const std::optional<QString> file = fileArgument(QApplication::arguments());

    // The interface is German whatever the system's language, Qt's own dialogs included.
    // A static Qt (the Windows build) has no translations folder and carries them inside.
    QTranslator qtGerman;
    const QLocale german(QLocale::German, QLocale::Germany);
    if (qtGerman.load(german, "qtbase", "_", QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        qtGerman.load(german, "qtbase", "_", ":/translations")) {
        QApplication::installTranslator(&qtGerman);
    }

    setforge::platform::QtWindowServices services;
    setforge::windows::MainWindow window(services);
    window.showCentred();
    // `setforge FILE` (and the desktop's "open with") edits that config. A file that does not exist
    // yet in an existing folder is a new one: the save proposes it, as editors do. In a folder that
    // does not exist it could never be saved: the player is told, and the window starts without a file.
    if (file) {
        const QFileInfo info(*file);
        const bool missing = !info.exists() && !info.isSymLink() && !file->contains(QChar::ReplacementCharacter);
        if (missing && !info.absoluteDir().exists()) {
            const std::string reason = "Den Ordner " + QDir::toNativeSeparators(info.absolutePath()).toStdString() +
                                       " gibt es nicht; dort lässt sich die Config auch nicht anlegen.";
            services.showMessage(&window, {},
                                 QString::fromStdString(setforge::config::loadFailureMessage(
                                     QDir::toNativeSeparators(info.absoluteFilePath()).toStdString(), reason)),
                                 setforge::platform::MessageIcon::Warning);
        } else if (missing) {
            window.proposeSavePath(*file);
        } else {
            window.openConfig(*file);
        }
    }
    return QApplication::exec();
}
