#pragma once

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <span>
#include <variant>
#include <vector>

namespace schema {
struct Step;
}

// The one routine by which the program reads and writes Norva.db: a fresh
// connection per operation, one statement, rows walked forward, closed again.
namespace db {

// What went wrong, whichever engine keeps the file: the engine's own codes are
// told apart once, where the engine is called.
enum class ErrorKind {
    Other,  // nothing the user can act on, or not raised by the engine
    Busy,   // another program holds the lock past the wait
    Locked, // a table is in use on the same connection
    ReadOnly,
    Full, // no room left on the disk
    Damaged,
    NotADatabase,
    Constraint,
    CannotOpen,  // the file or its folder is missing or out of reach
    Denied,      // no permission
    InputOutput, // a read or write of the file itself failed
    // A server's only:
    BadPassword,    // none given where the server asks for one, or not the right one
    NoSuchDatabase, // the server has no database of the name given
};

// Why a database file is not used, with what the layer showing it names.
struct FileFault
{
    enum class Kind {
        None,
        Empty,          // a backup of no bytes, or none at all
        NotADatabase,   // not the engine's file at all
        CheckFailed,    // the engine's check found a fault: `detail` is its last finding
        MissingColumns, // `table` lacks `columns`
        Damaged,        // the engine refused it as damaged: `detail` is its text
        Newer,          // saved by a newer build: its `version`, and the `newest` this one knows
        NotUpgraded,    // could not be brought up to this build's version
    };
    Kind kind = Kind::None;
    QString name = {}; // the file's, without its folder
    QString detail = {};
    QString table = {};
    QStringList columns = {};
    int version = 0;
    int newest = 0;

    explicit operator bool() const { return kind != Kind::None; }
};

// A step of the program's own that failed, for the layer that shows it to word;
// None when the engine failed.
enum class Failure {
    None,
    NotOpened,              // `subject`: the database file the engine could not open
    NewerFile,              // Norva.db was saved by a newer build: no connection opens it
    BackupFolderNotMade,    // `subject`: the folder
    BackupFolderNotAFolder, // `subject`: the folder
    BackupFolderReadOnly,   // `subject`: the folder
    CopyNotMade,            // `subject`: the copy
    DamagedNotKept,         // `subject`: the name it was to be kept under
    DamagedJournalNotKept,  // `subject`: the name the file was to be kept under
    NotRemoved,             // `subject`: Norva.db
    NotReplaced,            // `subject`: Norva.db
    NewFileNotMade,         // `subject`: Norva.db
    NoSoundCopy,            // no backup passes the check
    ValueNotRead,           // `subject`: the column whose value could not be converted
    UnknownRecordKind,      // `subject`: the table a record in the trash names, which this build lacks
    NotKeptInTrash,         // a record to be deleted could not be copied into the trash: nothing deleted
    ChosenCopyRefused,      // `fault` says why
    NewestCopyRefused,      // `fault` says why
};

// Thrown by every failed step. `description` is the engine's or the system's own
// text (empty when a value could not be converted, or when a step of the
// program's own failed for a reason of its own); `message` names the kind of failure.
struct Error
{
    QString description;
    QString message;
    ErrorKind kind = ErrorKind::Other;
    Failure failure = Failure::None;
    QString subject = {}; // the file, folder or column it names
    FileFault fault = {};
};

QString fileName(); // "Norva.db", in the working directory

// True when Norva.db is there but this user cannot write it or the folder it
// is in: it is then opened read-only, so lists and the report still work.
// Always false while a server is the current database.
bool isReadOnly();

// Which engine keeps the records, and where: every connection opens one.
struct Database
{
    enum class Engine { Sqlite, Postgres };
    Engine engine = Engine::Sqlite;
    QString path; // the engine's file
    bool readOnly = false;
    // The server's: a libpq conninfo ("host=... dbname=...") or a postgresql:// URL.
    // It may hold a password: an Error names the server without it.
    QString connection = {};

    QString engineVersion() const; // the engine's name and version: "SQLite 3.40.1"
    bool isServer() const { return engine == Engine::Postgres; }
    // How the user knows it: the file's name, or the server's "database@host", never a password.
    QString shownName() const;
    // A server's connection text without its password, for a command the user runs.
    QString shownConnection() const;

