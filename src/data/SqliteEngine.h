#pragma once

#include "data/Database.h"

#include <QByteArray>
#include <QString>

#include <sqlite3.h>

#include <memory>

// The SQLite engine under the access routine. Only the data layer's own .cpp
// files that talk to SQLite include this: no header above it names the engine.
namespace db::sqlite {

// How long a statement waits for a lock another copy of the program holds.
constexpr int kBusyTimeoutMs = 5000;

ErrorKind errorKind(int code); // of a result code, extended or not

// The failure `code` raised on `handle` (null when there is no connection yet).
Error engineError(sqlite3 *handle, int code);

} // namespace db::sqlite

namespace db::engine {

// An open file. Each statement waits kBusyTimeoutMs for a lock.
struct Handle
{
    sqlite3 *db = nullptr;
    int opened; // the open's result code: SQLITE_OK, or why there is no usable connection

    Handle(const QByteArray &path, int flags); // a file name, or a URI with SQLITE_OPEN_URI
    ~Handle();
    Handle(const Handle &) = delete;
    Handle &operator=(const Handle &) = delete;

    bool close(); // true once closed; a connection that cannot close yet goes with the handle

    Error error(int code) const { return sqlite::engineError(db, code); }
};

// Opens `database`; throws Error naming its file when that cannot be done.
std::unique_ptr<Handle> open(const Database &database);

// One prepared statement and the connection it runs on.
struct Statement
{
    sqlite3_stmt *statement;
    sqlite3 *db;
    ~Statement() { sqlite3_finalize(statement); }
};

} // namespace db::engine
