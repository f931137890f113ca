#include "data/SqliteEngine.h"

#include "data/Engine.h"
#include "data/PostgresEngine.h"
#include "data/SqliteSql.h"

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

File::File(const QByteArray &path, int flags)
    : opened(sqlite3_open_v2(path.constData(), &db, flags | SQLITE_OPEN_NOMUTEX, nullptr))
{
    if (opened == SQLITE_OK)
        sqlite3_busy_timeout(db, sqlite::kBusyTimeoutMs);
}

File::~File()
{
    // Statements still alive keep the connection until they are finalised.
    sqlite3_close_v2(db);
}

bool File::close()
{
    if (sqlite3_close(db) != SQLITE_OK)
        return false;
    db = nullptr;
    return true;
}

std::unique_ptr<File> openFile(const Database &database)
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
    auto handle = std::make_unique<File>(path, flags);
    if (handle->opened != SQLITE_OK) {
        throw Error{QString::fromUtf8(sqlite3_errmsg(handle->db)), QString::fromUtf8(sqlite3_errstr(handle->opened)),
                    errorKind(handle->opened), Failure::NotOpened, database.path};
    }
    return handle;
}

namespace {

QString misuseText()
{
    return QString::fromUtf8(sqlite3_errstr(SQLITE_MISUSE));
}

class Statement final : public engine::Statement
{
public:
    Statement(sqlite3_stmt *statement, sqlite3 *db) : m_statement(statement), m_db(db) {}
    ~Statement() override { sqlite3_finalize(m_statement); }

    void bindText(int index, QByteArrayView utf8) override
    {
        // Never a null pointer, which would bind NULL: the engine copies the bytes.
        check(sqlite3_bind_text(m_statement, index, utf8.isNull() ? "" : utf8.data(), int(utf8.size()),
                                SQLITE_TRANSIENT));
    }
    void bindInteger(int index, qint64 number) override { check(sqlite3_bind_int64(m_statement, index, number)); }
    int parameterCount() const override { return sqlite3_bind_parameter_count(m_statement); }

    bool step() override
    {
        const int rc = sqlite3_step(m_statement);
        if (rc == SQLITE_ROW)
            return true;
        if (rc != SQLITE_DONE)
            throw engineError(m_db, rc);
        return false;
    }
    void reset() override { sqlite3_reset(m_statement); }
    int changes() const override { return sqlite3_changes(m_db); }

    int columnCount() const override { return sqlite3_column_count(m_statement); }
    int columnIndex(const char *name) const override
    {
        const int count = sqlite3_column_count(m_statement);
        for (int i = 0; i < count; ++i) {
            if (sqlite3_stricmp(sqlite3_column_name(m_statement, i), name) == 0)
                return i;
        }
        return -1;
    }
    QByteArrayView utf8(int index) const override
    {
        // The text first, then its length in the form just asked for.
        sqlite3_value *value = sqlite3_column_value(m_statement, index);
        const auto *utf8 = reinterpret_cast<const char *>(sqlite3_value_text(value));
        if (!utf8 && sqlite3_value_type(value) != SQLITE_NULL)
            throw engineError(m_db, SQLITE_NOMEM); // a value there, but no memory to give its text
        return utf8 ? QByteArrayView(utf8, sqlite3_value_bytes(value)) : QByteArrayView();
    }
    std::optional<qint64> integer(int index) const override
    {
        sqlite3_value *value = sqlite3_column_value(m_statement, index);
        if (sqlite3_value_type(value) != SQLITE_INTEGER)
            return std::nullopt;
        return sqlite3_value_int64(value);
    }

private:
    void check(int rc) const
    {
        if (rc != SQLITE_OK)
            throw engineError(m_db, rc);
    }

    sqlite3_stmt *m_statement;
    sqlite3 *m_db;
};

class Connection final : public engine::Connection
{
public:
    explicit Connection(std::unique_ptr<File> file) : m_file(std::move(file))
    {
        sqlite3_exec(m_file->db, kFullSync, nullptr, nullptr, nullptr);
    }

    std::unique_ptr<engine::Statement> prepare(QByteArrayView utf8) override
    {
        sqlite3 *handle = m_file->db;
        sqlite3_stmt *prepared = nullptr;
        const char *tail = nullptr;
        const int rc = sqlite3_prepare_v2(handle, utf8.data(), int(utf8.size()), &prepared, &tail);
        if (rc != SQLITE_OK)
            throw engineError(handle, rc);
        if (!prepared)
            throw engine::emptyStatement(misuseText());
        // Anything after the statement is refused rather than silently dropped.
        for (const char *end = utf8.data() + utf8.size(); tail && tail < end && *tail; ++tail) {
            if (*tail != ' ' && *tail != '\t' && *tail != '\r' && *tail != '\n' && *tail != ';') {
                sqlite3_finalize(prepared);
                throw engine::severalStatements(misuseText());
            }
        }
        return std::make_unique<Statement>(prepared, handle);
    }

    void beginWriting() override { run(kBeginWriting); }
    void commit() override { run(kCommit); }
    void rollBack() noexcept override { sqlite3_exec(m_file->db, kRollback, nullptr, nullptr, nullptr); }

private:
    void run(const char *statement)
    {
        const std::unique_ptr<engine::Statement> prepared = prepare(statement);
        while (prepared->step()) {
        }
    }

    std::unique_ptr<File> m_file;
};

} // namespace

} // namespace db::sqlite

namespace db::engine {

std::unique_ptr<Connection> open(const Database &database)
{
    switch (database.engine) {
    case Database::Engine::Sqlite: return std::make_unique<sqlite::Connection>(sqlite::openFile(database));
    case Database::Engine::Postgres: return postgres::connect(database);
    }
    Q_UNREACHABLE();
    return nullptr;
}

QString cannotOpenText(const Database &database)
{
    switch (database.engine) {
    case Database::Engine::Sqlite: return QString::fromUtf8(sqlite3_errstr(SQLITE_CANTOPEN));
    case Database::Engine::Postgres: return postgres::cannotOpenText();
    }
    Q_UNREACHABLE();
    return QString();
}

} // namespace db::engine

namespace db {

QString Database::engineVersion() const
{
    if (engine == Engine::Postgres)
        return postgres::libraryVersion();
    return u"SQLite "_s + QString::fromLatin1(SQLITE_VERSION);
}

} // namespace db
