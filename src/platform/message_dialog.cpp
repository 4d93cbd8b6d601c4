#include "platform/message_dialog.h"

#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QTextLayout>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace setforge::platform {

namespace {

// Plain text drawn line by line with TAB stops every eight average character widths, the
// stops the sheets' columns are laid out for. QLabel offers no control over its tab stops.
class TabbedText final : public QWidget {
    static constexpr qreal UnboundedWidth = 1 << 20; // lines break only where the text does

public:
    TabbedText(const QString& text, QWidget* parent)
        : QWidget(parent) {
        QString lines = text;
        lines.replace(QStringLiteral("\r\n"), QChar(QChar::LineSeparator));
        lines.replace(QChar('\r'), QChar(QChar::LineSeparator));
        lines.replace(QChar('\n'), QChar(QChar::LineSeparator));
        m_layout.setText(lines);
        setAccessibleName(QString(lines).replace(QChar(QChar::LineSeparator), QChar('\n')));
        relayout();
    }

    [[nodiscard]] QSize sizeHint() const override { return m_size; }
    [[nodiscard]] QSize minimumSizeHint() const override { return m_size; }

protected:
    void paintEvent(QPaintEvent* /*event*/) override {
        QPainter painter(this);
        painter.setPen(palette().color(QPalette::WindowText));
        m_layout.draw(&painter, QPointF(0, 0));
    }

    void changeEvent(QEvent* event) override {
        if (event->type() == QEvent::FontChange) {
            relayout();
        }
        QWidget::changeEvent(event);
    }

private:
    void relayout() {
        QTextOption option;
        option.setWrapMode(QTextOption::NoWrap);
        option.setTabStopDistance(QFontMetricsF(font()).averageCharWidth() * 8);
        m_layout.setFont(font());
        m_layout.setTextOption(option);

        qreal width = 0;
        qreal y = 0;
        m_layout.beginLayout();
        for (QTextLine line = m_layout.createLine(); line.isValid(); line = m_layout.createLine()) {
            line.setLineWidth(UnboundedWidth); // a line is laid out only once it has a width
            line.setPosition(QPointF(0, y));
            y += line.height();
            width = std::max(width, line.naturalTextWidth());
        }
        m_layout.endLayout();

        m_size = QSize(static_cast<int>(std::ceil(width)), static_cast<int>(std::ceil(y)));
        updateGeometry();
        update();
    }

    QTextLayout m_layout;
    QSize m_size;
};

QStyle::StandardPixmap standardPixmap(MessageIcon icon) {
    return icon == MessageIcon::Warning ? QStyle::SP_MessageBoxWarning : QStyle::SP_MessageBoxInformation;
}

} // namespace

QFont messageFont() {
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Arial"),
                      QStringLiteral("Liberation Sans")});
    font.setPointSizeF(8.25);
    return font;
}

MessageDialog::MessageDialog(QWidget* parent, const QString& title, const QString& text, MessageIcon icon)
    : QDialog(parent) {
    setObjectName(QStringLiteral("MessageBox"));
    setWindowTitle(title.isEmpty() ? QString::fromUtf8(ApplicationTitle.data(), ApplicationTitle.size()) : title);
    setFont(messageFont());

    auto* iconLabel = new QLabel(this);
    iconLabel->setObjectName(QStringLiteral("icon"));
    iconLabel->setAlignment(Qt::AlignTop);
    if (icon == MessageIcon::None) {
        iconLabel->hide();
    } else {
        const int extent = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
        iconLabel->setPixmap(style()->standardIcon(standardPixmap(icon), nullptr, this).pixmap(extent, extent));
    }

    auto* textLabel = new TabbedText(text, this);
    textLabel->setObjectName(QStringLiteral("text"));

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("ok"));
    ok->setDefault(true);
    ok->setMinimumWidth(75);
    ok->setFocus();
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* body = new QHBoxLayout;
    body->setSpacing(12);
    body->addWidget(iconLabel, 0, Qt::AlignTop);
    body->addWidget(textLabel, 1, Qt::AlignTop);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addStretch();

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(12, 12, 12, 12);
    outer->setSpacing(12);
    outer->addLayout(body);
    outer->addLayout(buttons);
    // The box takes the size of its text and keeps it: nothing is clipped or stretched.
    outer->setSizeConstraint(QLayout::SetFixedSize);
}

} // namespace setforge::platform
