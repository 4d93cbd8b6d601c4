#include "platform/userconfig_saving.h"

#include "config/userconfig.h"
#include "support/fake_window_services.h"
#include "support/printers.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

#include <string>

namespace setforge::platform {
namespace {

using config::SaveOutcome;
using config::SaveResult;
using config::SettingsState;

TEST(SaveUserconfig, DialogAsksForTheConfigByItsLiteralName) {
    FakeWindowServices services;
    QWidget mainWindow;
    int snapshots = 0;
    for (int press = 0; press < 2; ++press) {
        (void)saveUserconfig(services, &mainWindow, [&] {
            ++snapshots;
            return SettingsState{};
        });
    }
    ASSERT_EQ(services.saveRequests.size(), 2u);
    for (const FakeWindowServices::SaveRequest& asked : services.saveRequests) {
        EXPECT_EQ(asked.parent, &mainWindow);
        EXPECT_EQ(asked.request.title, "Halvren Setforge 1.0");
        EXPECT_EQ(asked.request.filterDescription, "CS 1.6 Config (*.cfg)");
        EXPECT_EQ(asked.request.filterPattern, "userconfig.cfg");
        EXPECT_EQ(asked.request.proposedName, "userconfig.cfg");
        EXPECT_TRUE(asked.request.confirmOverwrite);
    }
    EXPECT_EQ(snapshots, 0);
}

TEST(SaveUserconfig, CancelOrEmptyPathWritesNothing) {
    for (const std::optional<QString>& answer : {std::optional<QString>{}, std::optional<QString>{QString()}}) {
        FakeWindowServices services;
        services.saveAnswers = {answer};
        bool snapshotTaken = false;
        const SaveResult result = saveUserconfig(services, nullptr, [&] {
            snapshotTaken = true;
            return SettingsState{};
        });
        EXPECT_EQ(result.outcome, SaveOutcome::Cancelled);
        EXPECT_TRUE(services.writes.empty());
        EXPECT_FALSE(snapshotTaken);
    }
}

TEST(SaveUserconfig, SnapshotIsTakenAfterTheDialogClosed) {
    FakeWindowServices services;
    services.saveAnswers = {QString("/tmp/cstrike/userconfig.cfg")};
    SettingsState controls;
    controls.gamma = "2";
    // The controls change while the dialog is up; the file must show them as they are afterwards.
    services.whileSaveDialogOpen = [&] { controls.gamma = "2.2"; };
    const SaveResult result = saveUserconfig(services, nullptr, [&] { return controls; });
    EXPECT_EQ(result.outcome, SaveOutcome::Saved);
    EXPECT_EQ(result.path, "/tmp/cstrike/userconfig.cfg");
    ASSERT_EQ(services.writes.size(), 1u);
    EXPECT_EQ(services.writes[0].path, "/tmp/cstrike/userconfig.cfg");
    EXPECT_EQ(services.writes[0].bytes.toStdString(), "gamma \"2.200000\"\r\n// User Angaben\r\n\r\n");
}

TEST(SaveUserconfig, WritesUtf8BytesWithoutByteOrderMark) {
    FakeWindowServices services;
    services.saveAnswers = {QString("u.cfg")};
    SettingsState state;
    state.nickname = "Jörg™";
    state.manual_text = "say Grüße 😀";
    (void)saveUserconfig(services, nullptr, [&] { return state; });
    ASSERT_EQ(services.writes.size(), 1u);
    EXPECT_EQ(services.writes[0].bytes.toStdString(),
              "name \"J\xC3\xB6rg\xE2\x84\xA2\"\r\n// User Angaben\r\nsay Gr\xC3\xBC\xC3\x9F"
              "e \xF0\x9F\x98\x80\r\n");
}

TEST(SaveUserconfig, FailedWriteIsReportedWithPathAndReason) {
    FakeWindowServices services;
    services.saveAnswers = {QString("/voll/userconfig.cfg")};
    services.failWritesWith = QString("No space left on device");
    const SaveResult result = saveUserconfig(services, nullptr, [] { return SettingsState{}; });
    EXPECT_EQ(result.outcome, SaveOutcome::Failed);
    EXPECT_EQ(result.path, "/voll/userconfig.cfg");
    EXPECT_EQ(result.error, "No space left on device");
    ASSERT_EQ(services.writes.size(), 1u);
    EXPECT_EQ(services.writes[0].bytes.toStdString(), config::composeUserconfig({}));
    const std::string message = saveFailureMessage(result);
    EXPECT_NE(message.find("nicht gespeichert"), std::string::npos) << message;
    EXPECT_NE(message.find("/voll/userconfig.cfg"), std::string::npos) << message;
    EXPECT_NE(message.find("No space left on device"), std::string::npos) << message;
    // A long path wraps over many lines; the reason must come before it to stay in view.
    EXPECT_LT(message.find("No space left on device"), message.find("/voll/userconfig.cfg")) << message;
}

TEST(SaveUserconfig, ChosenPathComesBackAsUtf8) {
    FakeWindowServices services;
    services.saveAnswers = {QString("/home/spieler/Ordner mit Ümlaut/userconfig.cfg")};
    const SaveResult result = saveUserconfig(services, nullptr, [] { return SettingsState{}; });
    EXPECT_EQ(result.path, "/home/spieler/Ordner mit \xc3\x9cmlaut/userconfig.cfg");
}

TEST(SaveUserconfig, WritesTheBytesUnchangedToAUtf8Path) {
    QTemporaryDir temp;
    ASSERT_TRUE(temp.isValid());
    ASSERT_TRUE(QDir(temp.path()).mkdir("Grüße"));
    const QString path = QDir(temp.path()).filePath("Grüße/userconfig.cfg");
    SettingsState state;
    // A NUL in the free text the write must not stop at.
    state.manual_text = std::string("say J\xC3\xA4ger\0tail", 15);
    FakeWindowServices services;
    services.writeRealFiles = true; // the file is read back
    services.saveAnswers = {path};

    const SaveResult result = saveUserconfig(services, nullptr, [&] { return state; });

    ASSERT_EQ(result.outcome, SaveOutcome::Saved) << result.error;
    QFile written(path);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll().toStdString(), config::composeUserconfig(state));
}

// The game runs userconfig.cfg only from config.cfg: a folder whose config.cfg does not run it is
// named before writing, and "Abbrechen" writes nothing.
TEST(SaveUserconfig, AsksWhenTheFolderConfigDoesNotRunTheFile) {
    struct Case {
        const char* configCfg; // nullptr: no config.cfg in the folder
        const char* fileName;
        bool asks;
    };
    const Case cases[] = {
        {nullptr, "userconfig.cfg", false},
        {"unbindall\n+mlook\nexec userconfig.cfg\n", "userconfig.cfg", false},
        {"unbindall\n+mlook\n", "userconfig.cfg", true},
        {"unbindall\n+mlook\n", "UserConfig.cfg", true},
        {"unbindall\n+mlook\n", "autoexec.cfg", false},
    };
    for (const Case& c : cases) {
        const QTemporaryDir folder;
        if (c.configCfg != nullptr) {
            QFile configCfg(folder.filePath("config.cfg"));
            ASSERT_TRUE(configCfg.open(QIODevice::WriteOnly));
            configCfg.write(c.configCfg);
        }
        for (const bool agree : {false, true}) {
            FakeWindowServices services;
            services.saveAnswers = {folder.filePath(c.fileName)};
            services.questionAnswers = {agree};
            const SaveResult result = saveUserconfig(services, nullptr, [] { return SettingsState{}; });
            ASSERT_EQ(services.questions.size(), c.asks ? 1U : 0U) << c.fileName;
            const bool written = !c.asks || agree;
            EXPECT_EQ(services.writes.size(), written ? 1U : 0U);
            EXPECT_EQ(result.outcome, written ? SaveOutcome::Saved : SaveOutcome::Cancelled);
            if (c.asks) {
                EXPECT_EQ(services.questions[0].title, "Trotzdem speichern|Abbrechen");
                EXPECT_TRUE(services.questions[0].text.contains("+exec userconfig.cfg"));
                EXPECT_TRUE(services.questions[0].text.contains(QDir::toNativeSeparators(folder.path())));
            }
        }
    }
}

} // namespace
} // namespace setforge::platform
