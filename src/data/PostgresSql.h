#pragma once

// The statements only a PostgreSQL server needs, which the program runs on its own
// behalf: the layout's version and the lock under which it is brought up to date.
namespace db::postgres {

// Held until the transaction ends: two desks starting at once bring the layout up to date once.
inline constexpr char kLayoutLock[] = "SELECT pg_advisory_xact_lock(7406315287) AS Locked";
// The file keeps its version in PRAGMA user_version; a server in this one-row table.
inline constexpr char kVersionTable[] =
    "CREATE TABLE IF NOT EXISTS NorvaVersion (RowId INTEGER PRIMARY KEY CHECK (RowId = 1), Version INTEGER NOT NULL)";
inline constexpr char kHasVersionTable[] =
    "SELECT CASE WHEN to_regclass('norvaversion') IS NULL THEN 0 ELSE 1 END AS Found";
// Each table named in the '?' (the names joined by ','), in order: 1 when this user may read and
// write it, 0 when not, -1 when there is none.
inline constexpr char kTableRights[] =
    "SELECT Name, CASE WHEN to_regclass(Name) IS NULL THEN -1 "
    "WHEN has_table_privilege(Name, 'SELECT, INSERT, UPDATE, DELETE') THEN 1 ELSE 0 END AS Rights "
    "FROM unnest(string_to_array(?, ',')) WITH ORDINALITY AS Tables (Name, Place) ORDER BY Place";
// 1 when this user may make tables where the program would make them.
inline constexpr char kMayMakeTables[] =
    "SELECT CASE WHEN has_schema_privilege(current_schema(), 'CREATE') THEN 1 ELSE 0 END AS Rights";
inline constexpr char kVersion[] = "SELECT Version FROM NorvaVersion WHERE RowId = 1";
inline constexpr char kSetVersion[] = "INSERT INTO NorvaVersion (RowId, Version) VALUES (1, ?) "
                                      "ON CONFLICT (RowId) DO UPDATE SET Version = excluded.Version";
// Every table the program keeps tells, once per statement, when a change of it is committed; a
// desk listening hears the table's name (in lower case) on this channel.
inline constexpr char kListen[] = "LISTEN norva_changes";
inline constexpr char kChangeTeller[] =
    "CREATE OR REPLACE FUNCTION norva_changed() RETURNS trigger LANGUAGE plpgsql AS "
    "'BEGIN PERFORM pg_notify(''norva_changes'', TG_TABLE_NAME); RETURN NULL; END'";
inline constexpr char kStopTellingChanges[] = "DROP TRIGGER IF EXISTS norva_changed ON %1";
inline constexpr char kTellChanges[] =
    "CREATE TRIGGER norva_changed AFTER INSERT OR UPDATE OR DELETE OR TRUNCATE ON %1 "
    "FOR EACH STATEMENT EXECUTE FUNCTION norva_changed()";
inline constexpr char kAddColumn[] = "ALTER TABLE %1 ADD COLUMN IF NOT EXISTS %2 %3"; // table, column, definition

} // namespace db::postgres
