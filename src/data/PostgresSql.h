#pragma once

// The statements only a PostgreSQL server needs, which the program runs on its own
// behalf: the layout's version and the lock under which it is brought up to date.
namespace db::postgres {

// Held until the transaction ends: two desks starting at once bring the layout up to date once.
inline constexpr char kLayoutLock[] = "SELECT pg_advisory_xact_lock(7406315287) AS Locked";
// The file keeps its version in PRAGMA user_version; a server in this one-row table.
inline constexpr char kVersionTable[] =
    "CREATE TABLE IF NOT EXISTS NorvaVersion (RowId INTEGER PRIMARY KEY CHECK (RowId = 1), Version INTEGER NOT NULL)";
inline constexpr char kHasTable[] = "SELECT to_regclass(?) IS NOT NULL AS Found";
inline constexpr char kHasVersionTable[] = "SELECT to_regclass('norvaversion') IS NOT NULL AS Found";
inline constexpr char kVersion[] = "SELECT Version FROM NorvaVersion WHERE RowId = 1";
inline constexpr char kSetVersion[] = "INSERT INTO NorvaVersion (RowId, Version) VALUES (1, ?) "
                                      "ON CONFLICT (RowId) DO UPDATE SET Version = excluded.Version";
inline constexpr char kAddColumn[] = "ALTER TABLE %1 ADD COLUMN IF NOT EXISTS %2 %3"; // table, column, definition

} // namespace db::postgres
