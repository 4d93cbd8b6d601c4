#include "windows/file_drop.h"

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

namespace setforge::windows {
namespace {

// The dropped local files; none when anything else is dropped (text, a web address).
QStringList droppedFiles(const QMimeData* data) {
    QStringList files;
    if (data == nullptr || !data->hasUrls()) {
        return files;
    }
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile()) {
            return {};
        }
        files.append(url.toLocalFile());
    }
    return files;
}

} // namespace

FileDrop::FileDrop(QObject* parent, std::function<bool(const QString&)> open, std::initializer_list<QWidget*> watched)
    : QObject(parent)
    , m_open(std::move(open)) {
    for (QWidget* widget : watched) {
        widget->setAcceptDrops(true);
        widget->installEventFilter(this);
    }
}

bool FileDrop::eventFilter(QObject* /*watched*/, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop) {
        return false;
    }
    auto* drop = static_cast<QDropEvent*>(event); // QDragEnterEvent and QDragMoveEvent are QDropEvents
    const QStringList files = droppedFiles(drop->mimeData());
    if (files.isEmpty()) {
        return false;
    }
    if (files.size() != 1) {
        drop->ignore();
        return true;
    }
    if (type != QEvent::Drop) {
        drop->acceptProposedAction();
        return true;
    }
    if (m_open(files.first())) {
        drop->acceptProposedAction();
    } else {
        drop->ignore();
    }
    return true;
}

} // namespace setforge::windows
