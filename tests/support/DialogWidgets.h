#pragma once

#include <QString>
#include <QStringList>

#include <initializer_list>

class QWidget;

// A dialog's widgets, found by object name (a missing one ends the test run).
QWidget *widget(QWidget &dialog, const char *name);
bool enabled(QWidget &dialog, const char *name);
// What a label, line edit, text box or combo box shows; of several, the texts joined by '|'.
QString textOf(QWidget &dialog, const char *name);
QString textsOf(QWidget &dialog, std::initializer_list<const char *> names);
// Puts text into a line edit or text box, or chooses the combo box item showing it (a
// missing item ends the test run); of several, the '|'-separated texts in turn.
void setText(QWidget &dialog, const char *name, const QString &text);
void setTexts(QWidget &dialog, std::initializer_list<const char *> names, const QString &texts);
void click(QWidget &dialog, const char *name);
// The texts of a list view, and a click on a row of any item view.
QStringList listed(QWidget &dialog, const char *list);
void clickRow(QWidget &dialog, const char *view, int row);
// The rows of an item view or the items of a combo box, each row's cells (the first `columns` of them; all
// when -1) joined by '|'.
QStringList rowsOf(QWidget &dialog, const char *view, int columns = -1);
// Types text key by key, Turkish letters included (QTest::keyClicks cannot).
void typeText(QWidget *widget, const QString &text);
