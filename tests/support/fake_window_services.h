#pragma once

#include "platform/qt_window_services.h"
#include "platform/window_services.h"

#include <QByteArray>
#include <QMouseEvent>
#include <QString>

#include <deque>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

namespace setforge::platform {

// Window services for widget tests: answers the save dialog from a script, records what the
// windows asked for, never shows a window and never blocks. Recorded widget pointers are only
// for comparing identity; they may dangle once the widget is gone.
class FakeWindowServices final : public WindowServices {
public:
    struct Drag {
        QWidget* strip;
        Qt::MouseButton button;
        Qt::MouseButtons buttons;
    };
    struct WebAddress {
        QWidget* owner;
        QString url;
    };
    struct Message {
        QWidget* parent;
        QString title;
        QString text;
        MessageIcon icon;
    };
    struct SaveRequest {
        QWidget* parent;
        config::SaveDialogRequest request;
    };
    struct OpenRequest {
        QWidget* parent;
        config::OpenDialogRequest request;
    };
    struct Write {
        QString path;
        QByteArray bytes;
    };

    // Answers for the coming save dialogs, first in first out; nullopt, or no answer left, cancels.
    std::deque<std::optional<QString>> saveAnswers;
    // Answers for the coming questions, first in first out; no answer left takes the reject button.
    std::deque<bool> questionAnswers;
    // Answers for the coming questions about unsaved changes; no answer left takes "Abbrechen".
    std::deque<UnsavedChoice> unsavedAnswers;
    // Answers for the coming open dialogs, likewise.
    std::deque<std::optional<QString>> openAnswers;
    // Runs while the save dialog is "open", before it answers.
    std::function<void()> whileSaveDialogOpen;
    // When set, every write fails with this reason and touches no file.
    std::optional<QString> failWritesWith;
    // Writes only reach the disk for tests that read the file back or need the system's own
    // failure; otherwise a write is recorded and succeeds.
    bool writeRealFiles = false;

    std::vector<Drag> drags;
    std::vector<WebAddress> webAddresses;
    std::vector<QWidget*> minimised;
    int endProgramCalls = 0;
    std::vector<Message> messages;
    std::vector<Message> questions; // title holds the two captions as "accept|reject"
    std::vector<Message> unsavedQuestions;
    std::vector<SaveRequest> saveRequests;
    std::vector<OpenRequest> openRequests;
    std::vector<Write> writes;

    void dragByStrip(QWidget* strip, const QMouseEvent& press) override {
        drags.push_back({strip, press.button(), press.buttons()});
    }
    void openWebAddress(QWidget* owner, const QString& url) override { webAddresses.push_back({owner, url}); }
    void minimise(QWidget* window) override { minimised.push_back(window); }
    void endProgram() override { ++endProgramCalls; }
    void showMessage(QWidget* parent, const QString& title, const QString& text, MessageIcon icon) override {
        messages.push_back({parent, title, text, icon});
    }
    bool askQuestion(QWidget* parent, const QString& text, const QString& accept, const QString& reject) override {
        questions.push_back({parent, accept + "|" + reject, text, MessageIcon::Warning});
        if (questionAnswers.empty()) {
            return false;
        }
        const bool answer = questionAnswers.front();
        questionAnswers.pop_front();
        return answer;
    }
    UnsavedChoice askAboutUnsavedChanges(QWidget* parent, const QString& text) override {
        unsavedQuestions.push_back({parent, {}, text, MessageIcon::Warning});
        if (unsavedAnswers.empty()) {
            return UnsavedChoice::Cancel;
        }
        const UnsavedChoice answer = unsavedAnswers.front();
        unsavedAnswers.pop_front();
        return answer;
    }
    std::optional<QString> askSavePath(QWidget* parent, const config::SaveDialogRequest& request) override {
        saveRequests.push_back({parent, request});
        if (whileSaveDialogOpen) {
            whileSaveDialogOpen();
        }
        if (saveAnswers.empty()) {
            return std::nullopt;
        }
        std::optional<QString> answer = std::move(saveAnswers.front());
        saveAnswers.pop_front();
        return answer;
    }
    std::optional<QString> askOpenPath(QWidget* parent, const config::OpenDialogRequest& request) override {
        openRequests.push_back({parent, request});
        if (openAnswers.empty()) {
            return std::nullopt;
        }
        std::optional<QString> answer = std::move(openAnswers.front());
        openAnswers.pop_front();
        return answer;
    }
    ReadResult readConfigFile(const QString& path) override { return platform::readConfigFile(path); }
    config::WriteResult writeFileAtomically(const QString& path, const QByteArray& bytes) override {
        writes.push_back({path, QByteArray(bytes.constData(), bytes.size())}); // a deep copy: `bytes` may be a view
        if (failWritesWith) {
            return {false, failWritesWith->toStdString()};
        }
        if (!writeRealFiles) {
            return {true, {}};
        }
        return platform::writeFileAtomically(path, bytes);
    }
};

} // namespace setforge::platform
