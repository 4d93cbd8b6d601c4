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
#include <fstream>
#include <string>
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

// The process's peak resident memory so far (VmHWM), in MB.
double peakMegabytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.starts_with("VmHWM:")) {
            return std::stod(line.substr(6)) / 1024.0;
        }
    }
    return 0;
}

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
    QApplication::setFont(setforge::platform::interfaceFont());
    QTemporaryDir dir;
    TimedServices services;
    services.path = dir.filePath("userconfig.cfg");
    setforge::windows::MainWindow window(services);
    auto* freeText = window.findChild<QPlainTextEdit*>("Text2");

    // Opening a config: from the open dialog's answer to the window painted with it. Measured first,
    // so that the peak memory after each is the opening's (the sizes grow).
    window.show();
    struct OpenCase {
        const char* name;
        std::string bytes;
    };
    const auto repeated = [](std::size_t lines, const std::string& line) {
        std::string text = "name \"Spieler\"\r\ngamma \"2.2\"\r\n";
        for (std::size_t i = 0; i < lines; ++i) {
            text += line;
        }
        return text;
    };
    const std::vector<OpenCase> openCases = {
        {"typical config (3 KB, 100 lines)", repeated(100, "bind \"F1\" \"say Gr\xC3\xBC\xC3\x9F"
                                                           "e\"\r\n")},
        {"1 MB config (26,000 lines)", repeated(26'000, "say Gr\xC3\xBC\xC3\x9F"
                                                        "e aus K\xC3\xB6ln und Bremen\r\n")},
        {"most lines (49,980 short lines, 850 KB)", repeated(49'980, "bind \"F1\" \"p90\"\r\n")},
        {"largest (1 MB in lines of 4 KB)", repeated(255, std::string(4094, 'a') + "\r\n")},
    };
    for (const OpenCase& c : openCases) {
        QFile file(services.path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            return 1;
        }
        file.write(c.bytes.data(), static_cast<qint64>(c.bytes.size()));
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
            std::fprintf(stderr, "loading failed: %s\n", c.name);
            return 1;
        }
        std::printf("Opening a %s, dialog answer to window painted: %.1f ms (median of 9), peak memory %.0f MB\n",
                    c.name, ms[ms.size() / 2], peakMegabytes());
    }

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

    return 0;
}
