#pragma once

// Private to the access routine: what an engine gives the routine of Database.h.
// Every connection and statement reaches its engine through these two classes,
// so nothing above them knows which engine keeps the records.
#include "data/Database.h"

#include <QByteArrayView>

#include <memory>
#include <optional>

namespace db::engine {

// One prepared statement on its connection. Every failure is thrown as Error.
class Statement
{
public:
    virtual ~Statement() = default;

    // The values of the statement's '?'s, from 1.
    virtual void bindText(int index, QByteArrayView utf8) = 0;
    virtual void bindInteger(int index, qint64 number) = 0;
    virtual int parameterCount() const = 0;

    virtual bool step() = 0;         // true on a row, false at the end
    virtual void reset() = 0;        // ready to run again, with the values bound last
    virtual int changes() const = 0; // the rows the last run changed

    virtual int columnCount() const = 0;
    // The column named `name` (compared without case), or -1.
    virtual int columnIndex(const char *name) const = 0;
    // The current row's value at `index` as stored, in UTF-8: a null view for NULL;
    // good until the next step.
    virtual QByteArrayView utf8(int index) const = 0;
    // The value at `index` when it is stored as an integer.
    virtual std::optional<qint64> integer(int index) const = 0;
};

// An open database. Every failure is thrown as Error.
class Connection
{
public:
    virtual ~Connection() = default;

    // Exactly one statement: an empty one, or one followed by another, is refused
    // (emptyStatement, severalStatements).
    virtual std::unique_ptr<Statement> prepare(QByteArrayView utf8) = 0;

    // A transaction that holds the write lock from the start.
    virtual void beginWriting() = 0;
    virtual void commit() = 0;
    virtual void rollBack() noexcept = 0; // ends the transaction, whatever happened to it
};

// Opens `database` with the engine it names; throws Error naming its file.
std::unique_ptr<Connection> open(const Database &database);

// The engine's own words for a file it will not open.
QString cannotOpenText(const Database &database);

// The refusals of a statement, with the engine's words for them as the message.
Error emptyStatement(const QString &message);
Error severalStatements(const QString &message);

} // namespace db::engine
