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
    bool missing = false;
    for (const schema::Table *table : kCopiedTables) {
        const QString name = QString::fromLatin1(table->name).toLower();
        const QString rights = connection.query(postgres::kTableRights, {name, name}).text("Rights");
        missing = missing || rights == QLatin1StringView("-1");
        if (rights == QLatin1StringView("0")) {
            state.refusedTable = QString::fromLatin1(table->name);
            return state;
        }
    }
    state.mayWrite = !missing || connection.query(postgres::kMayMakeTables).text("Rights") == QLatin1StringView("1");
    return state;
}

} // namespace db
