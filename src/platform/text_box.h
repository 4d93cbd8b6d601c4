#pragma once

class QPlainTextEdit;
class QString;

namespace setforge::platform {

// The free-text box speaks CR LF to the rest of the program; inside, a line break is a block
// break and no CR is kept.

// The whole text, lines separated by "\r\n", every other character as it stands.
[[nodiscard]] QString wholeText(const QPlainTextEdit* box);

// Replaces the whole text; "\r\n", a lone "\r" and "\n" each become one line break.
void replaceText(QPlainTextEdit* box, const QString& text);

// Inserts `text` at the caret in place of the selection; the caret ends after it.
void insertAtCaret(QPlainTextEdit* box, const QString& text);

// Like insertAtCaret, but a line break goes in front of `line` when text stands before the caret on
// its line, so that the inserted line is a line of its own and the game reads it as its own command.
void insertLineAtCaret(QPlainTextEdit* box, const QString& line);

// The number (0-based) of the line the caret stands on, and that line's text.
[[nodiscard]] int caretLineNumber(const QPlainTextEdit* box);
[[nodiscard]] QString lineText(const QPlainTextEdit* box, int lineNumber);

// Replaces the text of one line (0-based), leaving its line break; the caret ends after it.
void replaceLine(QPlainTextEdit* box, int lineNumber, const QString& text);

} // namespace setforge::platform
