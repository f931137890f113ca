#include "exchange/AccessImport.h"

#include "data/Backup.h"
#include "data/BatchedInsert.h"
#include "data/Database.h"
#include "data/Money.h"
#include "data/TableStatements.h"

#include <QDateTime>
#include <QHash>

using namespace Qt::StringLiterals;

namespace exchange {

namespace {

// Rows written between two reports of progress.
constexpr int kTellEvery = 16;

// Every column but RowId, in the order of Norva.db.
std::span<const schema::Column> fieldsOf(const schema::Table &table)
{
    return table.columns.subspan(1);
}

// The columns the earlier program kept as a number or a date where this one keeps text.
ColumnRole roleOf(const schema::Column &column)
{
    static constexpr struct
    {
        const char *name;
        ColumnRole role;
    } kRoles[] = {{"Gun", ColumnRole::Day},
                  {"Ay", ColumnRole::Month},
                  {"Yil", ColumnRole::Year},
                  {"IslemTutari", ColumnRole::Amount}};
    for (const auto &known : kRoles)
        if (qstrcmp(known.name, column.name) == 0)
            return known.role;
    return ColumnRole::Plain;
}

// A row as one key: each value with its length in front, so no value can run into the next.
QString keyOf(const QStringList &values)
{
    QString key;
    for (const QString &value : values)
        key += QString::number(value.size()) + u':' + value;
    return key;
}

// The rows already in a table, each counted as often as it is there, sealed
// values opened.
QHash<QString, int> rowsIn(db::Connection &connection, const schema::Table &table, const ValueSealing *sealing)
{
    QHash<QString, int> counts;
    for (db::Rows rows = connection.query(sql::selectFields(table).constData()); !rows.atEnd(); rows.moveNext()) {
        QStringList values;
        for (const schema::Column &column : fieldsOf(table)) {
            const QString stored = rows.text(column.name);
            values.append(sealing && column.sealed ? sealing->open(stored, column.name).value_or(stored) : stored);
        }
        ++counts[keyOf(values)];
    }
    return counts;
}

bool hasRecords(db::Connection &connection)
{
    db::Rows rows = connection.query(sql::anyRecords(schema::kLedgerTables).constData());
    return rows.text("Records") != "0"_L1;
}

struct TableRows
{
    qsizetype index; // among the six
    const schema::Table *table;
    QList<qint64> rowIds;
    QList<QStringList> rows;
};

} // namespace

QStringList foundLines(const QList<TableImport> &tables)
{
    QStringList lines;
    for (const TableImport &table : tables) {
        lines.append(table.found < 0 ? u"%1 (%2): dosyada bu tablo yok, atlanacak."_s.arg(table.table, table.caption)
                                     : u"%1 (%2): %3 kayıt"_s.arg(table.table, table.caption).arg(table.found));
    }
    return lines;
}

QStringList resultLines(const ImportResult &result)
{
    QStringList lines;
    for (const TableImport &table : result.tables) {
        if (table.found < 0)
            lines.append(u"%1: dosyada bu tablo yok, atlandı."_s.arg(table.caption));
        else if (table.skipped > 0)
            lines.append(u"%1: %2 kayıt eklendi, %3 kayıt zaten bulunduğu için atlandı."_s.arg(table.caption)
                             .arg(table.added)
                             .arg(table.skipped));
        else
            lines.append(u"%1: %2 kayıt eklendi."_s.arg(table.caption).arg(table.added));
    }
    if (result.amountsNotNumbers > 0)
        lines.append(u"%1 hareketin tutarı sayı değil; bu hareketlerin aylarında toplamlar hesaplanamaz. Tutarları "
                     u"Hareket Tablosu'nda düzeltin."_s.arg(result.amountsNotNumbers));
    if (result.unknownCurrencies > 0)
        lines.append(u"%1 hareketin para birimi Lira, Dolar ya da Euro değil; bu hareketler toplamlara katılmaz. Para "
                     u"birimlerini Hareket Tablosu'nda düzeltin."_s.arg(result.unknownCurrencies));
    if (result.damageNoticed)
        lines.append(u"Dosyanın bazı bölümleri bozuk görünüyor; aktarılan kayıtları gözden geçirin."_s);
    if (!result.safetyCopy.isEmpty())
        lines.append(u"Önceki kayıtların kopyası: %1"_s.arg(result.safetyCopy));
    return lines;
}

QString importedText(ColumnRole role, Kind kind, const QString &text)
{
    if (kind == Kind::Date) {
        const QDateTime when = QDateTime::fromString(text, Qt::ISODate);
        if (!when.isValid())
            return text;
        switch (role) {
        case ColumnRole::Day: return QString::number(when.date().day());
        case ColumnRole::Month: return QString::number(when.date().month());
        case ColumnRole::Year: return QString::number(when.date().year());
        default:
            return when.time() == QTime(0, 0) ? when.toString(u"d.M.yyyy"_s) : when.toString(u"d.M.yyyy H:mm:ss"_s);
        }
    }
    if (kind == Kind::Number && role == ColumnRole::Amount) {
        // Two decimals, as the entry dialog writes; a value with more keeps them all.
        const qsizetype point = text.indexOf(u'.');
        const qsizetype decimals = point < 0 ? 0 : text.size() - point - 1;
        if (decimals <= 2)
            return (point < 0 ? text + u'.' : text) + QString(2 - decimals, u'0');
    }
    return text;
}

struct AccessImport::Read
{
    QList<TableRows> tables; // those the file has
};

AccessImport::AccessImport(const QString &path) : m_read(std::make_unique<Read>())
{
    // Everything is read and checked before anything is written, and before the user chooses.
    AccessFile file(path);
    m_formatName = AccessFile::formatName(file.format());
    for (qsizetype t = 0; t < qsizetype(std::size(schema::kLedgerTables)); ++t) {
        const schema::Table &table = schema::kLedgerTables[t];
        const QString name = file.findTable(QString::fromLatin1(table.name));
        m_tables.append({QString::fromLatin1(table.name), QString::fromUtf16(table.caption), -1});
        if (name.isEmpty())
            continue;
        QStringList asked;
        for (const schema::Column &column : table.columns)
            asked.append(QString::fromLatin1(column.name));
        QList<Kind> kinds;
        const QList<Row> rows = file.rows(name, asked, &kinds);
        TableRows converted{t, &table, {}, {}};
        const std::span<const schema::Column> fields = fieldsOf(table);
        const auto columnOf = [&fields](const char *name) {
            for (qsizetype c = 0; c < qsizetype(fields.size()); ++c)
                if (qstrcmp(fields[c].name, name) == 0)
                    return c;
            return qsizetype(-1);
        };
        const qsizetype amount = columnOf("IslemTutari"), currency = columnOf("TutarBirimi");
        converted.rowIds.reserve(rows.size());
        converted.rows.reserve(rows.size());
        for (const Row &row : rows) {
            bool whole = false;
            const qint64 rowId = row.at(0).value_or(QString()).toLongLong(&whole);
            if (!whole)
                throw AccessError{u"\"%1\" tablosunda kayıt numarası (RowId) okunamayan bir satır var: \"%2\"."_s.arg(
                                      name, row.at(0).value_or(u"(boş)"_s)),
                                  {}};
            QStringList values;
            values.reserve(qsizetype(fields.size()));
            for (qsizetype c = 0; c < qsizetype(fields.size()); ++c) // this program never stores NULL
                values.append(importedText(roleOf(fields[c]), kinds.at(c + 1), row.at(c + 1).value_or(QString())));
            if (amount >= 0 && !ledger::storedAmount(values.at(amount)))
                ++m_amountsNotNumbers;
            if (currency >= 0 && values.at(currency) != "Lira"_L1 && values.at(currency) != "Dolar"_L1 &&
                values.at(currency) != "Euro"_L1)
                ++m_unknownCurrencies;
            converted.rowIds.append(rowId);
            converted.rows.append(values);
        }
        m_tables.last().found = int(rows.size());
        m_read->tables.append(std::move(converted));
    }
    // Every file of the earlier program holds the six tables: one with none has lost its list of tables.
    if (m_read->tables.isEmpty())
        throw AccessError{notAnAccessFile(), file.warnings().join(u"; "_s)};
    m_damageNoticed = !file.warnings().isEmpty();
}

AccessImport::~AccessImport() = default;

int AccessImport::rowsFound() const
{
    int rows = 0;
    for (const TableImport &table : m_tables)
        rows += qMax(table.found, 0);
    return rows;
}

bool AccessImport::databaseHasRecords()
{
    db::Connection connection;
    return hasRecords(connection);
}

bool AccessImport::hasMemberships() const
{
    for (const TableRows &table : m_read->tables) {
        if (qstrcmp(table.table->name, "Parolalar") == 0 && !table.rows.isEmpty())
            return true;
    }
    return false;
}

ImportResult AccessImport::run(Mode mode, const Progress &progress, const ValueSealing *sealing)
{
    const QList<TableRows> &read = m_read->tables;
    const int total = rowsFound();
    ImportResult result;
    result.tables = m_tables;
    result.damageNoticed = m_damageNoticed;
    result.amountsNotNumbers = m_amountsNotNumbers;
    result.unknownCurrencies = m_unknownCurrencies;
    if (mode == Mode::Replace && databaseHasRecords())
        result.safetyCopy = db::keepCopy(u"aktarim-oncesi"_s);

    db::Connection connection;
    db::Transaction transaction(connection);
    // Looked at again under the write lock: into an empty file the rows keep their numbers.
    result.keptRowIds = mode == Mode::Replace || !hasRecords(connection);
    int written = 0, told = 0;
    const auto goOn = [&] { return told = written, !progress || progress(written, total); };
    if (!goOn()) {
        result.cancelled = true;
        return result;
    }
    for (const TableRows &table : read) {
        TableImport &outcome = result.tables[table.index];
        const std::span<const schema::Column> fields = fieldsOf(*table.table);
        QHash<QString, int> existing;
        if (result.keptRowIds)
            connection.execute(sql::deleteAll(*table.table).constData());
        else
            existing = rowsIn(connection, *table.table, sealing);
        db::BatchedInsert insert(connection, *table.table, result.keptRowIds);
        const auto wrote = [&](qsizetype rows) {
            outcome.added += int(rows);
            written += int(rows);
        };
        db::Values values;
        for (qsizetype r = 0; r < table.rows.size(); ++r) {
            const QStringList &row = table.rows.at(r);
            if (!result.keptRowIds) {
                const auto found = existing.find(keyOf(row));
                if (found != existing.end() && found.value() > 0) {
                    --found.value();
                    ++outcome.skipped;
                    ++written;
                    continue;
                }
            }
            values.clear();
            if (result.keptRowIds)
                values.append(table.rowIds.at(r));
            for (qsizetype c = 0; c < row.size(); ++c) {
                const schema::Column &column = fields[c];
                values.append(sealing && column.sealed ? sealing->seal(row.at(c), column.name) : row.at(c));
            }
            if (const qsizetype batch = insert.add(values)) {
                wrote(batch);
                // Told every few rows: a progress box shown over the window redraws each time.
                if (written - told >= kTellEvery && !goOn()) {
                    result.cancelled = true;
                    return result;
                }
            }
        }
        wrote(insert.finish());
    }
    if (!goOn()) {
        result.cancelled = true;
        return result;
    }
    transaction.commit();
    return result;
}

} // namespace exchange
