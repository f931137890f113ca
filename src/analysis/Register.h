#pragma once

#include "data/Money.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <string>
#include <vector>

namespace db {
class Connection;
}

namespace analysis {

class TextMatcher;

// Which entries the register shows. A date is yyyymmdd (20240312); 0 leaves that end open.
struct RegisterFilter
{
    int from = 0;
    int to = 0;
    QString kind;     // "Gelir", "Gider"; empty: both
    QString company;  // as stored; empty: any
    QString category; // as stored; empty: any
    QString text;     // found in any column shown, case aside the Turkish way; empty: any
};

// Every entry as one row of the register, with its value in lira and the running balance. The stored
// bytes are kept as they are, and a cell is made into text only when it is asked for: a long ledger
// opens at once, and sorts by keys made once per column.
class Register
{
public:
    enum Column { Date, Kind, Company, Category, Content, Invoice, Amount, Lira, Balance, ColumnCount };

    static QStringList captions();

    // Reads every entry: one walk. Throws db::Error.
    void load(db::Connection &connection);

    // Shows the entries `filter` names, in date order, the balance running over them.
    void setFilter(const RegisterFilter &filter);
    // Orders the shown rows by a column; equal rows stay in date order. The balance still runs in date
    // order: each row keeps its own.
    void sort(Column column, bool descending);

    int rowCount() const { return int(m_shown.size()); }
    QString text(int row, Column column) const;
    qint32 rowId(int row) const;
    bool isNegative(int row, Column column) const; // an amount or balance below zero
    bool hasLira(int row) const;

    // Of the rows shown: how many have no usable rate, whose amount cannot be read, both left out of the
    // balance, and the balance after the last of them in date order.
    int withoutRate() const { return m_withoutRate; }
    int unreadable() const { return m_unreadable; }
    ledger::WideKurus finalBalance() const { return m_finalBalance; }

    // The companies and categories the entries name, in Turkish order, for the filters.
    QStringList companies() const;
    QStringList categories() const;

    // The captions and every shown row as shown, for a file.
    QList<QStringList> table() const;

private:
    enum Field {
        KindText,
        Day,
        Month,
        Year,
        Source,
        CategoryText,
        ContentText,
        InvoiceText,
        AmountText,
        Currency,
        FieldCount
    };
    enum class EntryKind : quint8 { Income, Expense, Other };
    enum class Value : quint8 { Known, NoRate, Unreadable };

    struct Row
    {
        qint32 rowId;
        qint32 date;                   // yyyymmdd; 0 when a part is not a date's
        quint32 field[FieldCount + 1]; // where each field begins in m_bytes; the last is the end
        ledger::WideKurus lira;
        ledger::WideKurus balance;
        EntryKind kind;
        Value value;
    };

    QByteArrayView bytes(const Row &row, Field field) const;
    QString decoded(const Row &row, Field field) const;
    QString cellText(const Row &row, Column column) const;
    bool matchesText(const Row &row, const TextMatcher &matcher) const;
    QStringList distinct(Field field) const;
    const Row &shownRow(int row) const { return m_rows[size_t(m_shown[size_t(row)])]; }

    std::string m_bytes;      // every kept field of every entry, one after another
    std::vector<Row> m_rows;  // in date order, then as stored
    std::vector<int> m_shown; // indexes into m_rows, in the order shown
    int m_sortColumn = Date;
    bool m_descending = false;
    int m_withoutRate = 0;
    int m_unreadable = 0;
    ledger::WideKurus m_finalBalance = 0;
};

} // namespace analysis
