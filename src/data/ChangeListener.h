#pragma once

#include "data/Database.h"

#include <QStringList>

#include <memory>

// Hearing, on a connection of its own, that another desk changed a server's records: every
// table the program keeps tells its changes when they are committed (PostgreSQL's LISTEN and
// NOTIFY). A file has no such thing: its lists are read again when they are used.
namespace db {

class ChangeListener
{
public:
    explicit ChangeListener(const Database &server); // throws Error
    ~ChangeListener();
    ChangeListener(const ChangeListener &) = delete;
    ChangeListener &operator=(const ChangeListener &) = delete;

    // The socket to wait on for the server's messages.
    int socket() const;
    // The tables changed since the last call, as the server names them (in lower case), each once;
    // empty when none. Reads what the socket holds without waiting; throws Error when the
    // connection is gone.
    QStringList takeChanges();

private:
    struct Server;
    std::unique_ptr<Server> m_server;
};

} // namespace db
