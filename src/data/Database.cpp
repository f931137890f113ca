#include "data/Database.h"

#include "data/PostgresEngine.h"

#include <QMutex>

#include <unistd.h>

using namespace Qt::StringLiterals;

namespace db {

namespace {

// The server chosen for this run; none while Norva.db is used. Read by every thread that opens a connection.
QMutex chosenLock;
std::optional<Database> chosenServer;

std::optional<Database> chosen()
{
    const QMutexLocker locker(&chosenLock);
    return chosenServer;
}

} // namespace

QString fileName()
{
    return u"Norva.db"_s;
}

Database Database::current()
{
    if (std::optional<Database> server = chosen())
        return *server;
    return Database{Engine::Sqlite, fileName(), isReadOnly()};
}

void Database::choose(const Database &database)
{
    const QMutexLocker locker(&chosenLock);
    chosenServer = database.isServer() ? std::optional(database) : std::nullopt;
}

Database Database::file(const QString &path, bool readOnly)
{
    return Database{Engine::Sqlite, path, readOnly};
}

Database Database::server(const QString &connection)
{
    return Database{Engine::Postgres, {}, false, connection};
}

QString Database::shownName() const
{
    return isServer() ? postgres::shownName(connection) : path;
}

QString Database::shownConnection() const
{
    return postgres::shownConnection(connection);
}

bool isReadOnly()
{
    if (chosen())
        return false;
    // The working folder is where the journal goes: without it nothing can be written either.
    const QByteArray path = fileName().toUtf8();
    return ::access(path.constData(), F_OK) == 0 && (::access(path.constData(), W_OK) != 0 || ::access(".", W_OK) != 0);
}

} // namespace db
