#include "data/PostgresEngine.h"

#include "data/Engine.h"

#include <QDeadlineTimer>
#include <QHash>
#include <QRegularExpression>

#include <libpq-fe.h>

#include <cerrno>
#include <cstdlib>
#include <poll.h>
#include <vector>

using namespace Qt::StringLiterals;

namespace db::postgres {

ErrorKind errorKind(const char *sqlstate)
{
    const QByteArrayView state(sqlstate ? sqlstate : "");
    if (state == "40P01" || state == "55P03")
        return ErrorKind::Busy; // a deadlock, or a lock not granted within lock_timeout
    if (state.startsWith("23"))
        return ErrorKind::Constraint;
    if (state == "28P01")
        return ErrorKind::BadPassword;
    if (state == "3D000")
        return ErrorKind::NoSuchDatabase;
    if (state == "42501" || state.startsWith("28"))
        return ErrorKind::Denied;
    if (state == "57P01" || state.startsWith("08"))
        return ErrorKind::CannotOpen;
    if (state == "53100")
        return ErrorKind::Full;
    return ErrorKind::Other;
}

namespace {

constexpr const char *kLockTimeout = "SET lock_timeout = '5s'";
constexpr int kConnectSeconds = 10;

// What a scan of a statement found outside its literals, names and comments.
struct Scan
{
    QByteArray text;
    int parameters = 0;
    bool empty = true;
    bool several = false;
};

Scan scan(QByteArrayView statement)
{
    Scan found;
    found.text.reserve(statement.size() + 16);
    char quote = 0; // ' or " while inside one
    bool ended = false;
    for (qsizetype i = 0; i < statement.size(); ++i) {
        const char c = statement[i];
        const char next = i + 1 < statement.size() ? statement[i + 1] : 0;
        if (quote) {
            quote = c == quote ? 0 : quote; // a doubled quote closes and opens again
            found.text += c;
            continue;
        }
        if (c == '-' && next == '-') {
            while (i < statement.size() && statement[i] != '\n')
                found.text += statement[i++];
            --i;
            continue;
        }
        if (c == '/' && next == '*') {
            const qsizetype end = statement.indexOf("*/", i + 2);
            const qsizetype stop = end < 0 ? statement.size() : end + 2;
            found.text += statement.sliced(i, stop - i);
            i = stop - 1;
            continue;
        }
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            found.text += c;
            continue;
        }
        if (c == ';') {
            ended = !found.empty;
            continue;
        }
        found.several = found.several || ended;
        found.empty = false;
        if (c == '\'' || c == '"')
            quote = c;
        if (c == '?')
            found.text += '$' + QByteArray::number(++found.parameters);
        else
            found.text += c;
    }
    return found;
}

QString statementText()
{
    return u"PostgreSQL 42601"_s;
}

Error resultError(PGconn *connection, const PGresult *result)
{
    const char *state = result ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
    const char *primary = result ? PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY) : nullptr;
    const QString description = QString::fromUtf8(primary ? primary : PQerrorMessage(connection)).trimmed();
    if (state)
        return Error{description, u"PostgreSQL "_s + QString::fromLatin1(state), errorKind(state)};
    // No answer from the server at all: it went away.
    const bool lost = PQstatus(connection) == CONNECTION_BAD;
    return Error{description, description, lost ? ErrorKind::CannotOpen : ErrorKind::Other};
}

using Handle = std::shared_ptr<PGconn>;
using Result = std::unique_ptr<PGresult, decltype(&PQclear)>;

Result run(PGconn *connection, const char *statement)
{
    return Result(PQexec(connection, statement), PQclear);
}

void check(PGconn *connection, const Result &result)
{
    const ExecStatusType status = result ? PQresultStatus(result.get()) : PGRES_FATAL_ERROR;
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
        throw resultError(connection, result.get());
}

class Statement final : public engine::Statement
{
public:
    Statement(Handle connection, QByteArray name, int parameters)
        : m_connection(std::move(connection)), m_name(std::move(name)), m_values(parameters), m_bound(parameters)
    {}
    ~Statement() override
    {
        // A transaction that failed refuses every statement until it ends: the name then goes with the connection.
        const PGTransactionStatusType state = PQtransactionStatus(m_connection.get());
        if (state == PQTRANS_IDLE || state == PQTRANS_INTRANS)
            run(m_connection.get(), ("DEALLOCATE " + m_name).constData());
    }

    void bindText(int index, QByteArrayView utf8) override { bind(index, utf8.toByteArray()); }
    void bindInteger(int index, qint64 number) override { bind(index, QByteArray::number(number)); }
    int parameterCount() const override { return int(m_values.size()); }

