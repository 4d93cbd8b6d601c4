#include "config/product.h"
#include "platform/qt_window_services.h"
#include "windows/mainwindow.h"
#include "windows/style.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <cstdio>
#include <cstdlib>
#include <string>
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
    g_qtHandler = qInstallMessageHandler(holdUntilConnected);
    QApplication app(argc, argv);
    releaseHeldMessages();
    QApplication::setApplicationName(QString::fromUtf8(setforge::config::ApplicationTitle));
    QApplication::setFont(setforge::platform::interfaceFont());

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
    // `setforge FILE` (and the desktop's "open with") edits that config.
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 1) {
        window.openConfig(arguments.at(1));
    }
    return QApplication::exec();
}
