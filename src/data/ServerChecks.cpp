#include "data/ServerChecks.h"

#include "data/PostgresSql.h"
#include "data/RecordCopy.h"

namespace db {

ServerState serverState(Connection &connection)
{
    ServerState state;
    if (connection.query(postgres::kHasVersionTable).text("Found") == QLatin1StringView("1")) {
        if (Rows rows = connection.query(postgres::kVersion); !rows.atEnd())
            state.version = rows.text("Version").toInt();
    }
    QStringList names;
    for (const schema::Table *table : kCopiedTables)
        names << QString::fromLatin1(table->name).toLower();
    const QList<int> rights = tableRights(connection, names);
    if (const qsizetype refused = rights.indexOf(0); refused >= 0) {
        state.refusedTable = QString::fromLatin1(kCopiedTables[size_t(refused)]->name);
        return state;
    }
    const bool missing = rights.contains(-1);
    state.mayWrite = !missing || connection.query(postgres::kMayMakeTables).text("Rights") == QLatin1StringView("1");
    return state;
}

QList<int> tableRights(Connection &connection, const QStringList &tables)
{
    QList<int> rights;
    for (Rows rows = connection.query(postgres::kTableRights, {tables.join(u',')}); !rows.atEnd(); rows.moveNext())
        rights << rows.text("Rights").toInt();
    return rights;
}

} // namespace db