    bool step() override
    {
        if (!m_result) {
            std::vector<const char *> values(m_values.size());
            for (size_t i = 0; i < values.size(); ++i)
                values[i] = m_bound[i] ? m_values[i].constData() : nullptr; // never bound: NULL
            PGconn *connection = m_connection.get();
            Result result(
                PQexecPrepared(connection, m_name.constData(), int(values.size()), values.data(), nullptr, nullptr, 0),
                PQclear);
            check(connection, result);
            m_changes = std::atoi(PQcmdTuples(result.get()));
            m_result = std::move(result);
            m_row = -1;
        }
        if (m_row < PQntuples(m_result.get()))
            ++m_row;
        return m_row < PQntuples(m_result.get());
    }
    void reset() override { m_result.reset(); }
    int changes() const override { return m_changes; }

    int columnCount() const override { return PQnfields(columns()); }
    int columnIndex(const char *name) const override
    {
        const PGresult *described = columns();
        for (int i = 0, count = PQnfields(described); i < count; ++i) {
            if (qstricmp(PQfname(described, i), name) == 0)
                return i;
        }
        return -1;
    }
    QByteArrayView utf8(int index) const override
    {
        if (!onRow() || PQgetisnull(m_result.get(), m_row, index))
            return {};
        return QByteArrayView(PQgetvalue(m_result.get(), m_row, index), PQgetlength(m_result.get(), m_row, index));
    }
    std::optional<qint64> integer(int index) const override
    {
        constexpr Oid kInt8 = 20, kInt2 = 21, kInt4 = 23;
        if (!onRow() || PQgetisnull(m_result.get(), m_row, index))
            return std::nullopt;
        const Oid type = PQftype(m_result.get(), index);
        if (type != kInt8 && type != kInt2 && type != kInt4)
            return std::nullopt;
        return QByteArrayView(PQgetvalue(m_result.get(), m_row, index)).toLongLong();
    }

private:
    void bind(int index, QByteArray value)
    {
        if (index < 1 || index > int(m_values.size()))
            throw Error{u"column index out of range"_s, statementText()};
        m_values[index - 1] = std::move(value);
        m_bound[index - 1] = true;
    }
    bool onRow() const { return m_result && m_row >= 0 && m_row < PQntuples(m_result.get()); }
    // The columns of the last run, or, before one, of the statement as the server describes it.
    const PGresult *columns() const
    {
        if (m_result)
            return m_result.get();
        if (!m_description) {
            Result described(PQdescribePrepared(m_connection.get(), m_name.constData()), PQclear);
            check(m_connection.get(), described);
            m_description = std::move(described);
        }
        return m_description.get();
    }

    Handle m_connection;
    QByteArray m_name;
    std::vector<QByteArray> m_values;
    std::vector<bool> m_bound;
    Result m_result{nullptr, PQclear};
    mutable Result m_description{nullptr, PQclear};
    int m_row = -1;
    int m_changes = 0;
};

class Connection final : public engine::Connection
{
public:
    explicit Connection(Handle connection) : m_connection(std::move(connection)) {}

    std::unique_ptr<engine::Statement> prepare(QByteArrayView utf8) override
    {
        const Scan found = scan(utf8);
        if (found.empty)
            throw engine::emptyStatement(statementText());
        if (found.several)
            throw engine::severalStatements(statementText());
        // Named, so that statements prepared later leave this one in place.
        QByteArray name = "norva_" + QByteArray::number(++m_prepared);
        PGconn *connection = m_connection.get();
        check(connection, Result(PQprepare(connection, name.constData(), found.text.constData(), 0, nullptr), PQclear));
        return std::make_unique<Statement>(m_connection, std::move(name), found.parameters);
    }

    void beginWriting() override
    {
        check(m_connection.get(), run(m_connection.get(), "BEGIN; SET LOCAL lock_timeout = '5s'"));
    }
    void commit() override
    {
        const Result result = run(m_connection.get(), "COMMIT");
        check(m_connection.get(), result);
        // A transaction a statement failed in is rolled back by COMMIT, which still succeeds.
        if (qstrcmp(PQcmdStatus(result.get()), "ROLLBACK") == 0)
            throw Error{u"the transaction was rolled back"_s, u"PostgreSQL 25P02"_s};
    }
    void rollBack() noexcept override { run(m_connection.get(), "ROLLBACK"); }

private:
    Handle m_connection;
    int m_prepared = 0;
};

// The settings `connection` names, or none when it cannot be read.
std::vector<std::pair<QString, QString>> settings(const QString &connection)
{
    std::vector<std::pair<QString, QString>> found;
    char *error = nullptr;
    PQconninfoOption *options = PQconninfoParse(connection.toUtf8().constData(), &error);
    PQfreemem(error);
    for (PQconninfoOption *option = options; option && option->keyword; ++option) {
        if (option->val)
            found.emplace_back(QString::fromUtf8(option->keyword), QString::fromUtf8(option->val));
    }
    PQconninfoFree(options);
    return found;
}

