#pragma once

#include "data/Database.h"
#include "data/Totals.h"

#include <QString>

#include <optional>
#include <vector>

// One income or expense entry, a row of GelirGider. Every value is text as
// stored; the date parts are bare numbers ("3", "2024").
struct Entry
{
    qint32 rowId = -1;
    QString kind;     // IslemTuru: "Gelir" or "Gider"
    QString day;      // Gun
    QString month;    // Ay
    QString year;     // Yil
    QString source;   // IslemKaynagi: the company's name
    QString amount;   // IslemTutari: "1250.00" when added, "1250.000000" after an edit
    QString currency; // TutarBirimi: "Lira", "Dolar" or "Euro"
    QString rate;     // GecerliKur
    QString vatRate;  // KdvOrani
    QString category; // IslemCesidi: the category's name
    QString content;  // IslemIcerigi
    QString note;     // IslemNotu
    QString invoice;  // FaturaNo

    bool operator==(const Entry &) const = default;
};

// The entries of one kind that a month's report lists, read one at a time in
// the order stored.
class ReportEntries
{
public:
    // The next entry with what the report shows of it: source, amount,
    // currency, rate, VAT rate, category, content, note and, for an expense,
    // the invoice number. Nothing after the last. Throws db::Error.
    std::optional<Entry> next();

private:
    friend class EntryStore;
    ReportEntries(db::Rows rows, const QString &kind) : m_rows(std::move(rows)), m_kind(kind) {}

    db::Rows m_rows;
    QString m_kind;
};

// The entries in GelirGider. Every step throws db::Error.
class EntryStore
{
public:
    explicit EntryStore(db::Connection &connection) : m_connection(connection) {}

    int add(const Entry &entry);            // rows changed
    qint32 addNumbered(const Entry &entry); // the same, giving the new entry's RowId
    // The entry read whole; nothing when the row is gone. `forUpdate`, in a transaction: no second
    // writer changes the row until the transaction ends.
    std::optional<Entry> find(qint32 rowId, bool forUpdate = false);
    // Writes what the entries table edits: amount, rate, VAT rate, content,
    // note, currency, date and invoice number. The kind, source and category
    // stay as they are. Rows changed (0: gone meanwhile).
    int update(const Entry &entry);
    int remove(qint32 rowId); // into the trash; rows changed (0: gone meanwhile)
    // The entries in "Dolar" or "Euro", read whole, of a kind ("Gelir", "Gider"; anything else both),
    // month and year (0: any), in stored order. `forUpdate` as for find().
    std::vector<Entry> foreignEntries(const QString &kind, int month, int year, bool forUpdate = false);

    // Kind, amount, currency and rate of every entry of a month (1 to 12) and
    // a year; 0 for either takes every month or year.
    std::vector<ledger::EntryAmount> periodAmounts(int month, int year);
    // The entries of a kind in a month and a year, for the report; 0 or less
    // for either takes every month or year.
    ReportEntries reportEntries(const QString &kind, int month, int year);

    // The entries list: every entry's source by kind ("Gelir" or "Gider";
    // anything else lists both), month and year (0: any), in stored order.
    static db::ListQuery list(const QString &kind, int month, int year);
    // Every column but RowId of each entry a `list` names, in the order of the
    // table's description and in stored order.
    db::Rows listedRows(const db::ListQuery &listed);

private:
    db::Connection &m_connection;
    // Prepared at its first use: a run of edits in one transaction prepares it once.
    std::optional<db::PreparedQuery> m_update;
};
