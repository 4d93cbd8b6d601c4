#include "config/product.h"
#include "platform/qt_window_services.h"
#include "windows/mainwindow.h"
#include "windows/style.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(setforge::config::ApplicationTitle));
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
    return QApplication::exec();
}
