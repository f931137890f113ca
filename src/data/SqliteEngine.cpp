#include "data/SqliteEngine.h"

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
