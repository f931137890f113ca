#pragma once

#include "data/Database.h"
#include "data/EntryStore.h"

#include <QDate>
#include <QString>

#include <optional>
#include <vector>

// How often a recurring entry falls due, and for how long.
struct Recurrence
{
    enum class Unit { Months, Weeks, Years };
    Unit unit = Unit::Months;
    int every = 1; // every N months, weeks or years
    int day = 1;   // months and years: the day of the month (1 to 31); weeks: the weekday (1 Monday to 7 Sunday)
    int month = 1; // years: the month (1 to 12)
    QDate start;
    QDate end;     // the last day it may fall on; none when not valid
    int times = 0; // how many times in all; 0 for no limit

    bool operator==(const Recurrence &) const = default;
};

// A template of RecurringEntries: an entry's fields (its date aside) and its rule.
struct RecurringTemplate
{
    qint32 rowId = -1;
    Entry entry; // kind, source, amount, currency, rate, VAT rate, category, invoice, content, note
    Recurrence rule;
    // Every occurrence on or before this day was recorded, skipped or given up by an edit of the
    // rule; not valid while none was.
    QDate doneThrough;

    bool operator==(const RecurringTemplate &) const = default;
};

// One day a template falls on.
struct Occurrence
{
    qint32 templateId;
    QDate date;
};

// The templates in RecurringEntries and their occurrences in RecurringOccurrences. Every step
// throws db::Error.
class RecurringStore
{
public:
    enum class Outcome { Recorded, Skipped };

    explicit RecurringStore(db::Connection &connection) : m_connection(connection) {}

    std::vector<RecurringTemplate> all(); // in the order added
    // Nothing when gone. `forUpdate`, in a transaction: no second writer changes it until the end.
    std::optional<RecurringTemplate> find(qint32 rowId, bool forUpdate = false);
    int add(const RecurringTemplate &recurring);    // rows changed
    int update(const RecurringTemplate &recurring); // rows changed (0: gone meanwhile)
    int remove(qint32 rowId);                       // into the trash; its occurrences stay
    int setDoneThrough(qint32 rowId, const QDate &day);

    // Every template's occurrences handled after its DoneThrough, by template and date.
    std::vector<Occurrence> openOccurrences();
    // One template's handled occurrences after `after` (every one when not valid), by date.
    std::vector<QDate> handled(qint32 rowId, const QDate &after);
    QDate lastHandled(qint32 rowId); // not valid while none was
    // Writes the occurrence unless another desk wrote it first: false then, and nothing changes.
    bool mark(qint32 rowId, const QDate &day, Outcome outcome);

private:
    db::Connection &m_connection;
};