    // The database every Connection() opens: Norva.db in the working folder, read-only when this
    // user cannot write it (see isReadOnly), unless a server was chosen.
    static Database current();
    // Makes `database` the current one, for the rest of the run: a server, or Norva.db again
    // with Database::file(fileName()).
    static void choose(const Database &database);
    // Another file of the engine's: a backup or a copy about to be checked or put in place.
    static Database file(const QString &path, bool readOnly = false);
    // A PostgreSQL server, reached through `connection`.
    static Database server(const QString &connection);
};

class Rows;
class PreparedQuery;
class Value;

// The engine's own side of a connection and a statement (data/Engine.h), known
// only inside the access routine.
namespace engine {
class Connection;
class Statement;
void bind(Statement &statement, const QList<Value> &values);
} // namespace engine

// One value for a '?' of a statement: a text or an integer. Values are bound,
// never pasted into the statement, so they are stored and matched exactly as
// they are, quotes and all.
class Value
{
public:
    Value(const QString &text) : m_value(text) {}
    Value(qint64 number) : m_value(number) {}
    Value(int number) : m_value(qint64(number)) {}

private:
    friend void engine::bind(engine::Statement &statement, const QList<Value> &values);
    std::variant<QString, qint64> m_value;
};
using Values = QList<Value>; // one per '?', in order

// A list's statement, its values and the column whose text the list shows.
struct ListQuery
{
    QString statement;
    Values values;
    const char *textColumn;
    // What the rows are shown in the order of, for a list not sorted by its texts: the order a file
    // gives them in, which a server keeps only when asked. Appended after the statement when it is run.
    const char *order = nullptr;
};

class Connection;
// Whether `name` is the text of one of the list's rows, or empty while the list has none: what a field
// offering the list may hold. One query however long the list; its statement ends in its WHERE clause.
bool isOffered(Connection &connection, const ListQuery &list, const QString &name);

class Connection
{
public:
    Connection(); // opens Database::current(); throws Error
    explicit Connection(const Database &database);
    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    // INSERT, UPDATE, DELETE: the rows changed.
    int execute(const char *statement, const Values &values = {});
    int execute(const QString &statement, const Values &values = {});
    // SELECT, forward only.
    Rows query(const char *statement, const Values &values = {});
    Rows query(const QString &statement, const Values &values = {});
    // A statement to be run many times with new values: prepared once.
    PreparedQuery prepare(const char *statement);

    Database::Engine engine() const { return m_kind; }

private:
    friend class Transaction;
    std::unique_ptr<engine::Connection> m_engine;
    Database::Engine m_kind;
};

// The rows of one query, walked forward. Columns are asked for by name, a
// string literal (compared without case, like the column names of the
// statement); each is looked up once per statement and then known by address.
class Rows
{
public:
    Rows(Rows &&other) noexcept;
    Rows &operator=(Rows &&) = delete;
    Rows(const Rows &) = delete;
    ~Rows();

    bool atEnd() const { return m_atEnd; }
    void moveNext();

    // A NULL, which tables another program made may hold, reads as empty text.
    QString text(const char *column) const;
    // The text a list shows of a row, which a NULL has none of: throws Error,
    // with an empty description, on NULL.
    QString listedText(const char *column) const;
    // The same as its stored UTF-8 bytes, undecoded, for a list that keeps them
    // as they are; good until the next step.
    QByteArrayView listedUtf8(const char *column) const;
    // The stored UTF-8 bytes of the statement's column at `index` (from 0),
    // undecoded, for copying into a file as they are; good until the next
    // step. A NULL gives a null view.
    QByteArrayView utf8(int index) const;
    qint32 rowId() const; // column "RowId"

private:
    friend class Connection;
    friend class PreparedQuery;
    struct TextCache;
    struct Column
    {
        const char *name;
        int index;
        std::unique_ptr<TextCache> texts; // made once the walk is long enough
    };

    Rows(engine::Statement *statement, bool reused = false);
    Column &column(const char *name) const;
    QString decoded(Column &column, QByteArrayView utf8) const; // a null view is a NULL
    void step();
    void release();

    engine::Statement *m_statement;
    bool m_reused; // the statement belongs to a PreparedQuery: reset, not finalised
    bool m_atEnd = false;
    mutable std::vector<Column> m_columns;
    int m_row = 0;
};

// A statement prepared once on a connection and run again for new values of
// its '?'s. Each run's Rows must be gone before the next run.
class PreparedQuery
{
public:
    PreparedQuery(PreparedQuery &&other) noexcept;
    PreparedQuery &operator=(PreparedQuery &&) = delete;
    PreparedQuery(const PreparedQuery &) = delete;
    ~PreparedQuery();

    Rows query(const Values &values);
    Rows query(const QString &value) { return query(Values{value}); }
    int execute(const Values &values); // rows changed

private:
    friend class Connection;
    explicit PreparedQuery(std::unique_ptr<engine::Statement> statement);

    std::unique_ptr<engine::Statement> m_statement;
};

// A transaction on one connection. It takes the write lock at once (waiting for
// another program as long as any statement does), so a long run of writes
// never fails half-way on a lock; unless committed it is rolled back, leaving
// the file as it was.
class Transaction
{
public:
    explicit Transaction(Connection &connection); // throws Error
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    void commit(); // throws Error; the transaction is over either way

private:
    Connection &m_connection;
    bool m_open = true;
};

// Creates the database file (owner-only), or brings an existing one up to the
// current version, making again whichever of its tables is missing.
// Returns false, touching nothing, when that cannot be done; a file written by
// a newer build is refused, `refusal` says so, and no connection opens it.
bool ensureSchema(FileFault *refusal = nullptr);
// The same through steps of its own (schema::kSteps and steps not shipped yet, say).
bool ensureSchema(std::span<const schema::Step> steps, FileFault *refusal = nullptr);

// Brings a server's layout up to this build's version, in one transaction under a lock a second
// desk waits for; a newer layout is refused in `refusal` and left as it is. Throws Error.
void prepareServer(const Database &server, FileFault *refusal = nullptr);

// Brings the database at `path`, a file of its own (a copy about to be put in
// Norva.db's place), up to the current version. False when that cannot be
// done; for a file of a newer build `refusal` says so, naming it `shownName`.
bool bringUpToDate(const QString &path, const QString &shownName, FileFault *refusal);

} // namespace db
