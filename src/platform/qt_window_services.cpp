#include "platform/qt_window_services.h"

#include "platform/message_dialog.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QMouseEvent>
#include <QUrl>
#include <QWidget>
#include <QWindow>

namespace setforge::platform {

namespace {

constexpr auto StripDragName = "setforge-strip-drag";

// Moves the strip's window with the mouse until the left button comes up. Used where no window
// manager takes the move over (a bare X server); the strip holds the implicit mouse grab from
// the press, so every move of the drag reaches it.
class StripDrag final : public QObject {
public:
    StripDrag(QWidget* strip, const QPointF& pressGlobal)
        : QObject(strip)
        , m_strip(strip)
        , m_windowAtPress(strip->window()->pos())
        , m_pressGlobal(pressGlobal) {
        setObjectName(StripDragName);
        strip->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != m_strip) {
            return false;
        }
        if (event->type() == QEvent::MouseMove) {
            const auto* move = static_cast<QMouseEvent*>(event);
            if (!(move->buttons() & Qt::LeftButton)) {
                finish(); // the release went elsewhere
                return false;
            }
            m_strip->window()->move(m_windowAtPress + (move->globalPosition() - m_pressGlobal).toPoint());
            return true;
        }
        if (event->type() == QEvent::MouseButtonRelease &&
            static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            finish();
        }
        return false;
    }

private:
    void finish() {
        m_strip->removeEventFilter(this);
        deleteLater();
    }

    QWidget* m_strip;
    QPoint m_windowAtPress;
    QPointF m_pressGlobal;
};

} // namespace

void QtWindowServices::dragByStrip(QWidget* strip, const QMouseEvent& press) {
    if (strip == nullptr || press.button() != Qt::LeftButton || press.buttons() != Qt::LeftButton) {
        return;
    }
    // A press whose release never arrived leaves its drag behind; a new press starts afresh.
    delete strip->findChild<QObject*>(StripDragName, Qt::FindDirectChildrenOnly);

    QWindow* handle = strip->window()->windowHandle();
    if (handle != nullptr && handle->startSystemMove()) {
        return;
    }
    new StripDrag(strip, press.globalPosition());
}

void QtWindowServices::openWebAddress(QWidget* /*owner*/, const QString& url) {
    (void)QDesktopServices::openUrl(QUrl(url));
}

void QtWindowServices::minimise(QWidget* window) {
    if (window == nullptr) {
        return;
    }
    constexpr Qt::WindowStates notNormal = Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen;
    if (!(window->windowState() & notNormal)) {
        window->showMinimized();
    }
}

void QtWindowServices::endProgram() {
    // Hiding instead of closing: a close can be refused or come back here through a close
    // handler. exit() leaves every running event loop, a modal box's included.
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget* window : windows) {
        window->hide();
    }
    QCoreApplication::exit(0);
}

void QtWindowServices::showMessage(QWidget* parent, const QString& title, const QString& text, MessageIcon icon) {
    MessageDialog box(parent, title, text, icon);
    box.exec();
}

std::optional<QString> QtWindowServices::askSavePath(QWidget* parent, const config::SaveDialogRequest& request) {
    QFileDialog dialog(parent, QString::fromStdString(request.title), QDir::currentPath());
    dialog.setObjectName("SaveDialog");
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
#ifndef Q_OS_WIN
    // The same dialog on every desktop, and one that Xvfb-driven tests can operate.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
#endif
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
    // The pattern is the last parenthesised group; the description keeps its own "(*.cfg)".
    dialog.setNameFilter(QString::fromStdString(request.filterDescription) + " (" +
                         QString::fromStdString(request.filterPattern) + ")");
    dialog.selectFile(QString::fromStdString(request.proposedName));

    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    const QStringList chosen = dialog.selectedFiles();
    return chosen.isEmpty() ? QString() : chosen.first();
}

config::WriteResult QtWindowServices::writeFileAtomically(const QString& path, const QByteArray& bytes) {
    return platform::writeFileAtomically(path, bytes);
}

} // namespace setforge::platform
