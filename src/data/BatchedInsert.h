#pragma once

#include "data/Database.h"
#include "data/Schema.h"

#include <optional>

namespace db {

// Rows written into a table a batch per statement: far fewer runs of the engine than a statement
// a row. Used inside the caller's transaction.
class BatchedInsert
{
public:
    // Rows a statement writes. Fewer runs of the engine save more than the longer statement costs
    // to prepare up to about this many.
    static constexpr qsizetype kRows = 16;

    // Every column but RowId is given; RowId first as well when `withRowIds`.
    BatchedInsert(Connection &connection, const schema::Table &table, bool withRowIds);

    // Adds a row's values, in the table's order; true when that filled a batch, which was written.
    bool add(const Values &row);
    // Writes the rows left, then, for rows written with their own RowIds, moves the numbers the
    // table gives next past them. The rows it wrote now.
    qsizetype finish();

private:
    void write();

    Connection &m_connection;
    const schema::Table &m_table;
    bool m_withRowIds;
    std::optional<PreparedQuery> m_fullBatch;
    Values m_batch;
    qsizetype m_batched = 0;
};

} // namespace db
