#pragma once

#include "config/load_userconfig.h"
#include "config/product.h"
#include "config/save_userconfig.h"

#include <QByteArray>

#include <QString>

#include <optional>
#include <string_view>

class QMouseEvent;
class QWidget;

namespace setforge::platform {

enum class MessageIcon { None, Information, Warning };

// The answers to the question before unsaved changes would be lost.
enum class UnsavedChoice { Save, Discard, Cancel };

struct ReadResult {
    bool ok = false;
    QByteArray bytes;
    QString error; // German reason when !ok
};

// Every service the windows need from the window system, the shell and the dialogs.
// The windows reach them only through this interface, so that widget tests can install
// a fake that answers dialogs and never blocks.
class WindowServices {
public:
    virtual ~WindowServices() = default;

    // Called from the strip's mouse-press handler: with exactly the left button, the window
    // starts to follow the mouse (through the window manager, or by mouse moves where there is none).
    virtual void dragByStrip(QWidget* strip, const QMouseEvent& press) = 0;

    // Opens the address in the user's browser; a failure shows nothing.
    virtual void openWebAddress(QWidget* owner, const QString& url) = 0;

    // Minimises the window, only from its normal state.
    virtual void minimise(QWidget* window) = 0;

    // Ends the program at once, every window with it; nothing is asked or saved.
    virtual void endProgram() = 0;

    // A modal box with one OK button. An empty title means the application's title.
    // CR LF separates lines; TABs expand to regular stops.
    virtual void showMessage(QWidget* parent, const QString& title, const QString& text, MessageIcon icon) = 0;

    // A modal question with the same look and bounds as the message box and two buttons; true
    // when the player takes `accept`. Enter, Escape and closing the box take `reject`.
    virtual bool askQuestion(QWidget* parent, const QString& text, const QString& accept, const QString& reject) = 0;

    // A modal question with the same look as the message box and the three buttons "Speichern",
    // "Verwerfen" and "Abbrechen"; Enter, Escape and closing the box take "Abbrechen". Services that
    // have no such box (a benchmark's) go on without saving, as the program did before it asked.
    virtual UnsavedChoice askAboutUnsavedChanges(QWidget* /*parent*/, const QString& /*text*/) {
        return UnsavedChoice::Discard;
    }

    // The modal save dialog; nullopt on cancel. Without a start folder it opens in the player's
    // game folder where one is found; every game folder found is offered in its side bar.
    virtual std::optional<QString> askSavePath(QWidget* parent, const config::SaveDialogRequest& request) = 0;

    // The modal open dialog, placed like the save dialog; nullopt on cancel.
    virtual std::optional<QString> askOpenPath(QWidget* parent, const config::OpenDialogRequest& request) = 0;

    // A config file's bytes, or the German reason it cannot be loaded (missing, a folder, not
    // readable, too large, not text).
    virtual ReadResult readConfigFile(const QString& path) = 0;

    // Replaces the file whole or leaves it as it was.
    virtual config::WriteResult writeFileAtomically(const QString& path, const QByteArray& bytes) = 0;
};

using config::ApplicationTitle;

} // namespace setforge::platform
