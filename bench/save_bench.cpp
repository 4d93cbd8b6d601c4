// "Config erstellen" with a large free text: time from the dialog's answer to the file closed,
// median of 9 presses, at two sizes to show it grows linearly.
#include "platform/qt_window_services.h"
#include "windows/mainwindow.h"
#include "windows/style.h"

#include <QApplication>
#include <QFile>
#include <QPlainTextEdit>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using setforge::platform::MessageIcon;

// The real services, except that the dialog answers at once with a fixed path.
class TimedServices final : public setforge::platform::WindowServices {
public:
    QString path;
    Clock::time_point answered, closed;
    bool failed = false;

    void dragByStrip(QWidget* strip, const QMouseEvent& press) override { m_real.dragByStrip(strip, press); }
    void openWebAddress(QWidget* owner, const QString& url) override { m_real.openWebAddress(owner, url); }
    void minimise(QWidget* window) override { m_real.minimise(window); }
    void endProgram() override { m_real.endProgram(); }
    void showMessage(QWidget*, const QString&, const QString&, MessageIcon) override { failed = true; }
    // Lines the game would read otherwise than the window shows are saved anyway.
    bool askQuestion(QWidget*, const QString&, const QString&, const QString&) override { return true; }
    std::optional<QString> askSavePath(QWidget*, const setforge::config::SaveDialogRequest&) override {
        answered = Clock::now();
        return path;
    }
    std::optional<QString> askOpenPath(QWidget*, const setforge::config::OpenDialogRequest&) override {
        answered = Clock::now();
        return path;
    }
    setforge::platform::ReadResult readConfigFile(const QString& target) override {
        return m_real.readConfigFile(target);
    }
    setforge::config::WriteResult writeFileAtomically(const QString& target, const QByteArray& bytes) override {
        auto result = m_real.writeFileAtomically(target, bytes);
        closed = Clock::now();
        return result;
    }

private:
    setforge::platform::QtWindowServices m_real;
};

double medianMs(setforge::windows::MainWindow& window, TimedServices& services) {
    std::vector<double> ms;
    for (int run = 0; run < 9; ++run) {
        window.Command1_Click();
        ms.push_back(std::chrono::duration<double, std::milli>(services.closed - services.answered).count());
    }
    std::ranges::sort(ms);
    return ms[ms.size() / 2];
}

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    QApplication::setFont(setforge::windows::defaultFont());
    QTemporaryDir dir;
    TimedServices services;
    services.path = dir.filePath("userconfig.cfg");
    setforge::windows::MainWindow window(services);
    auto* freeText = window.findChild<QPlainTextEdit*>("Text2");

    for (int megabytes : {10, 40}) {
        QString text;
        text.reserve(megabytes << 20);
        for (int i = 0; text.size() < (megabytes << 20); ++i) {
            text += i % 2 ? QStringLiteral("bind \"F1\" \"p90\"\r\n") : QStringLiteral("say Grüße aus Köln\n");
        }
        freeText->setPlainText(text);
        const double ms = medianMs(window, services);
        if (services.failed) {
            std::fprintf(stderr, "saving failed\n");
            return 1;
        }
        std::printf("Config erstellen, %d MB free text: %.1f ms (median of 9), %.2f ms/MB\n", megabytes, ms,
                    ms / megabytes);
    }

    // Opening a config: from the open dialog's answer to the window painted with it.
    window.show();
    for (int megabytes : {1, 4}) {
        QFile file(services.path);
        if (!file.open(QIODevice::WriteOnly)) {
            return 1;
        }
        file.write("name \"Spieler\"\r\ngamma \"2.2\"\r\n");
        for (int i = 0; file.size() < (megabytes << 20); ++i) {
            file.write(i % 2 ? "bind \"F1\" \"p90\"\r\n"
                             : "say Gr\xC3\xBC\xC3\x9F"
                               "e aus K\xC3\xB6ln\r\n");
        }
        file.close();
        std::vector<double> ms;
        for (int run = 0; run < 9; ++run) {
            window.openWithDialog();
            window.repaint();
            QApplication::processEvents();
            ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - services.answered).count());
        }
        std::ranges::sort(ms);
        if (services.failed) {
            std::fprintf(stderr, "loading failed\n");
            return 1;
        }
        std::printf("Opening a %d MB config, dialog answer to window painted: %.1f ms (median of 9)\n", megabytes,
                    ms[ms.size() / 2]);
    }
    return 0;
}
