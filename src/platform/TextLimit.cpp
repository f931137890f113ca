#include "platform/TextLimit.h"

#include <QKeyEvent>
#include <QMimeData>

LimitedTextEdit::LimitedTextEdit(QWidget *parent) : QPlainTextEdit(parent)
{
    setTabChangesFocus(true);
}

qsizetype LimitedTextEdit::room() const
{
    const qsizetype length = document()->characterCount() - 1; // without the closing paragraph mark
    const qsizetype selected = textCursor().selectionEnd() - textCursor().selectionStart();
    return m_maximum - (length - selected);
}

void LimitedTextEdit::keyPressEvent(QKeyEvent *event)
{
    const bool newLine = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const qsizetype adds = newLine ? 1 : event->text().size();
    const bool typesText = newLine || (!event->text().isEmpty() && event->text().at(0).isPrint());
    if (typesText && !(event->modifiers() & Qt::ControlModifier) && adds > room()) {
        event->accept(); // full: the key is swallowed, like a one-line box does
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void LimitedTextEdit::inputMethodEvent(QInputMethodEvent *event)
{
    if (event->commitString().size() > room()) {
        QInputMethodEvent cut(event->preeditString(), event->attributes());
        cut.setCommitString(event->commitString().left(qMax<qsizetype>(0, room())));
        QPlainTextEdit::inputMethodEvent(&cut);
        return;
    }
    QPlainTextEdit::inputMethodEvent(event);
}

void LimitedTextEdit::insertFromMimeData(const QMimeData *source)
{
    if (!source->hasText())
        return;
    // A paste keeps only what fits.
    insertPlainText(source->text().left(qMax<qsizetype>(0, room())));
}
