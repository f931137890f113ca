#pragma once

#include <QSet>

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

} // namespace core
