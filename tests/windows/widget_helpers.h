#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QWidget>

#include <gtest/gtest.h>

namespace setforge::windows {

// Puts the caret of the free-text box at `from` and selects up to `to`.
inline void selectInBox(QPlainTextEdit* box, int from, int to) {
    QTextCursor cursor = box->textCursor();
    cursor.setPosition(from);
    cursor.setPosition(to, QTextCursor::KeepAnchor);
    box->setTextCursor(cursor);
}

// Every caption, label and list item of `window` fits its control at the font the control uses.
inline void expectNoTextClipped(const QWidget& window) {
    for (const auto* label : window.findChildren<QLabel*>()) {
        if (label->text().isEmpty()) {
            continue;
        }
        const QRect needed = label->fontMetrics().boundingRect(QRect(0, 0, label->width(), 10000),
                                                               label->wordWrap() ? Qt::TextWordWrap : 0, label->text());
        EXPECT_LE(needed.width(), label->width()) << label->objectName().toStdString();
        EXPECT_LE(needed.height(), label->height()) << label->objectName().toStdString();
    }
    const auto expectToggleFits = [](const QAbstractButton* box, QStyle::PixelMetric indicator,
                                     QStyle::PixelMetric spacing) {
        const QStyle* style = box->style();
        const int needed = style->pixelMetric(indicator, nullptr, box) + style->pixelMetric(spacing, nullptr, box) +
                           box->fontMetrics().horizontalAdvance(box->text());
        EXPECT_LE(needed, box->width()) << box->objectName().toStdString();
    };
    for (const auto* option : window.findChildren<QRadioButton*>()) {
        expectToggleFits(option, QStyle::PM_ExclusiveIndicatorWidth, QStyle::PM_RadioButtonLabelSpacing);
    }
    for (const auto* box : window.findChildren<QCheckBox*>()) {
        expectToggleFits(box, QStyle::PM_IndicatorWidth, QStyle::PM_CheckBoxLabelSpacing);
    }
    for (const auto* button : window.findChildren<QPushButton*>()) {
        EXPECT_LE(button->fontMetrics().horizontalAdvance(button->text()) + 12, button->width())
            << button->objectName().toStdString();
        EXPECT_LE(button->fontMetrics().height(), button->height()) << button->objectName().toStdString();
    }
    for (const auto* list : window.findChildren<QComboBox*>()) {
        for (int i = 0; i < list->count(); ++i) {
            // Room for the text beside the drop-down arrow.
            EXPECT_LE(list->fontMetrics().horizontalAdvance(list->itemText(i)) + 28, list->width())
                << list->objectName().toStdString() << ": " << list->itemText(i).toStdString();
        }
    }
}

} // namespace setforge::windows
