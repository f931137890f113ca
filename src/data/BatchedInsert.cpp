#include "data/BatchedInsert.h"

#include "data/Dialect.h"
#include "data/TableStatements.h"

namespace db {

BatchedInsert::BatchedInsert(Connection &connection, const schema::Table &table, bool withRowIds)
    : m_connection(connection), m_table(table), m_withRowIds(withRowIds),
      m_rows(dialect::insertBatchRows(connection.engine()))
{}

qsizetype BatchedInsert::add(const Values &row)
{
    m_batch.append(row);
    if (++m_batched < m_rows)
        return 0;
    write();
    return m_rows;
}

qsizetype BatchedInsert::finish()
{
    const qsizetype written = m_batched;
    write();
    if (const QByteArray follow = dialect::followRowIds(m_connection.engine(), m_table.name);
        m_withRowIds && !follow.isEmpty())
        m_connection.query(follow.constData());
    return written;
}

void BatchedInsert::write()
{
    if (m_batched == m_rows) {
        if (!m_fullBatch)
            m_fullBatch.emplace(m_connection.prepare(sql::insertRows(m_table, m_rows, m_withRowIds).constData()));
        m_fullBatch->execute(m_batch);
    } else if (m_batched > 0) {
        m_connection.execute(sql::insertRows(m_table, m_batched, m_withRowIds).constData(), m_batch);
    }
    m_batch.clear();
    m_batched = 0;
}

} // namespace db
