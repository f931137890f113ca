#pragma once

#include "core/Result.h"
#include "data/Database.h"
#include "data/EntryStore.h"
#include "data/Money.h"
#include "data/MonthlyReport.h"
#include "data/Totals.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>
#include <variant>

namespace core {

// The field of an entry that keeps it from being stored.
enum class EntryRefusal {
    Amount,   // not an amount parseAmount() reads
    Rate,     // not a rate; "Dolar" and "Euro" need one above 0
    VatRate,  // neither empty nor a whole number from 0 to 100
    Kind,     // neither "Gelir" nor "Gider"
    Source,   // no company that can stand on that side of the kind
    Category, // no category of the kind
};

// The amount of an entry once its amount, exchange rate and VAT rate are fit
// to store: the amount as parseAmount() reads it, the rate a '.'-decimal
// (above 0 for "Dolar" and "Euro"; for the other currencies it may also be
// left empty), the VAT rate empty or a whole number from 0 to 100. Otherwise
// the first field that is wrong.
std::variant<ledger::Kurus, EntryRefusal> checkEntryNumbers(const QString &amount, const QString &currency,
                                                            const QString &rate, const QString &vatRate);

// Why `entry` may not be recorded, checked as Entries::add does on `connection` (a recurring
// entry's template and each of its occurrences go through the same checks); nothing when it may.
std::optional<EntryRefusal> entryRefusal(db::Connection &connection, const Entry &entry);
// Records `entry` after those checks, on the caller's connection and in its transaction: for a
// writer that records several entries and more besides, all or none. Done with the new entry's RowId.
Result<EntryRefusal> addEntry(db::Connection &connection, const Entry &entry);
// What the entries table's "Kaydet" does inside the caller's transaction on `store`'s connection,
// given the row as stored `now` (read for update): the numbers checked, the amount stored with six
// decimals; Changed, writing nothing, when the stored row is no longer `original`, Gone when it is
// not there.
Result<EntryRefusal> updateEntry(EntryStore &store, const std::optional<Entry> &now, const Entry &original,
                                 const Entry &entry);

// The income and expense entries.
class Entries
{
public:
    // Records a new entry after checking its numbers, its kind, its company (a
    // customer for "Gelir", a supplier for "Gider"; empty only while there is
    // none of them) and its category (one of the kind's; empty only while the
    // kind has none). The amount is stored with two decimals.
    Result<EntryRefusal> add(const Entry &entry);
    // Writes what the entries table edits (see EntryStore::update) after
    // checking the numbers; the amount is stored with six decimals. Changed,
    // writing nothing, when the stored row is no longer `original`, the entry
    // as the window showed it.
    Result<EntryRefusal> update(const Entry &original, const Entry &entry);
    Change remove(qint32 rowId); // into the trash

    // The entry read whole; nothing when it is gone.
    std::optional<Entry> find(qint32 rowId);

    // The companies an entry of `kind` can name, in Turkish order.
    QStringList sources(const QString &kind);

    // The entries listed by kind ("Gelir", "Gider", anything else both), month and year (0: any).
    static db::ListQuery list(const QString &kind, int month, int year);
    // Those entries as a CSV file, every column as stored.
    QByteArray listedCsv(const QString &kind, int month, int year);

    // The income and expense of a month and a year (0: any); nothing when an
    // amount of the period cannot be read.
    std::optional<ledger::Totals> totals(int month, int year);
    // A month's report; a failure half-way is in its `error`, with the text built so far.
    MonthlyReport monthlyReport(int month, const QString &yearText);
};

} // namespace core
