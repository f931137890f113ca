#pragma once

#include "data/Database.h"
#include "data/Schema.h"

#include <optional>

namespace db {

// Rows written into a table through one prepared statement, a batch of rows a run where the
// engine is a server (dialect::insertBatchRows). Used inside the caller's transaction.
class BatchedInsert
{
public:
    // Every column but RowId is given; RowId first as well when `withRowIds`.
    BatchedInsert(Connection &connection, const schema::Table &table, bool withRowIds);

    // Adds a row's values, in the table's order; the rows written when that filled a batch, else 0.
    qsizetype add(const Values &row);
    // Writes the rows left, then, for rows written with their own RowIds, moves the numbers the
    // table gives next past them. The rows it wrote now.
    qsizetype finish();

private:
    void write();

    Connection &m_connection;
    const schema::Table &m_table;
    bool m_withRowIds;
    qsizetype m_rows; // a batch
    std::optional<PreparedQuery> m_fullBatch;
    Values m_batch;
    qsizetype m_batched = 0;
};

} // namespace db
