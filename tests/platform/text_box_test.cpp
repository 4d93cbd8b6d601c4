#include "platform/text_box.h"

#include "support/printers.h"

#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>

#include <gtest/gtest.h>

namespace setforge::platform {
namespace {

// Text with markers: '|' is the caret, '[' and ']' enclose the selection (the caret at ']').
struct Marked {
    QString text;
    int anchor = -1;
    int caret = -1;
};

// Document positions count a line break as one character.
int documentLength(const QString& text) {
    return static_cast<int>(QString(text).replace("\r\n", "\n").size());
}

Marked parse(const QString& marked) {
    Marked out;
    for (const QChar c : marked) {
        if (c == '|' || c == ']') {
            out.caret = documentLength(out.text);
        } else if (c == '[') {
            out.anchor = documentLength(out.text);
        } else {
            out.text += c;
        }
    }
    if (out.anchor < 0) {
        out.anchor = out.caret;
    }
    return out;
}

// The box's text with '|' at the caret, in the box's own CR LF form.
QString markedText(const QPlainTextEdit& box) {
    QTextCursor before = box.textCursor();
    before.clearSelection();
    before.movePosition(QTextCursor::Start, QTextCursor::KeepAnchor);
    const QString head = before.selectedText().replace(QChar(QChar::ParagraphSeparator), "\r\n");
    const QString whole = wholeText(&box);
    EXPECT_TRUE(whole.startsWith(head));
    return head + "|" + whole.mid(head.size());
}

void place(QPlainTextEdit& box, const QString& marked) {
    const Marked start = parse(marked);
    replaceText(&box, start.text);
    QTextCursor cursor(box.document());
    cursor.setPosition(start.anchor);
    cursor.setPosition(start.caret, QTextCursor::KeepAnchor);
    box.setTextCursor(cursor);
}

bool holdsCarriageReturn(const QPlainTextEdit& box) {
    return box.document()->toRawText().contains('\r');
}

TEST(TextBox, InsertAtCaretReplacesTheSelectionAndLeavesTheCaretAfterTheText) {
    struct Case {
        const char* name;
        QString before;
        QString inserted;
        QString after;
    };
    const Case cases[] = {
        {"into an empty box", "|", "bind \"F11\" \"vest\"\r\n", "bind \"F11\" \"vest\"\r\n|"},
        {"continues a line", "say hello|", " world", "say hello world|"},
        {"in the middle of a line", "bind |\"vest\"", "\"F11\" ", "bind \"F11\" |\"vest\""},
        {"replaces the selection", "bind \"[F12]\" \"vest\"", "F11", "bind \"F11|\" \"vest\""},
        {"replaces a selection across lines", "a[b\r\nc]d", "X", "aX|d"},
        {"keeps earlier and later lines", "line1\r\nline2\r\n|\r\nlast", "bind \"F11\" \"vest\"\r\n",
         "line1\r\nline2\r\nbind \"F11\" \"vest\"\r\n|\r\nlast"},
        {"turns CR LF into line breaks", "|", "one\r\ntwo\r\n\r\nfour", "one\r\ntwo\r\n\r\nfour|"},
        {"turns a lone CR or LF into a line break", "|", "a\rb\nc", "a\r\nb\r\nc|"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QPlainTextEdit box;
        place(box, c.before);

        insertAtCaret(&box, c.inserted);

        EXPECT_EQ(markedText(box), c.after);
        EXPECT_FALSE(box.textCursor().hasSelection());
        EXPECT_FALSE(holdsCarriageReturn(box));
    }
}

TEST(TextBox, ReplaceTextThenWholeTextGivesTheTextBackInCrLfForm) {
    struct Case {
        const char* name;
        QString given;
        QString whole;
        int lines;
    };
    const Case cases[] = {
        {"empty", "", "", 1},
        {"one line", "bind \"F11\" \"vest\"", "bind \"F11\" \"vest\"", 1},
        {"CR LF lines and a final break", "a\r\nb\r\n", "a\r\nb\r\n", 3},
        {"blank lines kept", "\r\n\r\nx", "\r\n\r\nx", 3},
        {"LF or CR alone", "a\nb\rc", "a\r\nb\r\nc", 3},
        {"tabs, umlauts and no-break spaces unchanged", "echo\t\"Grün\u00a0Weiß\"", "echo\t\"Grün\u00a0Weiß\"", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QPlainTextEdit box;
        replaceText(&box, "previous text\r\nthat must go");

        replaceText(&box, c.given);

        EXPECT_EQ(wholeText(&box), c.whole);
        EXPECT_EQ(box.document()->blockCount(), c.lines);
        EXPECT_FALSE(holdsCarriageReturn(box));
    }
}

TEST(TextBox, WholeTextSeesTextTypedIntoTheBox) {
    QPlainTextEdit box;
    QTextCursor cursor = box.textCursor();
    cursor.insertText("first");
    cursor.insertBlock();
    cursor.insertText("second");

    EXPECT_EQ(wholeText(&box), "first\r\nsecond");
}

} // namespace
} // namespace setforge::platform
