#pragma once

#include "data/Database.h"

#include <QByteArray>
#include <QString>

#include <sqlite3.h>

// The SQLite engine under the access routine. Only the data layer's own .cpp
// files that talk to SQLite include this: no header above it names the engine.
namespace db::sqlite {

// How long a statement waits for a lock another copy of the program holds.
constexpr int kBusyTimeoutMs = 5000;

ErrorKind errorKind(int code); // of a result code, extended or not

// The failure `code` raised on `handle` (null when there is no connection yet).
Error engineError(sqlite3 *handle, int code);

} // namespace db::sqlite
