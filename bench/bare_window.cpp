// The yardstick for setforge's start-up: a frameless window of the main window's size with one
// label, set up with the same application font, so the difference is what setforge itself adds.
#include "windows/style.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QWidget>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Halvren Setforge");
    QApplication::setFont(setforge::platform::interfaceFont());

    QWidget window(nullptr, Qt::Window | Qt::FramelessWindowHint);
    window.setWindowTitle("Bare");
    window.setFixedSize(762, 537);
    QLabel label("Halvren Setforge 1.0", &window);
    label.move(8, 8);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        window.move(screen->availableGeometry().center() - window.rect().center());
    }
    window.show();
    return QApplication::exec();
}
