#include "data/Database.h"

#include "data/Engine.h"

namespace db {

Transaction::Transaction(Connection &connection) : m_connection(connection)
{
    m_connection.m_engine->beginWriting();
}

Transaction::~Transaction()
{
    if (m_open)
        m_connection.m_engine->rollBack();
}

void Transaction::commit()
{
    m_open = false;
    try {
        m_connection.m_engine->commit();
    } catch (const Error &) {
        // A COMMIT that failed may leave the transaction open: it ends here.
        m_connection.m_engine->rollBack();
        throw;
    }
}

} // namespace db
