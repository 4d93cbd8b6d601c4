#pragma once

#include "config/settings_catalogue.h"
#include "config/settings_state.h"

#include <QPointer>
#include <QWidget>

#include <array>
#include <string>
#include <vector>

class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTimer;

namespace setforge::platform {
class WindowServices;
}

namespace setforge::windows {

class DocumentState;
class FindingMarks;
class FreeTextBox;
class PictureBox;

// The start window: every client setting as a row, the free-text box and four buttons.
class MainWindow : public QWidget {
    Q_OBJECT
public:
    explicit MainWindow(platform::WindowServices& services, QWidget* parent = nullptr);
    ~MainWindow() override; // the buy menu and About windows go with it

    // The controls as the userconfig writer sees them right now: the one reading of the window
    // the save and every other window use.
    [[nodiscard]] config::SettingsState snapshot() const;

    // Where the four crosshair rows and the preview's button stand, in screen coordinates.
    [[nodiscard]] QRect crosshairRows() const;

    // Shows `state` in every control and the free text: the way back from snapshot().
    void load(const config::SettingsState& state);

    // Inserts a line into the free-text box at its insertion point, replacing the selection; a line
    // break goes in front when the caret stands behind text on its line.
    void insertIntoFreeText(const QString& line);

    // Shows the window centred on its screen with the focus on the nickname.
    void showCentred();

    // Loads the config at `path` into the window; the next save proposes the same file. A file
    // that cannot be loaded gives a warning and changes nothing. True when it was loaded.
    bool openConfig(const QString& path);

    // The next save proposes `path` (a file that need not exist yet), as after opening it.
    void proposeSavePath(const QString& path);

    // Ctrl+O: asks about unsaved changes, then for a config, and loads it.
    void openWithDialog();

    // Ctrl+S: saves to the file in view with no dialog, or as "Config erstellen" without one.
    // True when the file was written.
    bool saveInPlace();

    // The file in view ("" for none) and whether the window differs from it.
    [[nodiscard]] QString currentPath() const;
    [[nodiscard]] bool hasUnsavedChanges() const;

    // Before the window's content is replaced or lost: asks "Speichern", "Verwerfen" or
    // "Abbrechen" when there are unsaved changes. True to go on.
    [[nodiscard]] bool settleUnsavedChanges(const QString& before);

    // Handlers, named after control and event.
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click(); // the crosshair preview
    void Image2_Click();
    void Picture1_MouseDown(const QMouseEvent& event);
    void Picture2_Click();
    void Picture3_Click();

signals:
    // Any control or the free text changed what snapshot() gives.
    void stateChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildTitleArea();
    void buildSettingFrames();
    void buildFreeTextFrame();
    void buildButtons();
    void setTabOrderByRows();
    void buildFindingMarks();
    void takeOverChoice(const config::SettingSpec& setting, const config::ChoiceSpec& choice);
    // Takes a setting back to no choice (nullptr: empties the nickname), as at start.
    void releaseChoice(const config::SettingSpec* setting);
    [[nodiscard]] QWidget* controlOf(const config::SettingSpec* setting) const;
    void setChoice(std::size_t index, const std::string& field); // "" clears the row
    [[nodiscard]] config::SettingsState choices() const;         // snapshot() without the free text
    bool save(const QString& path);                              // "" asks where
    void buildDocumentState();
    void showDocumentState();
    void buildCrosshairPreviewButton();
    void announceChanges();
    // Connects `react` to every change of a setting or the nickname (the free text has its own signal).
    template <typename Receiver> void onChoiceChanged(Receiver* receiver, void (Receiver::*react)());
    [[nodiscard]] QString gameConfigPath() const;

    // The widgets of one setting row: its list, or its pair (or three) of option buttons.
    struct SettingControls {
        QComboBox* list = nullptr;
        std::vector<QRadioButton*> options;
    };

    platform::WindowServices& m_services;
    std::array<SettingControls, config::SettingsCatalogue.size()> m_settingControls;
    PictureBox* m_strip = nullptr;
    QWidget* m_generalFrame = nullptr;  // the crosshair rows and their preview button stand in it
    QWidget* m_freeTextFrame = nullptr; // its top edge holds the findings' count
    QPushButton* m_previewButton = nullptr;
    QLineEdit* m_nickname = nullptr;
    FreeTextBox* m_freeText = nullptr;
    QComboBox* m_gamma = nullptr;
    FindingMarks* m_marks = nullptr;     // what the game makes of the free text, marked in it
    bool m_iconScheduled = false;        // the window icon waits for the first picture
    DocumentState* m_document = nullptr; // the file in view and whether the window differs from it
    QString m_stripNote;                 // shown in the title strip for a moment after a save
    QString m_shownNote;                 // what the strip's picture shows now
    QTimer* m_noteTimer = nullptr;
    QPointer<QWidget> m_about;
    QPointer<QWidget> m_buyMenu;
    QPointer<QWidget> m_crosshairPreview;
};

} // namespace setforge::windows
