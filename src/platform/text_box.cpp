#include "platform/text_box.h"

#include <QPlainTextEdit>
#include <QString>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace setforge::platform {

QString wholeText(const QPlainTextEdit* box) {
    // The raw text, not toPlainText(), which would also turn no-break spaces into blanks.
    const QString raw = box->document()->toRawText();
    // One pass with whole runs appended: QString::replace with a longer text moves the tail once
    // per batch of matches, which grows with the square of a large free text.
    QString text;
    text.reserve(raw.size() + raw.size() / 16 + 16);
    qsizetype runStart = 0;
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const char16_t c = raw.at(i).unicode();
        if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator) {
            text.append(QStringView(raw).sliced(runStart, i - runStart));
            text.append(u"\r\n");
            runStart = i + 1;
        }
    }
    text.append(QStringView(raw).sliced(runStart));
    return text;
}

// Qt's text cursor turns "\r\n", a lone "\r" and "\n" each into one block break: the box keeps no CR.
void replaceText(QPlainTextEdit* box, const QString& text) {
    box->setPlainText(text);
}

void insertAtCaret(QPlainTextEdit* box, const QString& text) {
    QTextCursor cursor = box->textCursor();
    cursor.insertText(text);
    box->setTextCursor(cursor);
}

void insertLineAtCaret(QPlainTextEdit* box, const QString& line) {
    QTextCursor cursor = box->textCursor();
    cursor.removeSelectedText();
    cursor.insertText(cursor.positionInBlock() > 0 ? QStringLiteral("\n") + line : line);
    box->setTextCursor(cursor);
}

int caretLineNumber(const QPlainTextEdit* box) {
    return box->textCursor().blockNumber();
}

QString lineText(const QPlainTextEdit* box, int lineNumber) {
    return box->document()->findBlockByNumber(lineNumber).text();
}

void replaceLine(QPlainTextEdit* box, int lineNumber, const QString& text) {
    const QTextBlock block = box->document()->findBlockByNumber(lineNumber);
    if (!block.isValid()) {
        return;
    }
    QTextCursor cursor(block);
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    cursor.insertText(text);
    box->setTextCursor(cursor);
}

} // namespace setforge::platform
