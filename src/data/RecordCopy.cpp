#include "data/RecordCopy.h"

#include "data/BatchedInsert.h"
#include "data/TableStatements.h"

namespace db {

bool holdsRecords(Connection &connection)
{
    std::vector<schema::Table> tables;
    for (const schema::Table *table : kCopiedTables)
        tables.push_back(*table);
    return connection.query(sql::anyRecords(tables).constData()).text("Records") != QLatin1StringView("0");
}

std::array<int, kCopiedTables.size()> copyRecords(Connection &from, Connection &to)
{
    std::array<int, kCopiedTables.size()> copied{};
    Values values;
    for (size_t t = 0; t < kCopiedTables.size(); ++t) {
        const schema::Table &table = *kCopiedTables[t];
        BatchedInsert insert(to, table, true);
        for (Rows rows = from.query(sql::selectRows(table).constData()); !rows.atEnd(); rows.moveNext()) {
            values = {rows.rowId()};
            for (const schema::Column &column : table.columns.subspan(1))
                values.append(rows.text(column.name));
            copied[t] += int(insert.add(values));
        }
        copied[t] += int(insert.finish());
    }
    return copied;
}

} // namespace db
