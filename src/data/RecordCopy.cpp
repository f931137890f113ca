#include "data/RecordCopy.h"

#include "data/Dialect.h"
#include "data/TableStatements.h"

#include <optional>

namespace db {

namespace {

// Rows written by one statement, as the Access import does.
constexpr qsizetype kBatchRows = 16;

} // namespace

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
    for (size_t t = 0; t < kCopiedTables.size(); ++t) {
        const schema::Table &table = *kCopiedTables[t];
        std::optional<PreparedQuery> fullBatch;
        Values batch;
        qsizetype batched = 0;
        const auto flush = [&] {
            if (batched == kBatchRows) {
                if (!fullBatch)
                    fullBatch.emplace(to.prepare(sql::insertRows(table, kBatchRows, true).constData()));
                fullBatch->execute(batch);
            } else if (batched > 0) {
                to.execute(sql::insertRows(table, batched, true).constData(), batch);
            }
            copied[t] += int(batched);
            batch.clear();
            batched = 0;
        };
        for (Rows rows = from.query(sql::selectRows(table).constData()); !rows.atEnd(); rows.moveNext()) {
            batch.append(rows.rowId());
            for (const schema::Column &column : table.columns.subspan(1))
                batch.append(rows.text(column.name));
            if (++batched == kBatchRows)
                flush();
        }
        flush();
        if (const QByteArray follow = dialect::followRowIds(to.engine(), table.name); !follow.isEmpty())
            to.query(follow.constData());
    }
    return copied;
}

} // namespace db
