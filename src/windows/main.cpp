#include "platform/qt_window_services.h"
#include "windows/mainwindow.h"
#include "windows/style.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Halvren Setforge");
    QApplication::setApplicationDisplayName("Halvren Setforge");
    QApplication::setFont(setforge::windows::defaultFont());

    setforge::platform::QtWindowServices services;
    setforge::windows::MainWindow window(services);
    window.showCentred();
    return QApplication::exec();
}
