#include "DialogWidgets.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QtTest>

QWidget *widget(QWidget &dialog, const char *name)
{
    QWidget *found = dialog.findChild<QWidget *>(QString::fromLatin1(name));
    if (!found)
        qFatal("no widget %s", name);
    return found;
}

bool enabled(QWidget &dialog, const char *name)
{
    return widget(dialog, name)->isEnabled();
}

QString textOf(QWidget &dialog, const char *name)
{
    // A label or line edit, a text box, a combo box.
    const QWidget *w = widget(dialog, name);
    for (const char *property : {"text", "plainText", "currentText"})
        if (const QVariant text = w->property(property); text.isValid())
            return text.toString();
    return {};
}

QString textsOf(QWidget &dialog, std::initializer_list<const char *> names)
{
    QStringList texts;
    for (const char *name : names)
        texts << textOf(dialog, name);
    return texts.join(u'|');
}

void setText(QWidget &dialog, const char *name, const QString &text)
{
    QWidget *w = widget(dialog, name);
    auto *combo = qobject_cast<QComboBox *>(w);
    if (!combo) {
        w->setProperty(qobject_cast<QPlainTextEdit *>(w) ? "plainText" : "text", text);
    } else if (const int index = combo->findText(text, Qt::MatchExactly); index >= 0) {
        combo->setCurrentIndex(index);
    } else {
        qFatal("no item %s in %s", qPrintable(text), name);
    }
}

void setTexts(QWidget &dialog, std::initializer_list<const char *> names, const QString &texts)
{
    const QStringList parts = texts.split(u'|');
    if (parts.size() != qsizetype(names.size()))
        qFatal("%d texts for %d boxes", int(parts.size()), int(names.size()));
    for (qsizetype i = 0; const char *name : names)
        setText(dialog, name, parts[i++]);
}

void click(QWidget &dialog, const char *name)
{
    QTest::mouseClick(widget(dialog, name), Qt::LeftButton);
}

QStringList listed(QWidget &dialog, const char *list)
{
    return rowsOf(dialog, list, 1);
}

void clickRow(QWidget &dialog, const char *name, int row)
{
    auto *view = static_cast<QAbstractItemView *>(widget(dialog, name));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(view->model()->index(row, 0)).center());
}

QStringList rowsOf(QWidget &dialog, const char *view, int columns)
{
    QWidget *w = widget(dialog, view);
    auto *combo = qobject_cast<QComboBox *>(w);
    const QAbstractItemModel *model = combo ? combo->model() : static_cast<QAbstractItemView *>(w)->model();
    QStringList rows;
    for (int row = 0; row < model->rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < (columns < 0 ? model->columnCount() : columns); ++column)
            cells << model->index(row, column).data().toString();
        rows << cells.join(u'|');
    }
    return rows;
}

void typeText(QWidget *widget, const QString &text)
{
    for (const QChar ch : text) {
        if (ch == u'\n')
            QTest::keyClick(widget, Qt::Key_Return);
        else
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }
}
