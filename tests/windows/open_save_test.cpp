// Opening a config and saving it unchanged, through the window: the game does with the saved file
// what it did with the original, whether it reads the file whole or line by line.
#include "platform/qt_window_services.h"
#include "support/fake_window_services.h"
#include "support/finders.h"
#include "support/game_console.h"
#include "widget_helpers.h"

#include "config/settings_catalogue.h"
#include "config/userconfig.h"
#include "windows/mainwindow.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QUrl>

#include <gtest/gtest.h>

#include <cstdio>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace setforge::windows {
namespace {

using platform::FakeWindowServices;

std::vector<std::string_view> variableNames() {
    std::vector<std::string_view> names;
    for (const config::SettingSpec& setting : config::SettingsCatalogue) {
        names.push_back(setting.key);
    }
    return names;
}

class OpenSaveTest : public ::testing::Test {
protected:
    FakeWindowServices services;
    MainWindow window{services};
    QTemporaryDir dir;

    QString fileWith(const std::string& bytes) {
        const QString path = dir.filePath("userconfig.cfg");
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes.data(), static_cast<qint64>(bytes.size()));
        return path;
    }
    // Opens the bytes in the window and returns what "Config erstellen" hands to the writer.
    std::string openAndSave(const std::string& bytes) {
        const QString path = fileWith(bytes);
        EXPECT_TRUE(window.openConfig(path));
        services.saveAnswers = {path};
        // Lines the game cuts (behind a NUL byte) are the player's own: he keeps them as they were.
        services.questionAnswers = {true};
        window.Command1_Click();
        EXPECT_FALSE(services.writes.empty());
        return services.writes.empty() ? std::string() : services.writes.back().bytes.toStdString();
    }
    QPlainTextEdit* freeText() { return testsupport::control<QPlainTextEdit>(&window, "Text2"); }
};

TEST_F(OpenSaveTest, SavedUnchangedTheGameDoesWhatItDidBefore) {
    struct Case {
        std::string name;
        std::string bytes;
    };
    const std::vector<Case> cases = {
        {"lone CRs", "echo hallo\rquit\r"},
        {"a CR-only file behind a comment", "// alt\rgamma 2.2\rname \"x\"\rquit\r"},
        {"line and paragraph separators", "say a\xE2\x80\xA8quit\r\nsay b\xE2\x80\xA9quit\r\ngamma 2.2\r\n"},
        {"NUL and what follows", std::string("bind \"F5\" \"vest\"\r\n\0quit\r\n", 25)},
        {"C0 controls", "say a\x01\x1B[31mb\x0C\x7Fquit\r\nhud_fastswitch 1\n"},
        {"control pictures of the file itself", "say \xE2\x90\x8D\xEF\xB8\x8E stays\r\nsay \xC2\xB6\r\n"},
        {"CR before CR LF", "say a\r\r\nsay b\r\n"},
        {"LF ends and an open quote", "name \"J\xC3\xB6rg\"\nsay \"offen\n"},
    };
    const std::vector<std::string_view> names = variableNames();
    for (const Case& c : cases) {
        const std::string saved = openAndSave(c.bytes);
        EXPECT_EQ(testing::effectOf(saved, names), testing::effectOf(c.bytes, names)) << c.name;
        EXPECT_EQ(testing::effectOf(testing::readLineByLine(saved), names),
                  testing::effectOf(testing::readLineByLine(c.bytes), names))
            << c.name;
        // What the program wrote comes back byte for byte.
        EXPECT_EQ(openAndSave(saved), saved) << c.name;
    }
}

TEST_F(OpenSaveTest, StrayWindows1252ByteLeavesUtf8NameAlone) {
    const std::string saved = openAndSave("name \"J\xC3\xB6rg\"\r\n// Gr\xFC\xDF"
                                          "e\r\n");
    EXPECT_EQ(testsupport::control<QLineEdit>(&window, "Text1")->text(), QString::fromUtf8("Jörg"));
    EXPECT_EQ(saved, "name \"J\xC3\xB6rg\"\r\n// User Angaben\r\n// Gr\xC3\xBC\xC3\x9F"
                     "e\r\n");
}

TEST_F(OpenSaveTest, Utf16FileIsOpenedAndThePlayerTold) {
    const std::string saved = openAndSave(std::string("\xFF\xFEg\0a\0m\0m\0a\0 \0"
                                                      "2\0\r\0\n\0s\0a\0y\0",
                                                      26));
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_EQ(services.messages[0].icon, platform::MessageIcon::Information);
    EXPECT_TRUE(services.messages[0].text.contains("UTF-16"));
    EXPECT_EQ(saved, "gamma \"2.000000\"\r\n// User Angaben\r\nsay\r\n");
}

