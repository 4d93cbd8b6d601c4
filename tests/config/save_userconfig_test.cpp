#include "config/save_userconfig.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace setforge::config {
namespace {

// Answers the dialog with a scripted path and keeps what was written in memory.
class FakeSaveServices : public SaveServices {
public:
    std::optional<std::string> answer;
    std::function<void()> whileDialogOpen;
    WriteResult writeResult{true, {}};

    std::vector<SaveDialogRequest> requests;
    std::vector<std::pair<std::string, std::string>> writes;

    std::optional<std::string> askSavePath(const SaveDialogRequest& request) override {
        requests.push_back(request);
        if (whileDialogOpen) {
            whileDialogOpen();
        }
        return answer;
    }
    WriteResult writeFileAtomically(const std::string& path, std::string_view bytes) override {
        writes.emplace_back(path, std::string(bytes));
        return writeResult;
    }
};

TEST(SaveUserconfig, DialogAsksForTheConfigByItsLiteralName) {
    FakeSaveServices services;
    services.answer = std::nullopt;
    int snapshots = 0;
    for (int press = 0; press < 2; ++press) {
        (void)saveUserconfig(services, [&] {
            ++snapshots;
            return SettingsState{};
        });
    }
    ASSERT_EQ(services.requests.size(), 2u);
    for (const SaveDialogRequest& r : services.requests) {
        EXPECT_EQ(r.title, "Halvren Setforge 1.0");
        EXPECT_EQ(r.filterDescription, "CS 1.6 Config (*.cfg)");
        EXPECT_EQ(r.filterPattern, "userconfig.cfg");
        EXPECT_EQ(r.proposedName, "userconfig.cfg");
        EXPECT_TRUE(r.confirmOverwrite);
    }
    EXPECT_EQ(snapshots, 0);
}

TEST(SaveUserconfig, CancelOrEmptyPathWritesNothing) {
    for (const std::optional<std::string>& answer : {std::optional<std::string>{}, std::optional<std::string>{""}}) {
        FakeSaveServices services;
        services.answer = answer;
        bool snapshotTaken = false;
        const SaveResult result = saveUserconfig(services, [&] {
            snapshotTaken = true;
            return SettingsState{};
        });
        EXPECT_EQ(result.outcome, SaveOutcome::Cancelled);
        EXPECT_TRUE(services.writes.empty());
        EXPECT_FALSE(snapshotTaken);
    }
}

TEST(SaveUserconfig, SnapshotIsTakenAfterTheDialogClosed) {
    FakeSaveServices services;
    services.answer = "/tmp/cstrike/userconfig.cfg";
    SettingsState controls;
    controls.gamma = "2";
    // The controls change while the dialog is up; the file must show them as they are afterwards.
    services.whileDialogOpen = [&] { controls.gamma = "2.2"; };
    const SaveResult result = saveUserconfig(services, [&] { return controls; });
    EXPECT_EQ(result.outcome, SaveOutcome::Saved);
    EXPECT_EQ(result.path, "/tmp/cstrike/userconfig.cfg");
    ASSERT_EQ(services.writes.size(), 1u);
    EXPECT_EQ(services.writes[0].first, "/tmp/cstrike/userconfig.cfg");
    EXPECT_EQ(services.writes[0].second, "gamma \"2.200000\"\r\n// User Angaben\r\n\r\n");
}

TEST(SaveUserconfig, WritesUtf8BytesWithoutByteOrderMark) {
    FakeSaveServices services;
    services.answer = "u.cfg";
    SettingsState state;
    state.nickname = "Jörg™";
    state.manual_text = "say Grüße 😀";
    (void)saveUserconfig(services, [&] { return state; });
    ASSERT_EQ(services.writes.size(), 1u);
    EXPECT_EQ(services.writes[0].second, "name \"J\xC3\xB6rg\xE2\x84\xA2\"\r\n// User Angaben\r\nsay Gr\xC3\xBC\xC3\x9F"
                                         "e \xF0\x9F\x98\x80\r\n");
}

TEST(SaveUserconfig, FailedWriteIsReportedWithPathAndReason) {
    FakeSaveServices services;
    services.answer = "/voll/userconfig.cfg";
    services.writeResult = {false, "No space left on device"};
    const SaveResult result = saveUserconfig(services, [] { return SettingsState{}; });
    EXPECT_EQ(result.outcome, SaveOutcome::Failed);
    EXPECT_EQ(result.path, "/voll/userconfig.cfg");
    EXPECT_EQ(result.error, "No space left on device");
    const std::string message = saveFailureMessage(result);
    EXPECT_NE(message.find("nicht gespeichert"), std::string::npos) << message;
    EXPECT_NE(message.find("/voll/userconfig.cfg"), std::string::npos) << message;
    EXPECT_NE(message.find("No space left on device"), std::string::npos) << message;
    // A long path wraps over many lines; the reason must come before it to stay in view.
    EXPECT_LT(message.find("No space left on device"), message.find("/voll/userconfig.cfg")) << message;
}

} // namespace
} // namespace setforge::config
