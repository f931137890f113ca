#pragma once

#include "core/Result.h"
#include "data/TrashStore.h"

#include <vector>

namespace core {

// The trash: what was deleted in the last 30 days, put back or removed for good.
class Trash
{
public:
    // How long a deleted record waits in the trash.
    static constexpr int kKeptDays = 30;

    static std::vector<TrashItem> list(); // newest first
    // What a record of a table is called, "Firma" for one of Firmalar; the table's name
    // for one the program does not know.
    static QString recordName(const QString &kind);

    // A record put back: done with the RowId it has now (a new one where its old one was
    // taken meanwhile), or gone when it is no longer in the trash.
    struct Restore
    {
        Change change;
        qint64 oldRowId = -1; // the RowId it had when it was deleted
        bool renumbered() const { return change.isDone() && change.rowId != oldRowId; }
    };
    static Restore restore(qint32 trashRowId);

    // Both keep a copy of Norva.db beside it first.
    static Change removeForever(qint32 trashRowId);
    static Change empty(); // done, however many were there

    // Drops what waited longer than kKeptDays; nothing on a file that cannot be written.
    static void purgeExpired();
};

} // namespace core
