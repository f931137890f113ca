#include "data/Database.h"

#include "data/SqliteEngine.h"
#include "data/SqliteSql.h"

namespace db {

Transaction::Transaction(Connection &connection) : m_connection(connection)
{
    m_connection.execute(sqlite::kBeginWriting);
}

Transaction::~Transaction()
{
    if (m_open)
        sqlite3_exec(m_connection.m_handle->db, sqlite::kRollback, nullptr, nullptr, nullptr);
}

void Transaction::commit()
{
    m_open = false;
    try {
        m_connection.execute(sqlite::kCommit);
    } catch (const Error &) {
        // A COMMIT that failed may leave the transaction open: it ends here.
        sqlite3_exec(m_connection.m_handle->db, sqlite::kRollback, nullptr, nullptr, nullptr);
        throw;
    }
}

} // namespace db
