#pragma once

#include "exchange/AccessFile.h"

#include <QList>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

// Bringing the ledger over from the earlier program's Access file into
// Norva.db: the six tables, every row in one transaction.
namespace exchange {

// One of the six tables: how many rows the file holds and what became of them.
struct TableImport
{
    QString table;   // its name, in Norva.db and in the file
    QString caption; // what it holds, for the user
    int found = -1;  // rows in the file; -1 when the file lacks the table
    int added = 0;
    int skipped = 0; // equal to a record already there
};

struct ImportResult
{
    QList<TableImport> tables;
    QString safetyCopy; // the copy of Norva.db kept before its records were replaced
    bool keptRowIds = false;
    bool cancelled = false;     // nothing was written
    bool damageNoticed = false; // the reader found parts of the file damaged, yet read every row
    // Entries brought as they are that the totals cannot take: an amount that is no number
    // stops its month's totals, another currency than Lira, Dolar or Euro is left out of them.
    int amountsNotNumbers = 0;
    int unknownCurrencies = 0;
};

// What became of each table, a line each, for the end box and the terminal.
QStringList resultLines(const ImportResult &result);
// The rows the file holds, a line per table.
QStringList foundLines(const QList<TableImport> &tables);

// While a master password is set, memberships' values (all but the place)
// are sealed as they are written, and what is there is opened to be compared.
struct ValueSealing
{
    std::function<QString(const QString &value, const char *column)> seal;
    // Nothing when a stored value does not open.
    std::function<std::optional<QString>(const QString &stored, const char *column)> open;
};

// How a value the file holds as a number or a date becomes the text this
// program writes into a column.
enum class ColumnRole { Plain, Amount, Day, Month, Year };
QString importedText(ColumnRole role, Kind kind, const QString &text);

class AccessImport
{
public:
    // Reads the six tables of the file whole and closes it; throws AccessError,
    // naming a table that lacks a column this program needs.
    explicit AccessImport(const QString &path);
    ~AccessImport();

    QString formatName() const { return m_formatName; }
    const QList<TableImport> &tables() const { return m_tables; }
    int rowsFound() const; // in the tables the file has

    // Whether Norva.db holds any record; throws db::Error.
    static bool databaseHasRecords();

    enum class Mode {
        Add,     // new RowIds; a row equal to one already there is skipped
        Replace, // the six tables' rows make way for the file's, RowIds kept
    };
    // Called as rows are written with the number so far and the total; returning false cancels.
    using Progress = std::function<bool(int written, int total)>;

    // Writes everything in one transaction: a failure, a lock held past the wait or a cancel
    // leave Norva.db as it was. Into a Norva.db without records the file's rows come
    // with their RowIds, whichever the mode. Replacing records keeps a copy of Norva.db
    // first. Throws db::Error.
    // `sealing`: given while a master password is set.
    ImportResult run(Mode mode, const Progress &progress = {}, const ValueSealing *sealing = nullptr);

    // Whether the file brings memberships, which a master password seals.
    bool hasMemberships() const;

private:
    struct Read;
    std::unique_ptr<Read> m_read;
    QString m_formatName;
    QList<TableImport> m_tables;
    bool m_damageNoticed = false;
    int m_amountsNotNumbers = 0;
    int m_unknownCurrencies = 0;
};

} // namespace exchange
