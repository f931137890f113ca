#include "data/Database.h"

#include <unistd.h>

using namespace Qt::StringLiterals;

namespace db {

QString fileName()
{
    return u"Norva.db"_s;
}

Database Database::current()
{
    return Database{Engine::Sqlite, fileName(), isReadOnly()};
}

Database Database::file(const QString &path, bool readOnly)
{
    return Database{Engine::Sqlite, path, readOnly};
}

Database Database::server(const QString &connection)
{
    return Database{Engine::Postgres, {}, false, connection};
}

bool isReadOnly()
{
    // The working folder is where the journal goes: without it nothing can be written either.
    const QByteArray path = fileName().toUtf8();
    return ::access(path.constData(), F_OK) == 0 && (::access(path.constData(), W_OK) != 0 || ::access(".", W_OK) != 0);
}

} // namespace db
