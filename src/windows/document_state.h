#pragma once

#include "config/settings_state.h"

#include <QObject>
#include <QString>

#include <functional>

class QPlainTextEdit;

namespace setforge::windows {

// Which config the window shows, and whether the window differs from it as it was last opened or
// saved (without one, from the window at start), so that nothing typed is lost without a question.
class DocumentState final : public QObject {
    Q_OBJECT
public:
    // `choices` reads the nickname and the settings; the free text is read from `box`.
    using Choices = std::function<config::SettingsState()>;
    DocumentState(QPlainTextEdit* box, Choices choices, QObject* parent);

    // The window now shows what `path` holds ("" for no file yet).
    void markSaved(const QString& path);
    // The next save goes to `path`; the window's state stays as it is.
    void setPath(const QString& path);

    [[nodiscard]] const QString& path() const { return m_path; }
    [[nodiscard]] bool isModified() const { return m_modified; }

    // Looks again whether the window differs; called whenever a control changes.
    void recheck();

signals:
    void changed(); // the file or the unsaved mark changed

private:
    [[nodiscard]] bool textDiffers() const;

    QPlainTextEdit* m_box;
    Choices m_choices;
    config::SettingsState m_savedChoices;
    QString m_savedText;
    QString m_path;
    bool m_modified = false;
};

} // namespace setforge::windows
