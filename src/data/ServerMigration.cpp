#include "data/Dialect.h"
#include "data/Migration.h"
#include "data/PostgresSql.h"
#include "data/Schema.h"
#include "data/ServerChecks.h"

using namespace Qt::StringLiterals;

namespace db {

namespace {

int serverVersion(Connection &connection)
{
    Rows rows = connection.query(postgres::kVersion);
    return rows.atEnd() ? 0 : rows.text("Version").toInt();
}

// Whether every table the steps make is there.
bool hasTables(Connection &connection, std::span<const schema::Step> steps)
{
    QStringList names;
    for (const schema::Step &step : steps)
        for (const schema::Table &table : step.tables)
            names << QString::fromLatin1(table.name).toLower();
    return !tableRights(connection, names).contains(-1);
}

} // namespace

void prepareServer(const Database &server, FileFault *refusal)
{
    prepareServer(server, schema::kSteps, refusal);
}

void prepareServer(const Database &database, std::span<const schema::Step> steps, FileFault *refusal)
{
    const int current = steps.empty() ? 0 : steps.back().version;
    Connection connection(database);
    Transaction transaction(connection);
    connection.query(postgres::kLayoutLock);
    connection.execute(postgres::kVersionTable);
    const int version = serverVersion(connection);
    newerFile = version > current;
    if (newerFile) {
        if (refusal) {
            *refusal = {
                .kind = FileFault::Kind::Newer, .name = database.shownName(), .version = version, .newest = current};
        }
        return; // rolled back: nothing of this build's is left on a newer layout
    }
    // Every step above the server's version, all in this one transaction: a desk that fails
    // half-way leaves the layout as it found it. A table another program dropped is made again by
    // running every step from the first, so that it comes back as the later steps left it.
    const bool repair = !hasTables(connection, steps);
    for (const schema::Step &step : steps) {
        if (step.version <= version && !repair)
            continue;
        for (const schema::AddedColumn &added : step.added)
            connection.execute(QString::fromUtf8(postgres::kAddColumn)
                                   .arg(QLatin1StringView(added.table), QLatin1StringView(added.name),
                                        QLatin1StringView(added.definition)));
        const QByteArray statements = dialect::schemaStatements(Database::Engine::Postgres, step.statements);
        for (const QByteArray &statement : statements.split(';')) {
            if (!statement.trimmed().isEmpty())
                connection.execute(QString::fromUtf8(statement));
        }
    }
    if (version < current || repair) {
        // Every table tells the desks listening when it changed, those a step made with the rest.
        connection.execute(postgres::kChangeTeller);
        for (const schema::Step &step : steps) {
            for (const schema::Table &table : step.tables) {
                const QLatin1StringView name(table.name);
                connection.execute(QString::fromUtf8(postgres::kStopTellingChanges).arg(name));
                connection.execute(QString::fromUtf8(postgres::kTellChanges).arg(name));
            }
        }
        connection.execute(postgres::kSetVersion, {current});
    }
    transaction.commit();
}

} // namespace db
