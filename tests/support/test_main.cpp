#include "platform/window_services.h"
#include "windows/style.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>

// The platform and widget tests run without a display unless one is asked for, in an application
// set up as the program sets itself up: its name and its font.
int main(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    QApplication app(argc, argv);
    const std::string_view title = setforge::platform::ApplicationTitle;
    QApplication::setApplicationName(QString::fromUtf8(title.data(), static_cast<qsizetype>(title.size())));
    QApplication::setFont(setforge::platform::interfaceFont());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
