#pragma once

#include "core/Result.h"
#include "data/Database.h"

#include <QSet>

#include <optional>
#include <type_traits>
#include <vector>

namespace core {

// The records of a file that are new: equal (by `keyOf`) neither to a saved
// one nor to one before them in the file. `same` counts the others, so that a
// file taken in twice adds nothing the second time.
template <typename Record>
struct NewRecords
{
    std::vector<Record> records;
    qsizetype same = 0;
};

template <typename Record, typename KeyOf>
NewRecords<Record> leaveOutSaved(const std::vector<Record> &read, const std::vector<Record> &saved, KeyOf keyOf)
{
    QSet<std::invoke_result_t<KeyOf, const Record &>> seen;
    for (const Record &record : saved)
        seen.insert(keyOf(record));
    NewRecords<Record> fresh;
    for (const Record &record : read) {
        const qsizetype before = seen.size();
        seen.insert(keyOf(record));
        if (seen.size() > before)
            fresh.records.push_back(record);
        else
            ++fresh.same;
    }
    return fresh;
}

// Records that are added and deleted, never changed (contacts, links): each
// step on a connection of its own through `Store`.
template <typename Store, typename Record>
struct AddedAndDeleted
{
    static std::optional<Record> find(qint32 rowId) // nothing when gone meanwhile
    {
        db::Connection connection;
        return Store(connection).find(rowId);
    }
    // The same on the connection a list was just read on, as a dialog opens.
    static std::optional<Record> find(db::Connection &listed, qint32 rowId) { return Store(listed).find(rowId); }
    static std::vector<Record> all()
    {
        db::Connection connection;
        return Store(connection).all();
    }
    static Change add(const Record &record)
    {
        db::Connection connection;
        return changeOf(Store(connection).add(record));
    }
    static Change remove(qint32 rowId) // into the trash
    {
        db::Connection connection;
        return changeOf(Store(connection).remove(rowId), rowId);
    }
};

// How many of the records read from a file are saved already, counted
// before the user is asked whether to add the rest.
template <typename Store, typename Record, typename KeyOf>
qsizetype countSavedRecords(const std::vector<Record> &read, KeyOf keyOf)
{
    if (read.empty())
        return 0;
    db::Connection connection;
    return leaveOutSaved(read, Store(connection).all(), keyOf).same;
}

// Adds the new ones of the records read through `Store`, in one transaction:
// all or none. Compared again under the write lock: another copy of the
// program may have added some since they were counted.
template <typename Store, typename Record, typename KeyOf>
NewRecords<Record> addNewRecords(const std::vector<Record> &read, KeyOf keyOf)
{
    db::Connection connection;
    db::Transaction transaction(connection);
    Store store(connection);
    NewRecords<Record> fresh = leaveOutSaved(read, store.all(), keyOf);
    for (const Record &record : fresh.records)
        store.add(record);
    transaction.commit();
    return fresh;
}

} // namespace core
