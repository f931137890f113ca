#include "data/Database.h"

#include "data/Migration.h"
#include "data/SqliteEngine.h"
#include "data/SqliteSql.h"

#include <QStringEncoder>

using namespace Qt::StringLiterals;

namespace db {
namespace {

using sqlite::engineError;

// Prepares exactly one statement; anything after it is refused rather than
// silently dropped.
sqlite3_stmt *prepare(sqlite3 *handle, const QString &statement)
{
    const QByteArray utf8 = statement.toUtf8();
    sqlite3_stmt *prepared = nullptr;
    const char *tail = nullptr;
    const int rc = sqlite3_prepare_v2(handle, utf8.constData(), int(utf8.size()), &prepared, &tail);
    if (rc != SQLITE_OK)
        throw engineError(handle, rc);
    if (!prepared) {
        throw Error{u"Boş komut."_s, QString::fromUtf8(sqlite3_errstr(SQLITE_MISUSE))};
    }
    for (; tail && *tail; ++tail) {
        if (*tail != ' ' && *tail != '\t' && *tail != '\r' && *tail != '\n' && *tail != ';') {
            sqlite3_finalize(prepared);
            throw Error{u"Tek seferde yalnızca bir komut çalıştırılabilir."_s,
                        QString::fromUtf8(sqlite3_errstr(SQLITE_MISUSE))};
        }
    }
    return prepared;
}

Database currentUnlessNewer()
{
    if (newerFile)
        throw Error{
            {}, QString::fromUtf8(sqlite3_errstr(SQLITE_CANTOPEN)), ErrorKind::Other, Failure::NewerFile, fileName()};
    return Database::current();
}

} // namespace

Connection::Connection() : Connection(currentUnlessNewer())
{}

Connection::Connection(const Database &database)
{
    m_handle = engine::open(database);
    sqlite3_exec(m_handle->db, sqlite::kFullSync, nullptr, nullptr, nullptr);
}

Connection::~Connection() = default;

} // namespace db

namespace db::engine {

void bind(Statement &prepared, const Values &values)
{
    sqlite3_stmt *statement = prepared.statement;
    Q_ASSERT_X(values.size() == sqlite3_bind_parameter_count(statement), "db::bind",
               "one value for every '?' of the statement");
    int index = 0;
    for (const Value &value : values) {
        ++index;
        int rc;
        if (const auto *text = std::get_if<QString>(&value.m_value)) {
            // Encoded into one buffer kept for the thread: the engine copies the bytes.
            thread_local QByteArray utf8;
            QStringEncoder encoder(QStringEncoder::Utf8);
            utf8.resize(encoder.requiredSpace(text->size()));
            const char *end = encoder.appendToBuffer(utf8.data(), *text);
            rc = sqlite3_bind_text(statement, index, utf8.constData(), int(end - utf8.constData()), SQLITE_TRANSIENT);
        } else {
            rc = sqlite3_bind_int64(statement, index, std::get<qint64>(value.m_value));
        }
        if (rc != SQLITE_OK)
            throw sqlite::engineError(prepared.db, rc);
    }
}

} // namespace db::engine

namespace db {
namespace {

// Runs a bound statement to its end and leaves it ready for the next run.
int runToEnd(const engine::Statement &prepared)
{
    int rc;
    while ((rc = sqlite3_step(prepared.statement)) == SQLITE_ROW) {
    }
    sqlite3_reset(prepared.statement);
    if (rc != SQLITE_DONE)
        throw engineError(prepared.db, rc);
    return sqlite3_changes(prepared.db);
}

} // namespace

int Connection::execute(const char *statement, const Values &values)
{
    return execute(QString::fromUtf8(statement), values);
}

int Connection::execute(const QString &statement, const Values &values)
{
    sqlite3 *handle = m_handle->db;
    engine::Statement prepared{db::prepare(handle, statement), handle};
    engine::bind(prepared, values);
    return runToEnd(prepared);
}

Rows Connection::query(const char *statement, const Values &values)
{
    return query(QString::fromUtf8(statement), values);
}

Rows Connection::query(const QString &statement, const Values &values)
{
    sqlite3 *handle = m_handle->db;
    auto prepared = std::make_unique<engine::Statement>(db::prepare(handle, statement), handle);
    engine::bind(*prepared, values);
    return Rows(prepared.release());
}

PreparedQuery Connection::prepare(const char *statement)
{
    sqlite3 *handle = m_handle->db;
    return PreparedQuery(
        std::make_unique<engine::Statement>(db::prepare(handle, QString::fromUtf8(statement)), handle));
}

PreparedQuery::PreparedQuery(std::unique_ptr<engine::Statement> statement) : m_statement(std::move(statement))
{}

PreparedQuery::PreparedQuery(PreparedQuery &&other) noexcept = default;

PreparedQuery::~PreparedQuery() = default;

Rows PreparedQuery::query(const Values &values)
{
    engine::bind(*m_statement, values);
    return Rows(m_statement.get(), true);
}

int PreparedQuery::execute(const Values &values)
{
    engine::bind(*m_statement, values);
    return runToEnd(*m_statement);
}

} // namespace db
