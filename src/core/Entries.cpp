#include "core/Entries.h"

#include "data/CategoryStore.h"
#include "data/CompanyStore.h"
#include "data/Kinds.h"
#include "exchange/CsvFile.h"

namespace core {

namespace {

QStringList sourcesOf(db::Connection &connection, const QString &kind)
{
    CompanyStore companies(connection);
    return kind == ledger::income() ? companies.incomeSources() : companies.expenseSources();
}

} // namespace

std::variant<ledger::Kurus, EntryRefusal> checkEntryNumbers(const QString &amount, const QString &currency,
                                                            const QString &rate, const QString &vatRate)
{
    const auto kurus = ledger::parseAmount(amount);
    if (!kurus)
        return EntryRefusal::Amount;
    const auto perUnit = ledger::parseRate(rate);
    const bool rateFits = ledger::isForeign(currency) ? perUnit && *perUnit > 0 : perUnit || rate.trimmed().isEmpty();
    if (!rateFits)
        return EntryRefusal::Rate;
    if (!ledger::isVatRate(vatRate))
        return EntryRefusal::VatRate;
    return *kurus;
}

std::optional<EntryRefusal> entryRefusal(db::Connection &connection, const Entry &entry)
{
    const auto checked = checkEntryNumbers(entry.amount, entry.currency, entry.rate, entry.vatRate);
    if (const auto *refusal = std::get_if<EntryRefusal>(&checked))
        return *refusal;
    if (!ledger::isKind(entry.kind))
        return EntryRefusal::Kind;
    if (!db::isOffered(connection, CompanyStore::sources(entry.kind), entry.source))
        return EntryRefusal::Source;
    if (!db::isOffered(connection, CategoryStore::list(entry.kind), entry.category))
        return EntryRefusal::Category;
    return std::nullopt;
}

Result<EntryRefusal> addEntry(db::Connection &connection, const Entry &entry)
{
    if (const std::optional<EntryRefusal> refusal = entryRefusal(connection, entry))
        return Result<EntryRefusal>::refused(*refusal);
    Entry stored = entry;
    stored.amount = ledger::amountText(*ledger::parseAmount(entry.amount), 2);
    return Result<EntryRefusal>::done(EntryStore(connection).addNumbered(stored));
}

Result<EntryRefusal> Entries::add(const Entry &entry)
{
    db::Connection connection;
    // Checked and written under one write lock: the company or the category
    // cannot go between the look-up and the insert.
    db::Transaction transaction(connection);
    const Result<EntryRefusal> result = addEntry(connection, entry);
    if (result.isDone())
        transaction.commit();
    return result;
}

Result<EntryRefusal> updateEntry(EntryStore &store, const std::optional<Entry> &now, const Entry &original,
                                 const Entry &entry)
{
    const auto checked = checkEntryNumbers(entry.amount, entry.currency, entry.rate, entry.vatRate);
    if (const auto *refusal = std::get_if<EntryRefusal>(&checked))
        return Result<EntryRefusal>::refused(*refusal);
    Entry stored = entry;
    stored.amount = ledger::amountText(std::get<ledger::Kurus>(checked), 6);
    if (!now)
        return Result<EntryRefusal>::gone();
    if (*now != original)
        return Result<EntryRefusal>::changed();
    store.update(stored);
    return Result<EntryRefusal>::done(entry.rowId);
}

Result<EntryRefusal> Entries::update(const Entry &original, const Entry &entry)
{
    const auto checked = checkEntryNumbers(entry.amount, entry.currency, entry.rate, entry.vatRate);
    if (const auto *refusal = std::get_if<EntryRefusal>(&checked))
        return Result<EntryRefusal>::refused(*refusal); // refused before a connection is opened
    db::Connection connection;
    db::Transaction transaction(connection);
    EntryStore store(connection);
    const Result<EntryRefusal> result = updateEntry(store, store.find(entry.rowId, true), original, entry);
    if (result.isDone())
        transaction.commit();
    return result;
}

Change Entries::remove(qint32 rowId)
{
    db::Connection connection;
    return changeOf(EntryStore(connection).remove(rowId), rowId);
}

std::optional<Entry> Entries::find(qint32 rowId)
{
    db::Connection connection;
    return EntryStore(connection).find(rowId);
}

QStringList Entries::sources(const QString &kind)
{
    db::Connection connection;
    return sourcesOf(connection, kind);
}

db::ListQuery Entries::list(const QString &kind, int month, int year)
{
    return EntryStore::list(kind, month, year);
}

QByteArray Entries::listedCsv(const QString &kind, int month, int year)
{
    db::Connection connection;
    return exchange::listedEntriesCsv(connection, list(kind, month, year));
}

std::optional<ledger::Totals> Entries::totals(int month, int year)
{
    db::Connection connection;
    return ledger::totalsOf(EntryStore(connection).periodAmounts(month, year));
}

MonthlyReport Entries::monthlyReport(int month, const QString &yearText)
{
    return ::monthlyReport(month, yearText);
}

} // namespace core
