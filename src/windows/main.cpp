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
    return QApplication::exec();
}
