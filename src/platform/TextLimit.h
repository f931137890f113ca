#pragma once

#include <QPlainTextEdit>

// A multi-line box with an input limit, like a one-line box's maxLength: the
// user cannot type or paste past it, while text the program puts in (a stored
// value that is longer) is shown and kept whole.
class LimitedTextEdit : public QPlainTextEdit
{
    Q_OBJECT
public:
    explicit LimitedTextEdit(QWidget *parent = nullptr);

    void setMaxLength(int maximum) { m_maximum = maximum; }

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void insertFromMimeData(const QMimeData *source) override;

private:
    qsizetype room() const; // characters that may still be added in place of the selection

    int m_maximum = 32767;
};
