#pragma once

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

// What a file the program wrote reads as: its rows, or why it could not be read.
struct CsvRead
{
    QList<QStringList> rows; // the captions first
    QString error;           // empty when the file was read
};

// Reads what `exchange::csvBytes` writes (its exact bytes are pinned by a golden file): UTF-8 after a
// byte-order mark, ';' between values, a value in quotes with its '"' doubled, CR LF line ends.
CsvRead parseCsv(QByteArrayView bytes);
