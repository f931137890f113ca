#include "platform/TextLimit.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QStyle>
#include <QStyleOptionFrame>

LimitedTextEdit::LimitedTextEdit(QWidget *parent) : QPlainTextEdit(parent)
{
    setTabChangesFocus(true);
}

void LimitedTextEdit::showStored(const QString &value)
{
    setPlainText(value);
    m_shown = toPlainText();
    if (m_shown == value)
        m_stored.reset();
    else
        m_stored = value;
}

QString LimitedTextEdit::text() const
{
    QString shown = toPlainText();
    return m_stored && shown == m_shown ? *m_stored : shown;
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

void showText(QLineEdit *edit, const QString &text, int limit)
{
    // setMaxLength cuts the text the box holds, so the limit goes first; it
    // also lays the text out again, so it is set only when it changes.
    const int maximum = std::max<int>(limit, int(text.size()));
    if (edit->maxLength() != maximum)
        edit->setMaxLength(maximum);
    edit->setText(text);
}

void fitDigits(QLineEdit *edit, int digits)
{
    // As QLineEdit measures its own size: the text, the two pixels it keeps
    // free on either side and one for the cursor, the margins, then the frame.
    const QFontMetrics metrics = edit->fontMetrics();
    const QMargins text = edit->textMargins() + edit->contentsMargins();
    const int width = metrics.horizontalAdvance(QString(digits, u'0')) + 2 * 2 + 1 + text.left() + text.right();
    QStyleOptionFrame option;
    option.initFrom(edit);
    option.lineWidth = edit->hasFrame() ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit) : 0;
    option.state |= QStyle::State_Sunken;
    const QSize size(width, metrics.height());
    edit->setMinimumWidth(edit->style()->sizeFromContents(QStyle::CT_LineEdit, &option, size, edit).width());
}
