#pragma once

#include "data/Database.h"
#include "data/Schema.h"

#include <QDateTime>
#include <QString>

#include <optional>
#include <vector>

// A deleted record waiting in the trash, as its list shows it.
struct TrashItem
{
    qint32 rowId = -1;   // the trash's own RowId
    QString kind;        // Kind: the table the record came from ("Firmalar", "GelirGider", ...)
    QString summary;     // Summary: one line naming the record
    QDateTime deletedAt; // DeletedAt, in UTC
};

// A record put back where it came from.
struct RestoredRecord
{
    QString kind;    // its table
    qint64 oldRowId; // the RowId it had when it was deleted
    qint32 rowId;    // the RowId it has now: a new one where the old one was taken meanwhile
};

// The trash (table Trash): every delete the program offers copies its row
// here first, in the same transaction, so nothing a user deletes is lost
// beyond recall. Every step throws db::Error.
class TrashStore
{
public:
    explicit TrashStore(db::Connection &connection) : m_connection(connection) {}

    // Runs `remove` (a DELETE from `table` with `values`) after copying the rows
    // it deletes into the trash, in one transaction: each row deleted is in the
    // trash, or nothing changes. Rows deleted.
    static int removeKeeping(db::Connection &connection, const schema::Table &table, const char *remove,
                             const db::Values &values);

    std::vector<TrashItem> list(); // newest first
    // Puts the record back under its old RowId, or a new one where that is
    // taken, and takes it out of the trash, in one transaction. Nothing when it
    // is no longer in the trash.
    std::optional<RestoredRecord> restore(qint32 rowId);
    // Both keep a copy of Norva.db beside it first (see db::keepCopy). Rows removed.
    int removeForever(qint32 rowId);
    int empty();
    // Drops what was deleted more than `days` days ago. Rows removed.
    int purgeOlderThan(int days);

private:
    db::Connection &m_connection;
};
