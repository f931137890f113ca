#pragma once

#include "data/CompanyStore.h"
#include "data/Database.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// Files for the spreadsheets Turkish users have: UTF-8 with a byte-order
// mark, ';' between fields (their decimal mark is ','), CR LF line ends, a
// value holding ';', '"', CR or LF in quotes with its '"' doubled, and a text
// beginning with '=', '+', '-', '@', a tab or a CR after an apostrophe, so
// that a spreadsheet shows it rather than running it as a formula (a plain
// number such as -5.00 stays bare).
namespace exchange {

// The byte-order mark and the rows, the first of them the captions.
QByteArray csvBytes(const QList<QStringList> &rows);

// The captions of an entry's columns, as the entries table shows them.
QStringList entryCaptions();
// Every column of the companies, as the companies browser shows them.
QStringList companyCaptions();
QByteArray companiesCsv(const std::vector<Company> &companies);

// The CSV bytes of every entry a list of the entries table names
// (`EntryStore::list`), in stored order: the captions, then every column of
// each entry as stored (amounts and rates never rounded); a value another
// program left NULL is written empty. Throws db::Error.
QByteArray listedEntriesCsv(db::Connection &connection, const db::ListQuery &query);

} // namespace exchange
