#include "platform/message_dialog.h"

#include "platform/fonts.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QTextLayout>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace setforge::platform {

namespace {

// Plain text drawn line by line with TAB stops every eight average character widths, the
// stops the sheets' columns are laid out for. QLabel offers no control over its tab stops.
// Lines break only where the text does, unless the text is wider than `maxWidth`: then it wraps
// at word boundaries, and inside a word (a long path) where a word alone is too wide.
class TabbedText final : public QWidget {
    static constexpr qreal UnboundedWidth = 1 << 20;

public:
    TabbedText(const QString& text, int maxWidth, QWidget* parent)
        : QWidget(parent)
        , m_maxWidth(maxWidth) {
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

    void setMaxWidth(int maxWidth) {
        m_maxWidth = maxWidth;
        relayout();
    }

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
        layOut(UnboundedWidth, QTextOption::NoWrap);
        if (m_size.width() > m_maxWidth) {
            layOut(m_maxWidth, QTextOption::WrapAtWordBoundaryOrAnywhere);
        }
        updateGeometry();
        update();
    }

    void layOut(qreal lineWidth, QTextOption::WrapMode wrap) {
        QTextOption option;
        option.setWrapMode(wrap);
        option.setTabStopDistance(QFontMetricsF(font()).averageCharWidth() * 8);
        m_layout.setFont(font());
        m_layout.setTextOption(option);

        qreal width = 0;
        qreal y = 0;
        m_layout.beginLayout();
        for (QTextLine line = m_layout.createLine(); line.isValid(); line = m_layout.createLine()) {
            line.setLineWidth(lineWidth); // a line is laid out only once it has a width
            line.setPosition(QPointF(0, y));
            y += line.height();
            width = std::max(width, line.naturalTextWidth());
        }
        m_layout.endLayout();
        // A wrapped line's natural width counts the blank it ends in, which is not drawn.
        width = std::min(width, lineWidth);
        m_size = QSize(static_cast<int>(std::ceil(width)), static_cast<int>(std::ceil(y)));
    }

    QTextLayout m_layout;
    int m_maxWidth;
    QSize m_size;
};

QStyle::StandardPixmap standardPixmap(MessageIcon icon) {
    return icon == MessageIcon::Warning ? QStyle::SP_MessageBoxWarning : QStyle::SP_MessageBoxInformation;
}

} // namespace

QFont messageFont() {
    return interfaceFont();
}

MessageDialog::MessageDialog(QWidget* parent, const QString& title, const QString& text, MessageIcon icon,
                             const QString& accept, const QString& reject, const QString& cancel)
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

    // However long the text (a path of thousands of bytes), the box stays well inside the screen:
    // at most 60 % of its width, and the text scrolls beyond 60 % of its height.
    const QScreen* screen = parent != nullptr ? parent->screen() : QGuiApplication::primaryScreen();
    const QRect available = screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    constexpr int Margin = 12;
    constexpr int Spacing = 12;
    const int iconWidth = icon == MessageIcon::None ? 0 : iconLabel->sizeHint().width() + Spacing;
    const int maxTextWidth = std::max(100, available.width() * 6 / 10 - 2 * Margin - iconWidth);
    const int maxTextHeight = std::max(100, available.height() * 6 / 10);

    auto* textLabel = new TabbedText(text, maxTextWidth, this);
    textLabel->setObjectName(QStringLiteral("text"));
    QWidget* textArea = textLabel;
    if (textLabel->sizeHint().height() > maxTextHeight) {
        auto* scroll = new QScrollArea(this);
        scroll->setObjectName(QStringLiteral("textScroll"));
        scroll->setFrameShape(QFrame::NoFrame);
        scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        scroll->viewport()->setAutoFillBackground(false);
        const int besideText = scroll->verticalScrollBar()->sizeHint().width() + Spacing / 2;
        textLabel->setMaxWidth(maxTextWidth - besideText);
        scroll->setWidget(textLabel);
        textLabel->resize(textLabel->sizeHint());
        scroll->setFixedSize(textLabel->sizeHint().width() + besideText, maxTextHeight);
        textArea = scroll;
    }

    auto* ok = new QPushButton(accept, this);
    ok->setObjectName(QStringLiteral("ok"));
    ok->setMinimumWidth(75);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    // A question defaults to its safe answer, so Enter never takes the risky one.
    QPushButton* standard = ok;
    QPushButton* no = nullptr;
    if (!reject.isEmpty()) {
        no = new QPushButton(reject, this);
        no->setObjectName(QStringLiteral("reject"));
        no->setMinimumWidth(75);
        standard = no;
    }
    QPushButton* back = nullptr;
    if (no != nullptr && !cancel.isEmpty()) {
        back = new QPushButton(cancel, this);
        back->setObjectName(QStringLiteral("cancel"));
        back->setMinimumWidth(75);
        connect(back, &QPushButton::clicked, this, &QDialog::reject);
        connect(no, &QPushButton::clicked, this, [this] { done(SecondButton); });
        standard = back;
    } else if (no != nullptr) {
        connect(no, &QPushButton::clicked, this, &QDialog::reject);
    }
    standard->setDefault(true);
    standard->setFocus();

    auto* body = new QHBoxLayout;
    body->setSpacing(Spacing);
    body->addWidget(iconLabel, 0, Qt::AlignTop);
    body->addWidget(textArea, 1, Qt::AlignTop);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    if (no != nullptr) {
        buttons->addWidget(no);
    }
    if (back != nullptr) {
        buttons->addWidget(back);
    }
    buttons->addStretch();

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(Margin, Margin, Margin, Margin);
    outer->setSpacing(Spacing);
    outer->addLayout(body);
    outer->addLayout(buttons);
    // The box takes the size of its text and keeps it: nothing is clipped or stretched.
    outer->setSizeConstraint(QLayout::SetFixedSize);
}

} // namespace setforge::platform
