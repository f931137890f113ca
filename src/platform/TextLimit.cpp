#include "platform/TextLimit.h"

#include <QPlainTextEdit>
#include <QTextCursor>

void limitPlainText(QPlainTextEdit *edit, int maximum)
{
    edit->setTabChangesFocus(true);
    QObject::connect(edit, &QPlainTextEdit::textChanged, edit, [edit, maximum] {
        const int length = edit->document()->characterCount() - 1; // without the closing paragraph mark
        if (length <= maximum)
            return;
        // Remove what went past the limit at the cursor, where it was typed or pasted.
        QTextCursor cursor = edit->textCursor();
        const int excess = length - maximum;
        const int end = cursor.position();
        cursor.setPosition(qMax(0, end - excess));
        cursor.setPosition(end, QTextCursor::KeepAnchor);
        if (cursor.selectedText().size() < excess) {
            cursor.movePosition(QTextCursor::End);
            cursor.movePosition(QTextCursor::Left, QTextCursor::KeepAnchor, excess);
        }
        cursor.removeSelectedText();
        edit->setTextCursor(cursor);
    });
}
