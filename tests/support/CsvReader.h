#pragma once

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

// What the strict reader makes of a file the program wrote: its rows, or why it is refused.
struct CsvRead
{
    QList<QStringList> rows; // the captions first
    QString error;           // empty when the file was read
};

// Reads what `exchange::csvBytes` writes, refusing anything doubtful: text that is not
// UTF-8, a quote that does not close or stands inside an unquoted value,
// something after a closing quote, a bare CR, rows of a different width than
// the first. A byte-order mark is skipped; LF alone ends a row as well. An
// apostrophe put before a formula-like text is kept, as spreadsheets show it.
CsvRead parseCsv(QByteArrayView bytes);
