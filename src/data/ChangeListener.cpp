#include "data/ChangeListener.h"

#include "data/PostgresSql.h"

#include <libpq-fe.h>

using namespace Qt::StringLiterals;

namespace db {

struct ChangeListener::Server
{
    PGconn *connection = nullptr;
    ~Server() { PQfinish(connection); }

    Error failure() const
    {
        return Error{QString::fromUtf8(PQerrorMessage(connection)).trimmed(), u"LISTEN"_s, ErrorKind::CannotOpen};
    }
};

ChangeListener::ChangeListener(const Database &server) : m_server(std::make_unique<Server>())
{
    m_server->connection = PQconnectdb(server.connection.toUtf8().constData());
    if (PQstatus(m_server->connection) != CONNECTION_OK)
        throw m_server->failure();
    PGresult *listening = PQexec(m_server->connection, postgres::kListen);
    const bool ok = PQresultStatus(listening) == PGRES_COMMAND_OK;
    PQclear(listening);
    if (!ok)
        throw m_server->failure();
}

ChangeListener::~ChangeListener() = default;

int ChangeListener::socket() const
{
    return PQsocket(m_server->connection);
}

QStringList ChangeListener::takeChanges()
{
    if (PQconsumeInput(m_server->connection) == 0 || PQstatus(m_server->connection) != CONNECTION_OK)
        throw m_server->failure();
    QStringList tables;
    while (PGnotify *notice = PQnotifies(m_server->connection)) {
        const QString table = QString::fromUtf8(notice->extra);
        if (!tables.contains(table))
            tables << table;
        PQfreemem(notice);
    }
    return tables;
}

} // namespace db
