#pragma once

#include "data/Database.h"

#include <QByteArray>
#include <QString>

#include <sqlite3.h>

#include <memory>

// The SQLite engine under the access routine (see Engine.h), and the file of its own
// that copying, versions and the damage check work on. Only the data layer's own
// .cpp files that talk to SQLite include this: no header above it names the engine.
namespace db::sqlite {

// How long a statement waits for a lock another copy of the program holds.
constexpr int kBusyTimeoutMs = 5000;

ErrorKind errorKind(int code); // of a result code, extended or not

// The failure `code` raised on `handle` (null when there is no connection yet).
Error engineError(sqlite3 *handle, int code);

// An open file, for what only SQLite does with it: copying its pages, its
// user_version, its quick_check. Each statement waits kBusyTimeoutMs for a lock.
struct File
{
    sqlite3 *db = nullptr;
    int opened; // the open's result code: SQLITE_OK, or why there is no usable connection

    File(const QByteArray &path, int flags); // a file name, or a URI with SQLITE_OPEN_URI
    ~File();
    File(const File &) = delete;
    File &operator=(const File &) = delete;

    bool close(); // true once closed; a connection that cannot close yet goes with the file

    Error error(int code) const { return engineError(db, code); }
};

// Opens `database`; throws Error naming its file when that cannot be done.
std::unique_ptr<File> openFile(const Database &database);

} // namespace db::sqlite
