#pragma once

#include <QPlainTextEdit>

#include <optional>

class QLineEdit;

// A multi-line box with an input limit, like a one-line box's maxLength: the
// user cannot type or paste past it, while text the program puts in (a stored
// value that is longer) is shown and kept whole.
class LimitedTextEdit : public QPlainTextEdit
{
    Q_OBJECT
public:
    explicit LimitedTextEdit(QWidget *parent = nullptr);

    void setMaxLength(int maximum) { m_maximum = maximum; }

    // Shows a stored value. The box gives it back by text() exactly as stored
    // until its text changes: it would otherwise turn "\r\n" and the line and
    // paragraph separators into "\n" and no-break spaces into plain ones.
    void showStored(const QString &value);
    // What to save: the stored value while the box still shows it, else the
    // box's text.
    QString text() const;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void insertFromMimeData(const QMimeData *source) override;

private:
    qsizetype room() const; // characters that may still be added in place of the selection

    int m_maximum = 32767;
    std::optional<QString> m_stored; // set only when it differs from what the box gives back
    QString m_shown;                 // the box's text right after showStored()
};

// The typing limit of a one-line box that has none of its own: what a
// one-line box takes by default.
constexpr int kOneLineLimit = 32767;

// Puts a stored value into a one-line box with an input limit. A value longer
// than the limit (written by another program) is shown and kept whole, so that
// saving the box back never cuts it; typing stays within the limit otherwise.
void showText(QLineEdit *edit, const QString &text, int limit = kOneLineLimit);

// Keeps a one-line box wide enough to show `digits` digits whole, whatever
// the other boxes of its layout ask for.
void fitDigits(QLineEdit *edit, int digits);