// Connects with the server's SQLSTATE kept in the message, which says why it refused.
// Polled by hand, so connect_timeout is kept here: a server that never answers is given up
// after it, or after kConnectSeconds. False when the time ran out.
bool start(const QByteArray &conninfo, Handle &connection, int seconds)
{
    connection = Handle(PQconnectStart(conninfo.constData()), PQfinish);
    if (!connection)
        return true;
    PQsetErrorVerbosity(connection.get(), PQERRORS_VERBOSE);
    const QDeadlineTimer deadline{std::chrono::seconds(seconds)};
    PostgresPollingStatusType state = PGRES_POLLING_WRITING;
    while (PQstatus(connection.get()) != CONNECTION_BAD && state != PGRES_POLLING_OK && state != PGRES_POLLING_FAILED) {
        pollfd socket{PQsocket(connection.get()), short(state == PGRES_POLLING_READING ? POLLIN : POLLOUT), 0};
        const int ready = ::poll(&socket, 1, int(deadline.remainingTime()));
        if (ready == 0)
            return false;
        if (ready < 0 && errno != EINTR)
            break;
        state = PQconnectPoll(connection.get());
    }
    return true;
}

} // namespace

QByteArray numberedParameters(QByteArrayView statement, int *count)
{
    Scan found = scan(statement);
    if (count)
        *count = found.parameters;
    return found.text;
}

QString shownConnection(const QString &connection)
{
    QStringList shown;
    for (const auto &[keyword, value] : settings(connection)) {
        if (keyword != u"password"_s)
            shown << keyword + u'=' + value;
    }
    return shown.join(u' ');
}

QString shownName(const QString &connection)
{
    QHash<QString, QString> given;
    for (const auto &[keyword, value] : settings(connection))
        given.insert(keyword, value);
    PQconninfoOption *defaults = PQconndefaults();
    for (PQconninfoOption *option = defaults; option && option->keyword; ++option) {
        const QString keyword = QString::fromUtf8(option->keyword);
        if (given.value(keyword).isEmpty() && option->val)
            given.insert(keyword, QString::fromUtf8(option->val));
    }
    PQconninfoFree(defaults);
    // The server's own default is a database named as the user.
    const QString database = given.value(u"dbname"_s, given.value(u"user"_s));
    QString host = given.value(u"host"_s).section(u',', 0, 0);
    if (host.isEmpty() || host.startsWith(u'/'))
        host = u"localhost"_s;
    return database + u'@' + host;
}

std::unique_ptr<engine::Connection> connect(const Database &database)
{
    int seconds = kConnectSeconds;
    for (const auto &[keyword, value] : settings(database.connection)) {
        if (keyword == u"connect_timeout"_s && value.toInt() > 0)
            seconds = value.toInt();
    }
    Handle connection;
    if (!start(database.connection.toUtf8(), connection, seconds)) {
        throw Error{u"timeout expired"_s, cannotOpenText(), ErrorKind::CannotOpen, Failure::NotOpened,
                    shownConnection(database.connection)};
    }
    if (connection && PQstatus(connection.get()) == CONNECTION_OK) {
        PQsetErrorVerbosity(connection.get(), PQERRORS_DEFAULT);
        // The server's notices ("already exists, skipping") are for its log, not the terminal.
        PQsetNoticeProcessor(
            connection.get(), [](void *, const char *) {}, nullptr);
        PGconn *handle = connection.get();
        if (PQsetClientEncoding(handle, "UTF8") != 0)
            throw resultError(handle, nullptr);
        check(handle, run(handle, kLockTimeout));
        if (database.readOnly)
            check(handle, run(handle, "SET default_transaction_read_only = on"));
        return std::make_unique<Connection>(std::move(connection));
    }
    QString text = connection ? QString::fromUtf8(PQerrorMessage(connection.get())) : cannotOpenText();
    // The verbose message reads "FATAL:  28P01: password authentication failed ...", then where in the server.
    static const QRegularExpression sqlstate(u":  ([0-9A-Z]{5}): "_s);
    static const QRegularExpression location(u"\\n?LOCATION: [^\\n]*"_s);
    const QRegularExpressionMatch match = sqlstate.match(text);
    ErrorKind kind = ErrorKind::CannotOpen; // no server answered
    if (match.hasMatch()) {
        const QString state = match.captured(1);
        kind = state.startsWith(u"57P0"_s) ? ErrorKind::CannotOpen : errorKind(state.toLatin1().constData());
    } else if (!connection) {
        kind = ErrorKind::Other;
    } else if (PQconnectionNeedsPassword(connection.get())) {
        kind = ErrorKind::BadPassword;
    } else if (settings(database.connection).empty() && !database.connection.trimmed().isEmpty()) {
        kind = ErrorKind::Other; // not a connection text at all
    }
    text.replace(location, QString());
    text.replace(sqlstate, u":  "_s);
    for (const auto &[keyword, value] : settings(database.connection)) {
        if (keyword == u"password"_s && !value.isEmpty())
            text.replace(value, u"***"_s);
    }
    throw Error{text.trimmed(), cannotOpenText(), kind, Failure::NotOpened, shownConnection(database.connection)};
}

QString cannotOpenText()
{
    return u"could not connect to the server"_s;
}

QString libraryVersion()
{
    const int version = PQlibVersion();
    return u"PostgreSQL %1.%2"_s.arg(version / 10000).arg(version % 10000);
}

} // namespace db::postgres
