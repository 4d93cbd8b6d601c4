#include "windows/controls.h"

#include "windows/style.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>

namespace setforge::windows {

PictureBox::PictureBox(QWidget* parent, const QString& name, const QRect& geometry, const QPixmap& picture)
    : QWidget(parent)
    , m_picture(picture) {
    setObjectName(name);
    setGeometry(geometry);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureBox::addLine(const QLine& line) {
    m_lines.push_back(line);
    update();
}

void PictureBox::setPicture(const QPixmap& picture) {
    m_picture = picture;
    update();
}

void PictureBox::actAsButton(const QString& accessibleName, const QString& description) {
    setFocusPolicy(Qt::TabFocus);
    setAccessibleName(accessibleName);
    setAccessibleDescription(description);
    setToolTip(accessibleName);
}

void PictureBox::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.fillRect(rect(), WindowGrey);
    painter.drawPixmap(0, 0, m_picture);
    painter.setPen(QPen(palette().color(QPalette::WindowText), 0));
    for (const QLine& line : m_lines) {
        painter.drawLine(line);
    }
    if (hasFocus()) {
        painter.setPen(QPen(Qt::black, 0, Qt::DotLine));
        painter.drawRect(QRect(QPoint(0, 0), m_picture.size().boundedTo(size())).adjusted(0, 0, -1, -1));
    }
}

void PictureBox::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (focusPolicy() != Qt::NoFocus && (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter)) {
        emit clicked();
        return;
    }
    QWidget::keyPressEvent(event);
}

void PictureBox::mousePressEvent(QMouseEvent* event) {
    m_leftPressed = event->button() == Qt::LeftButton;
    emit pressed(*event);
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event) {
    const bool click =
        m_leftPressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    m_leftPressed = false;
    if (click) {
        emit clicked();
    }
}

FrameBox::FrameBox(QWidget* parent, const QString& name, const QString& caption, const QRect& geometry,
                   const QFont& font, const QColor& captionColour)
    : QWidget(parent)
    , m_caption(caption)
    , m_captionFont(font)
    , m_captionColour(captionColour) {
    setObjectName(name);
    setGeometry(geometry);
}

void FrameBox::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    const QFontMetrics metrics(m_captionFont);
    const int lineY = metrics.height() / 2;
    const QRect box(0, lineY, width() - 2, height() - lineY - 2);
    // Etched edge: a dark line with a light one just inside and below it.
    painter.setPen(QColor(128, 128, 128));
    painter.drawRect(box);
    painter.setPen(Qt::white);
    painter.drawRect(box.translated(1, 1));

    const int textLeft = 8;
    const int textWidth = metrics.horizontalAdvance(m_caption);
    const QRect textRect(textLeft - 2, 0, textWidth + 4, metrics.height());
    painter.fillRect(textRect, WindowGrey);
    painter.setFont(m_captionFont);
    painter.setPen(m_captionColour);
    painter.drawText(textRect, Qt::AlignCenter, m_caption);
    for (const auto& [line, colour] : m_lines) {
        painter.setPen(QPen(colour, 0));
        painter.drawLine(line);
    }
}

void FrameBox::addLine(const QLine& line, const QColor& colour) {
    m_lines.emplace_back(line, colour);
    update();
}

void setUpWindow(QWidget* window, const QString& name, const QString& title, int widthTwips, int heightTwips) {
    window->setObjectName(name);
    window->setWindowTitle(title);
    window->setFixedSize(px(widthTwips), px(heightTwips));
    window->setAutoFillBackground(true);
    QPalette palette = window->palette();
    palette.setColor(QPalette::Window, WindowGrey);
    palette.setColor(QPalette::WindowText, Qt::black);
    window->setPalette(palette);
}

QLabel* makeLabel(QWidget* parent, const QString& name, const QString& text, const QRect& geometry) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setGeometry(geometry);
    return label;
}

void chainTabOrder(const std::vector<QWidget*>& widgets) {
    for (std::size_t i = 1; i < widgets.size(); ++i) {
        QWidget::setTabOrder(widgets[i - 1], widgets[i]);
    }
}

void paintLines(QWidget* window, const std::vector<TwipsLine>& lines, const QColor& colour) {
    QPainter painter(window);
    painter.setPen(QPen(colour, 0));
    for (const TwipsLine& line : lines) {
        painter.drawLine(px(line.x1), px(line.y1), px(line.x2), px(line.y2));
    }
}

} // namespace setforge::windows