TEST_F(OpenSaveTest, PlaceholderTypedByThePlayerStaysWhatHeTyped) {
    openAndSave("echo a\rb\r\n");
    freeText()->moveCursor(QTextCursor::End);
    freeText()->insertPlainText(QString::fromUtf8(" \u240D")); // as typed or pasted by the player
    services.saveAnswers = {dir.filePath("userconfig.cfg")};
    services.questionAnswers = {true}; // the lone CR joins `b` to the echo: save anyway
    window.Command1_Click();
    EXPECT_EQ(services.writes.back().bytes.toStdString(), "// User Angaben\r\necho a\rb \xE2\x90\x8D\r\n");
}

// Only a regular file is read; everything else is named in German, and nothing waits.
TEST_F(OpenSaveTest, WhatIsNoRegularFileIsNamedAndNeverRead) {
    const QByteArray base = QFile::encodeName(dir.path());
    ASSERT_EQ(mkfifo(base + "/pipe.cfg", 0600), 0);
    ASSERT_EQ(symlink("loop.cfg", base + "/loop.cfg"), 0);
    const int listening = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s/socket.cfg", base.constData());
    ASSERT_EQ(bind(listening, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    struct Case {
        QString path;
        const char* reasonHolds;
    };
    const std::vector<Case> cases = {
        {dir.filePath("pipe.cfg"), "keine gewöhnliche Datei, sondern eine benannte Pipe (FIFO)"},
        {"/dev/null", "keine gewöhnliche Datei, sondern ein Gerät"},
        {dir.filePath("socket.cfg"), "keine gewöhnliche Datei, sondern ein Socket"},
        {dir.path(), "keine gewöhnliche Datei, sondern ein Ordner"},
        {dir.filePath("loop.cfg"), "Zu viele symbolische Verknüpfungen"},
        {dir.filePath("fehlt.cfg"), "Die Datei gibt es nicht"},
        {dir.filePath(QString::fromUtf8("J\xEF\xBF\xBDrg.cfg")), "kein UTF-8"},
    };
    for (const Case& c : cases) {
        const platform::ReadResult read = platform::readConfigFile(c.path);
        EXPECT_FALSE(read.ok) << c.reasonHolds;
        EXPECT_TRUE(read.error.contains(QString::fromUtf8(c.reasonHolds))) << read.error.toStdString();
        // German only, and about the file being opened rather than a save's target.
        for (const char* foreign : {"regular file", "No such", "Too many", "Das Ziel"}) {
            EXPECT_FALSE(read.error.contains(foreign)) << read.error.toStdString();
        }
    }
    ::close(listening);
}

// A file dropped on either text box is opened; text dropped there is still inserted.
TEST_F(OpenSaveTest, DropsOnTheTextBoxesOpenFilesAndInsertText) {
    const QString path = fileWith("hud_fastswitch \"0\"\r\n");
    auto* nickname = testsupport::control<QLineEdit>(&window, "Text1");
    window.show();
    struct Case {
        QWidget* target;
        QList<QUrl> urls;
        QString text;
        bool accepted;
        bool opened;
    };
    const std::vector<Case> cases = {
        {freeText()->viewport(), {QUrl::fromLocalFile(path)}, QUrl::fromLocalFile(path).toString(), true, true},
        {nickname, {QUrl::fromLocalFile(path)}, QUrl::fromLocalFile(path).toString(), true, true},
        {&window, {QUrl::fromLocalFile(path)}, {}, true, true},
        {freeText()->viewport(), {QUrl::fromLocalFile(dir.filePath("fehlt.cfg"))}, {}, false, false},
        {freeText()->viewport(), {QUrl::fromLocalFile(path), QUrl::fromLocalFile(path)}, {}, false, false},
        {freeText()->viewport(), {}, "bind x y", true, false},
    };
    for (const Case& c : cases) {
        testsupport::control<QRadioButton>(&window, "o1")->setChecked(true);
        freeText()->clear();
        services.unsavedAnswers = {platform::UnsavedChoice::Discard}; // the window differs from the file
        QMimeData data;
        if (!c.urls.isEmpty()) {
            data.setUrls(c.urls);
        }
        if (!c.text.isEmpty()) {
            data.setText(c.text);
        }
        const QPoint at(5, 5);
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(c.target, &enter);
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(c.target, &drop);
        EXPECT_EQ(drop.isAccepted(), c.accepted) << c.urls.size() << c.text.toStdString();
        EXPECT_EQ(testsupport::control<QRadioButton>(&window, "o2")->isChecked(), c.opened) << c.text.toStdString();
        EXPECT_FALSE(freeText()->toPlainText().contains("file:")) << c.text.toStdString();
        EXPECT_FALSE(nickname->text().contains("file:"));
    }
    EXPECT_EQ(freeText()->toPlainText(), "bind x y");
    EXPECT_EQ(services.unsavedQuestions.size(), 4U) << "each drop of one file asks first";
}

} // namespace
} // namespace setforge::windows
