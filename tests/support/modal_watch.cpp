#include "support/modal_watch.h"

#include <QApplication>
#include <QDialog>

namespace setforge::testsupport {

ModalWatch::ModalWatch(std::function<void(QWidget* modal)> act)
    : m_act(std::move(act))
    , m_before(QApplication::activeModalWidget()) {
    m_poll.setInterval(10);
    QObject::connect(&m_poll, &QTimer::timeout, [this] { poll(); });
    m_poll.start();
    m_deadline.setSingleShot(true);
    m_deadline.setInterval(5000);
    QObject::connect(&m_deadline, &QTimer::timeout, [this] { closeEverything(); });
    m_deadline.start();
}

void ModalWatch::poll() {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || modal == m_before || !modal->isVisible()) {
        return;
    }
    m_poll.stop();
    m_acted = true;
    m_act(modal);
}

void ModalWatch::closeEverything() {
    m_poll.stop();
    for (int guard = 0; guard < 10; ++guard) {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr) {
            return;
        }
        m_forcedClosed = true;
        if (auto* dialog = qobject_cast<QDialog*>(modal)) {
            dialog->reject();
        } else {
            modal->close();
        }
    }
}

} // namespace setforge::testsupport
