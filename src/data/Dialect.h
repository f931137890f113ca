#pragma once

#include "data/Database.h"

#include <QByteArray>

// Where the engines' SQL differs, in one place: every other statement (Statements.h,
// TableStatements.h) is common to SQLite and PostgreSQL.
namespace db::dialect {

using Engine = Database::Engine;

// A step's statements (schema::Step) as `engine` makes them: on a server RowId is an identity column.
QByteArray schemaStatements(Engine engine, const char *statements);

// The trash keeps a record as one JSON object: `fields` pairs each quoted name with
// its column ("'Baslik', Baslik, ..."); a field is read back as text, NULL where the
// record had none.
QByteArray recordObject(Engine engine, const QByteArray &fields);
QByteArray recordField(Engine engine, const char *record, const char *name);

// Now, in UTC: ISO 8601 with milliseconds ("2026-12-07T18:50:01.250Z").
const char *nowUtc(Engine engine);

// A RowId `table` has never given, for a row put back whose own number was taken meanwhile.
QByteArray newRowId(Engine engine, const char *table);

// Appended to a SELECT that reads rows about to be changed: holds them against a second writer until the
// transaction ends. On SQLite the transaction's write lock holds the whole file already.
const char *lockRows(Engine engine);

// After rows were written into `table` with RowIds of their own: the statement that moves the
// numbers the table gives next past them, or nothing where the engine does that itself.
QByteArray followRowIds(Engine engine, const char *table);

// How many rows one insert statement writes: on SQLite one, through a statement prepared once per
// table (in-process, a run costs no more than a longer statement saves); on a server enough to save
// most round trips.
qsizetype insertBatchRows(Engine engine);

} // namespace db::dialect
