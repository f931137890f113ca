#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// A dialog's widgets, found by object name (a missing one ends the test run).
QWidget *widget(QWidget &dialog, const char *name);
// What a label, line edit, text box or combo box shows.
QString textOf(QWidget &dialog, const char *name);
void setText(QWidget &dialog, const char *name, const QString &text);
void click(QWidget &dialog, const char *name);
// The texts of a list view, and a click on one of its rows.
QStringList listed(QWidget &dialog, const char *list);
void clickRow(QWidget &dialog, const char *list, int row);
// Types text key by key, Turkish letters included (QTest::keyClicks cannot).
void typeText(QWidget *widget, const QString &text);
