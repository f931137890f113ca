#pragma once

#include "core/Server.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QWidget;

// Which database this desk keeps its records in: Norva.db in the working folder, or a
// PostgreSQL server. The choice is kept in the settings; a server's password never is.
struct DatabaseChoice
{
    bool server = false;
    core::ServerAddress address;

    static DatabaseChoice stored();
    void store() const;
};

// Chooses the database of this run before anything opens one: NORVA_DATABASE_URL, else
// --server among `arguments` (libpq's PG* variables say which), else the stored choice.
// Nothing is connected yet. The server's address when it came from the settings: a password
// can be asked for it.
std::optional<core::ServerAddress> chooseDatabaseAtStart(const QStringList &arguments);

// Connects to `server`, brings its layout up to date and makes it the database of this run.
// Where the server asks for a password and the server came from `address`, it is asked for
// (again, when refused) and kept for this run only. False after a box has said why.
bool useServer(QWidget *owner, const db::Database &server, const std::optional<core::ServerAddress> &address);

// `address` with the password given this run, if any.
db::Database serverAt(const core::ServerAddress &address);

// Runs `step` on `server` off the window (see whileWindowWaits). Where the server asks for a
// password and `address` names it, the password is asked for (again, when refused), kept for this
// run, and the step runs again; `server` ends as the one the step last ran on.
using ServerStep = std::function<core::Server::Outcome(const db::Database &)>;
core::Server::Outcome withPassword(QWidget *owner, db::Database &server,
                                   const std::optional<core::ServerAddress> &address, const ServerStep &step);

// Runs `step` (a server's connection, which can take the connect timeout) on a thread of its own
// while the window keeps painting, with the wait cursor; user input waits meanwhile.
core::Server::Outcome whileWindowWaits(const std::function<core::Server::Outcome()> &step);

// Why a server was not used, in Turkish.
QString serverRefusalText(const core::Server::Outcome &outcome);

// Where this run keeps the records, for the About box and the status bar: the folder Norva.db is
// in, or the server.
QString recordsPlace();
