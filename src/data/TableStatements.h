#pragma once

#include "data/Database.h"
#include "data/Schema.h"

#include <QByteArray>

#include <span>

// Statements over a table whole, made from its description (never from a value):
// what the import of another program's file reads, clears and writes, what the
// master password rewrites, and what the trash copies and puts back.
namespace sql {

// Every column but RowId, in the order stored.
QByteArray selectFields(const schema::Table &table);
// Every column, RowId first, in the order of the RowIds.
QByteArray selectRows(const schema::Table &table);
QByteArray deleteAll(const schema::Table &table);
// One INSERT of `rows` rows, a '?' for each of their columns but RowId, and for
// their RowId first when `withRowIds`.
QByteArray insertRows(const schema::Table &table, qsizetype rows, bool withRowIds);
// Sets the sealed columns, a '?' each in the order stored, of the row whose RowId is the last '?'.
QByteArray updateSealed(const schema::Table &table);
// Copies into the trash the rows `remove` ("DELETE FROM <table> WHERE ...") deletes, by the
// same WHERE: Record holds the row's columns by name, each a JSON string (null where the row
// had NULL), so a value sealed later stays a string in its place; DeletedAt is UTC, ISO 8601
// with milliseconds.
QByteArray copyToTrash(db::Database::Engine engine, const schema::Table &table, const char *remove);
// Puts the record of the trash's row given by '?' back into `table`, under its
// old RowId or, where that is taken, a new one; its one row is the RowId it got.
QByteArray restoreFromTrash(db::Database::Engine engine, const schema::Table &table);
// One row, "Records", 1 when any of `tables` holds a row and 0 otherwise.
QByteArray anyRecords(std::span<const schema::Table> tables);

} // namespace sql
