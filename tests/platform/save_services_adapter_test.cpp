#include "platform/save_services_adapter.h"

#include "config/userconfig.h"
#include "support/fake_window_services.h"
#include "support/printers.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

namespace setforge::platform {
namespace {

TEST(SaveServicesAdapter, PassesTheRequestOnAndTheChosenPathBackAsUtf8) {
    FakeWindowServices services;
    QWidget mainWindow;
    SaveServicesAdapter adapter(services, &mainWindow);
    services.saveAnswers = {QString("/home/spieler/Ordner mit Ümlaut/userconfig.cfg"), std::nullopt};
    const config::SaveDialogRequest request = config::userconfigDialogRequest();

    const std::optional<std::string> chosen = adapter.askSavePath(request);
    const std::optional<std::string> cancelled = adapter.askSavePath(request);

    EXPECT_EQ(chosen, std::optional<std::string>("/home/spieler/Ordner mit \xc3\x9cmlaut/userconfig.cfg"));
    EXPECT_EQ(cancelled, std::nullopt);
    ASSERT_EQ(services.saveRequests.size(), 2u);
    for (const FakeWindowServices::SaveRequest& asked : services.saveRequests) {
        EXPECT_EQ(asked.parent, &mainWindow);
        EXPECT_EQ(asked.request.title, request.title);
        EXPECT_EQ(asked.request.filterDescription, request.filterDescription);
        EXPECT_EQ(asked.request.filterPattern, request.filterPattern);
        EXPECT_EQ(asked.request.proposedName, request.proposedName);
        EXPECT_EQ(asked.request.confirmOverwrite, request.confirmOverwrite);
    }
}

TEST(SaveServicesAdapter, WritesTheBytesUnchangedToAUtf8Path) {
    QTemporaryDir temp;
    ASSERT_TRUE(temp.isValid());
    ASSERT_TRUE(QDir(temp.path()).mkdir("Grüße"));
    const std::string path = QDir(temp.path()).filePath("Grüße/userconfig.cfg").toStdString();
    // Windows-1252 bytes, not UTF-8: "Jäger" and a euro sign, and a NUL the adapter must not stop at.
    const char raw[] = "name \"J\xe4ger\x80\"\r\n\0tail\r\n";
    const std::string bytes(raw, sizeof raw - 1);
    FakeWindowServices services;
    services.writeRealFiles = true; // the file is read back
    SaveServicesAdapter adapter(services, nullptr);

    const config::WriteResult result = adapter.writeFileAtomically(path, bytes);

    ASSERT_TRUE(result.ok) << result.error;
    QFile written(QString::fromStdString(path));
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll().toStdString(), bytes);
}

TEST(SaveServicesAdapter, CarriesAFailedWriteAndItsReasonBack) {
    FakeWindowServices services;
    services.failWritesWith = QString("Kein Speicherplatz");
    SaveServicesAdapter adapter(services, nullptr);

    const config::SaveResult result = config::saveUserconfig(adapter, [] { return config::SettingsState{}; });

    // With no dialog answer scripted the user cancels, and nothing is written.
    EXPECT_EQ(result.outcome, config::SaveOutcome::Cancelled);
    EXPECT_TRUE(services.writes.empty());

    services.saveAnswers = {QString("/tmp/userconfig.cfg")};
    const config::SaveResult failed = config::saveUserconfig(adapter, [] { return config::SettingsState{}; });
    EXPECT_EQ(failed.outcome, config::SaveOutcome::Failed);
    EXPECT_EQ(failed.path, "/tmp/userconfig.cfg");
    EXPECT_EQ(failed.error, "Kein Speicherplatz");
    ASSERT_EQ(services.writes.size(), 1u);
    EXPECT_EQ(services.writes[0].bytes.toStdString(), config::composeUserconfig({}));
}

} // namespace
} // namespace setforge::platform
