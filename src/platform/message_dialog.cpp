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

constexpr int Margin = 12;
constexpr int Spacing = 12;

QLabel* makeIconLabel(QDialog* dialog, MessageIcon icon) {
    auto* iconLabel = new QLabel(dialog);
    iconLabel->setObjectName(QStringLiteral("icon"));
    iconLabel->setAlignment(Qt::AlignTop);
    if (icon == MessageIcon::None) {
        iconLabel->hide();
    } else {
        const int extent = dialog->style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, dialog);
        iconLabel->setPixmap(
            dialog->style()->standardIcon(standardPixmap(icon), nullptr, dialog).pixmap(extent, extent));
    }
    return iconLabel;
}

// However long the text (a path of thousands of bytes), the box stays well inside the screen:
// at most 60 % of its width, and the text scrolls beyond 60 % of its height.
QSize largestText(const QWidget* parent, int iconWidth) {
    const QScreen* screen = parent != nullptr ? parent->screen() : QGuiApplication::primaryScreen();
    const QRect available = screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    return {std::max(100, available.width() * 6 / 10 - 2 * Margin - iconWidth),
            std::max(100, available.height() * 6 / 10)};
}

// The text itself, or a scroll area around it when it is taller than `largest` allows.
QWidget* makeTextArea(QDialog* dialog, const QString& text, QSize largest) {
    auto* textLabel = new TabbedText(text, largest.width(), dialog);
    textLabel->setObjectName(QStringLiteral("text"));
    if (textLabel->sizeHint().height() <= largest.height()) {
        return textLabel;
    }
    auto* scroll = new QScrollArea(dialog);
    scroll->setObjectName(QStringLiteral("textScroll"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    scroll->viewport()->setAutoFillBackground(false);
    const int besideText = scroll->verticalScrollBar()->sizeHint().width() + Spacing / 2;
    textLabel->setMaxWidth(largest.width() - besideText);
    scroll->setWidget(textLabel);
    textLabel->resize(textLabel->sizeHint());
    scroll->setFixedSize(textLabel->sizeHint().width() + besideText, largest.height());
    return scroll;
}

QPushButton* makeButton(QDialog* dialog, const QString& caption, const char* name) {
    auto* button = new QPushButton(caption, dialog);
    button->setObjectName(QString::fromLatin1(name));
    button->setMinimumWidth(75);
    return button;
}

// The answer buttons, centred in a row: OK alone for a message, OK and `reject` for a question,
// and a third `cancel` that ends the box with MessageDialog::SecondButton on `reject`.
QHBoxLayout* makeButtonRow(QDialog* dialog, const QString& accept, const QString& reject, const QString& cancel) {
    auto* ok = makeButton(dialog, accept, "ok");
    QObject::connect(ok, &QPushButton::clicked, dialog, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    // A question defaults to its safe answer, so Enter never takes the risky one.
    QPushButton* standard = ok;
    if (!reject.isEmpty()) {
        auto* no = makeButton(dialog, reject, "reject");
        buttons->addWidget(no);
        standard = no;
        if (cancel.isEmpty()) {
            QObject::connect(no, &QPushButton::clicked, dialog, &QDialog::reject);
        } else {
            QObject::connect(no, &QPushButton::clicked, dialog,
                             [dialog] { dialog->done(MessageDialog::SecondButton); });
            auto* back = makeButton(dialog, cancel, "cancel");
            QObject::connect(back, &QPushButton::clicked, dialog, &QDialog::reject);
            buttons->addWidget(back);
            standard = back;
        }
    }
    buttons->addStretch();
    standard->setDefault(true);
    standard->setFocus();
    return buttons;
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

    QLabel* iconLabel = makeIconLabel(this, icon);
    const int iconWidth = icon == MessageIcon::None ? 0 : iconLabel->sizeHint().width() + Spacing;
    QWidget* textArea = makeTextArea(this, text, largestText(parent, iconWidth));

    auto* body = new QHBoxLayout;
    body->setSpacing(Spacing);
    body->addWidget(iconLabel, 0, Qt::AlignTop);
    body->addWidget(textArea, 1, Qt::AlignTop);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(Margin, Margin, Margin, Margin);
    outer->setSpacing(Spacing);
    outer->addLayout(body);
    outer->addLayout(makeButtonRow(this, accept, reject, cancel));
    // The box takes the size of its text and keeps it: nothing is clipped or stretched.
    outer->setSizeConstraint(QLayout::SetFixedSize);
}

} // namespace setforge::platform
