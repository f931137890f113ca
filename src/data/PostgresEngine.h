#pragma once

// The PostgreSQL engine: a server reached through libpq. Only its own files and
// engine::open know of it.
#include "data/Database.h"

#include <QByteArray>

#include <memory>

namespace db::engine {
class Connection;
}

namespace db::postgres {

// A server's five-letter SQLSTATE told apart once as an ErrorKind.
ErrorKind errorKind(const char *sqlstate);

// The statement with its '?'s numbered as $1..$n, those inside '...' literals,
// "..." names and -- comments left alone.
QByteArray numberedParameters(QByteArrayView statement, int *count = nullptr);

// `connection` without its password, to name the server in an Error.
QString shownConnection(const QString &connection);

// "database@host" of `connection`, libpq's defaults and PG* variables filling what it leaves out;
// a server on this computer's socket is "localhost".
QString shownName(const QString &connection);

// Connects to `database.connection`; throws Error (CannotOpen with no server,
// Denied for a wrong password or no right to connect).
std::unique_ptr<engine::Connection> connect(const Database &database);

QString cannotOpenText();
QString libraryVersion(); // "PostgreSQL 15.18"

} // namespace db::postgres
