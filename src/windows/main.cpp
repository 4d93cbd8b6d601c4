#include "platform/qt_window_services.h"
#include "windows/mainwindow.h"
#include "windows/style.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Halvren Setforge");
    QApplication::setFont(setforge::windows::defaultFont());

    // The interface is German whatever the system's language, Qt's own dialogs included.
    QTranslator qtGerman;
    if (qtGerman.load(QLocale(QLocale::German, QLocale::Germany), "qtbase", "_",
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
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
