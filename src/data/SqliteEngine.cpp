#include "data/SqliteEngine.h"

#include <QUrl>

#include <unistd.h>

using namespace Qt::StringLiterals;

namespace db::sqlite {

ErrorKind errorKind(int code)
{
    switch (code & 0xff) {
    case SQLITE_BUSY: return ErrorKind::Busy;
    case SQLITE_LOCKED: return ErrorKind::Locked;
    case SQLITE_READONLY: return ErrorKind::ReadOnly;
    case SQLITE_FULL: return ErrorKind::Full;
    case SQLITE_CORRUPT: return ErrorKind::Damaged;
    case SQLITE_NOTADB: return ErrorKind::NotADatabase;
    case SQLITE_CONSTRAINT: return ErrorKind::Constraint;
    case SQLITE_CANTOPEN: return ErrorKind::CannotOpen;
    case SQLITE_PERM:
    case SQLITE_AUTH: return ErrorKind::Denied;
    case SQLITE_IOERR: return ErrorKind::InputOutput;
    default: return ErrorKind::Other;
    }
}

Error engineError(sqlite3 *handle, int code)
{
    return Error{QString::fromUtf8(handle ? sqlite3_errmsg(handle) : sqlite3_errstr(code)),
                 QString::fromUtf8(sqlite3_errstr(code)), errorKind(code)};
}

} // namespace db::sqlite

namespace db::engine {

Handle::Handle(const QByteArray &path, int flags)
    : opened(sqlite3_open_v2(path.constData(), &db, flags | SQLITE_OPEN_NOMUTEX, nullptr))
{
    if (opened == SQLITE_OK)
        sqlite3_busy_timeout(db, sqlite::kBusyTimeoutMs);
}

Handle::~Handle()
{
    // Statements still alive keep the connection until they are finalised.
    sqlite3_close_v2(db);
}

bool Handle::close()
{
    if (sqlite3_close(db) != SQLITE_OK)
        return false;
    db = nullptr;
    return true;
}

std::unique_ptr<Handle> open(const Database &database)
{
    QByteArray path = database.path.toUtf8();
    int flags = database.readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE;
    if (database.readOnly && database.path == fileName() && isReadOnly()) {
        // Reading a WAL file needs its shared-memory file beside it, which cannot be made in a
        // folder nobody may write; with no journal left over, the file is read as it stands.
        const bool journal = ::access((path + "-wal").constData(), F_OK) == 0;
        path = "file:" + QUrl::toPercentEncoding(database.path, "/") + (journal ? "?mode=ro" : "?mode=ro&immutable=1");
        flags = SQLITE_OPEN_READONLY | SQLITE_OPEN_URI;
    }
    auto handle = std::make_unique<Handle>(path, flags);
    if (handle->opened != SQLITE_OK) {
        throw Error{QString::fromUtf8(sqlite3_errmsg(handle->db)), QString::fromUtf8(sqlite3_errstr(handle->opened)),
                    sqlite::errorKind(handle->opened), Failure::NotOpened, database.path};
    }
    return handle;
}

} // namespace db::engine

namespace db {

QString Database::engineVersion() const
{
    return u"SQLite "_s + QString::fromLatin1(SQLITE_VERSION);
}

} // namespace db
