#pragma once

#include <QLine>
#include <QPixmap>
#include <QWidget>

#include <string_view>
#include <vector>

class QLabel;

namespace setforge::windows {

// A borderless picture at the control's top left corner, on the window grey, that reports
// presses (for dragging) and left-button clicks. Parts of the picture beyond the control are cut off.
class PictureBox : public QWidget {
    Q_OBJECT
public:
    explicit PictureBox(QWidget* parent, const QString& name, const QRect& geometry, const QPixmap& picture = {});

    void addLine(const QLine& line); // one-pixel line drawn over the picture, in its own coordinates
    void setPicture(const QPixmap& picture);
    [[nodiscard]] const QPixmap& picture() const { return m_picture; }

    // Makes the picture a button for keyboard and assistive technology users: it takes the
    // focus with TAB, Space or Enter clicks it, and screen readers announce its German name.
    void actAsButton(const QString& accessibleName, const QString& description);

signals:
    void pressed(const QMouseEvent& event);
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QPixmap m_picture;
    std::vector<QLine> m_lines;
    bool m_leftPressed = false;
};

// A group frame: an etched rectangle with its caption set into the top edge.
class FrameBox : public QWidget {
    Q_OBJECT
public:
    FrameBox(QWidget* parent, const QString& name, const QString& caption, const QRect& geometry, const QFont& font,
             const QColor& captionColour);

    void addLine(const QLine& line, const QColor& colour); // drawn over the frame, in its own coordinates

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_caption;
    QFont m_captionFont;
    QColor m_captionColour;
    std::vector<std::pair<QLine, QColor>> m_lines;
};

// The windows' border lines: one-pixel lines in the window-text colour, given by their end points in twips.
struct TwipsLine {
    int x1, y1, x2, y2;
};
// A frameless window of fixed client size (in twips) on the window grey, with black text.
void setUpWindow(QWidget* window, const QString& name, const QString& title, int widthTwips, int heightTwips);

// A label at its designed place.
QLabel* makeLabel(QWidget* parent, const QString& name, const QString& text, const QRect& geometry);

// Catalogue texts are UTF-8.
[[nodiscard]] inline QString qs(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// Sets the TAB order to the order of `widgets`.
void chainTabOrder(const std::vector<QWidget*>& widgets);

void paintLines(QWidget* window, const std::vector<TwipsLine>& lines, const QColor& colour = Qt::black);

} // namespace setforge::windows
