#include "DialogWidgets.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QtTest>

QWidget *widget(QWidget &dialog, const char *name)
{
    QWidget *found = dialog.findChild<QWidget *>(QString::fromLatin1(name));
    if (!found)
        qFatal("no widget %s", name);
    return found;
}

QString textOf(QWidget &dialog, const char *name)
{
    QWidget *w = widget(dialog, name);
    if (auto *label = qobject_cast<QLabel *>(w))
        return label->text();
    if (auto *line = qobject_cast<QLineEdit *>(w))
        return line->text();
    if (auto *box = qobject_cast<QPlainTextEdit *>(w))
        return box->toPlainText();
    return qobject_cast<QComboBox *>(w)->currentText();
}

void setText(QWidget &dialog, const char *name, const QString &text)
{
    if (auto *line = qobject_cast<QLineEdit *>(widget(dialog, name)))
        line->setText(text);
    else
        qobject_cast<QPlainTextEdit *>(widget(dialog, name))->setPlainText(text);
}

void click(QWidget &dialog, const char *name)
{
    QTest::mouseClick(widget(dialog, name), Qt::LeftButton);
}

QStringList listed(QWidget &dialog, const char *list)
{
    QStringList texts;
    QAbstractItemModel *model = static_cast<QListView *>(widget(dialog, list))->model();
    for (int i = 0; i < model->rowCount(); ++i)
        texts << model->index(i, 0).data().toString();
    return texts;
}

void clickRow(QWidget &dialog, const char *list, int row)
{
    auto *view = static_cast<QListView *>(widget(dialog, list));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(view->model()->index(row, 0)).center());
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
