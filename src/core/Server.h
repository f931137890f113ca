#pragma once

#include "core/Result.h"
#include "data/Database.h"
#include "data/RecordCopy.h"

#include <QString>

#include <array>

namespace core {

// Where a PostgreSQL server is, as the user names it. The password is never kept with it:
// libpq reads it from ~/.pgpass, or the program asks once per run.
struct ServerAddress
{
    enum class Tls {
        Prefer,     // when the server offers it
        Require,    // always; refused by a server without it
        VerifyFull, // always, and the server's certificate and name checked
    };
    QString host;
    int port = 5432;
    QString database;
    QString user;
    Tls tls = Tls::Prefer;

    // libpq's connection text, each value quoted; `password` for this run only.
    QString connection(const QString &password = {}) const;
};

// A database server for an office: trying it, taking it into use, and moving Norva.db's
// records onto it.
class Server
{
public:
    enum class Refusal {
        NotReached,    // no server answered
        NeedsPassword, // the server asks for a password and none was given
        WrongPassword, // the one given was refused
        NoDatabase,    // no database of that name
        NoRights,      // no right to connect, to the tables, or to make them
        NewerLayout,   // a newer build's layout: `newerVersion` and this build's
        HasRecords,    // a copy goes only into an empty database
        Other,         // the server's own words in `detail`
    };
    struct Outcome
    {
        Result<Refusal> result;
        QString detail = {}; // the engine's words, where a refusal has them
        int newerVersion = 0;
        int knownVersion = 0;
    };

    // Connects to `server` and checks, without writing, that it can keep the ledger: its
    // layout no newer than this build's, and the right to read and write its tables (or to
    // make them, where there are none yet).
    static Outcome test(const db::Database &server);

    // Tests `server`, brings its layout up to date and makes it the database of this run.
    static Outcome use(const db::Database &server);

    using Counts = std::array<int, db::kCopiedTables.size()>;
    // Copies every record of the SQLite file `file` (brought up to date first) into `server`,
    // RowIds kept, in one transaction; an empty server database only. `copied` gets the rows
    // per table (db::kCopiedTables).
    static Outcome copyFile(const QString &file, const db::Database &server, Counts *copied);

private:
    static Outcome refusedBy(const db::Error &error, const db::Database &server);
};

} // namespace core
