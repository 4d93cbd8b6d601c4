#include "windows/framedwindow.h"

#include "platform/window_services.h"
#include "windows/artwork.h"
#include "windows/start_pictures.h"
#include "windows/style.h"

#include <QKeyEvent>

namespace setforge::windows {

FramedWindow::FramedWindow(platform::WindowServices& services, const FrameDesign& design)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint)
    , m_services(services)
    , m_borderLines(design.borderLines) {
    setUpWindow(this, design.name, design.title, design.widthTwips, design.heightTwips);
    // The strip shows the main window's title image, cut at the control's width.
    m_strip = new PictureBox(this, design.stripName, design.strip, artwork::titleStrip());
    m_closePicture = new PictureBox(this, "Image1", design.closePicture, start_pictures::closeButton());
    m_closePicture->actAsButton("Schließen", design.closeDescription);
}

void FramedWindow::dragByStrip(const QMouseEvent& press) {
    m_services.dragByStrip(m_strip, press);
}

void FramedWindow::paintEvent(QPaintEvent* /*event*/) {
    paintLines(this, m_borderLines);
}

void FramedWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        emit m_closePicture->clicked();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace setforge::windows
