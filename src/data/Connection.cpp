#include "data/Database.h"

#include "data/Engine.h"
#include "data/Migration.h"

#include <QStringEncoder>

using namespace Qt::StringLiterals;

namespace db {
namespace {

Database currentUnlessNewer()
{
    const Database current = Database::current();
    if (newerFile)
        throw Error{{}, engine::cannotOpenText(current), ErrorKind::Other, Failure::NewerFile, current.shownName()};
    return current;
}

} // namespace

Connection::Connection() : Connection(currentUnlessNewer())
{}

Connection::Connection(const Database &database) : m_engine(engine::open(database)), m_kind(database.engine)
{}

Connection::~Connection() = default;

} // namespace db

namespace db::engine {

Error emptyStatement(const QString &message)
{
    return Error{u"Boş komut."_s, message};
}

Error severalStatements(const QString &message)
{
    return Error{u"Tek seferde yalnızca bir komut çalıştırılabilir."_s, message};
}

void bind(Statement &prepared, const Values &values)
{
    Q_ASSERT_X(values.size() == prepared.parameterCount(), "db::bind", "one value for every '?' of the statement");
    int index = 0;
    for (const Value &value : values) {
        ++index;
        if (const auto *text = std::get_if<QString>(&value.m_value)) {
            // Encoded into one buffer kept for the thread: the engine copies the bytes.
            thread_local QByteArray utf8;
            QStringEncoder encoder(QStringEncoder::Utf8);
            utf8.resize(encoder.requiredSpace(text->size()));
            const char *end = encoder.appendToBuffer(utf8.data(), *text);
            prepared.bindText(index, QByteArrayView(utf8.constData(), end - utf8.constData()));
        } else {
            prepared.bindInteger(index, std::get<qint64>(value.m_value));
        }
    }
}

} // namespace db::engine

namespace db {
namespace {

// Runs a bound statement to its end and leaves it ready for the next run.
int runToEnd(engine::Statement &prepared)
{
    try {
        while (prepared.step()) {
        }
    } catch (const Error &) {
        prepared.reset();
        throw;
    }
    prepared.reset();
    return prepared.changes();
}

} // namespace

int Connection::execute(const char *statement, const Values &values)
{
    return execute(QString::fromUtf8(statement), values);
}

int Connection::execute(const QString &statement, const Values &values)
{
    const std::unique_ptr<engine::Statement> prepared = m_engine->prepare(statement.toUtf8());
    engine::bind(*prepared, values);
    return runToEnd(*prepared);
}

Rows Connection::query(const char *statement, const Values &values)
{
    return query(QString::fromUtf8(statement), values);
}

Rows Connection::query(const QString &statement, const Values &values)
{
    std::unique_ptr<engine::Statement> prepared = m_engine->prepare(statement.toUtf8());
    engine::bind(*prepared, values);
    return Rows(prepared.release());
}

PreparedQuery Connection::prepare(const char *statement)
{
    return PreparedQuery(m_engine->prepare(QByteArrayView(statement)));
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

bool isOffered(Connection &connection, const ListQuery &list, const QString &name)
{
    const QString column = QString::fromUtf8(list.textColumn);
    const Values values = list.values + Values{name} + list.values;
    Rows rows = connection.query(u"SELECT CASE WHEN EXISTS (%1 AND coalesce(%2, '') = ?) THEN 1 ELSE 0 END AS Named, "
                                 u"CASE WHEN EXISTS (%1) THEN 1 ELSE 0 END AS Listed"_s.arg(list.statement, column),
                                 values);
    return rows.text("Named") == "1"_L1 || (name.isEmpty() && rows.text("Listed") == "0"_L1);
}

int PreparedQuery::execute(const Values &values)
{
    engine::bind(*m_statement, values);
    return runToEnd(*m_statement);
}

} // namespace db
