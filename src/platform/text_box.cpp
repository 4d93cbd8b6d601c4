#include "platform/text_box.h"

#include <QPlainTextEdit>
#include <QString>
#include <QTextCursor>
#include <QTextDocument>

namespace setforge::platform {

QString wholeText(const QPlainTextEdit* box) {
    // The raw text, not toPlainText(), which would also turn no-break spaces into blanks.
    QString text = box->document()->toRawText();
    text.replace(QChar(QChar::ParagraphSeparator), QStringLiteral("\r\n"));
    text.replace(QChar(QChar::LineSeparator), QStringLiteral("\r\n"));
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

} // namespace setforge::platform
