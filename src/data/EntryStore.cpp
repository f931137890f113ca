#include "data/EntryStore.h"

#include "data/Dialect.h"
#include "data/Kinds.h"
#include "data/Statements.h"
#include "data/TableStatements.h"
#include "data/TrashStore.h"

using namespace Qt::StringLiterals;

namespace {

// Appends a period's month and year conditions; a date part is stored as a
// bare number, so it is matched as that text.
void appendPeriod(QString &statement, db::Values &values, const char *monthPart, const char *yearPart, int month,
                  int year)
{
    if (month > 0) {
        statement += QString::fromUtf8(monthPart);
        values << QString::number(month);
    }
    if (year > 0) {
        statement += QString::fromUtf8(yearPart);
        values << QString::number(year);
    }
}

// The values of kGelirGiderEkle, in its order.
db::Values insertedValues(const Entry &e)
{
    return {e.kind, e.day,     e.month,    e.year,    e.source, e.amount, e.currency,
            e.rate, e.vatRate, e.category, e.content, e.note,   e.invoice};
}

// The columns an entry's details and its report block share, in the order
// stored: a row that cannot be read names the first column that fails.
void readDetails(const db::Rows &rows, Entry &entry)
{
    entry.source = rows.text("IslemKaynagi");
    entry.amount = rows.text("IslemTutari");
    entry.currency = rows.text("TutarBirimi");
    entry.rate = rows.text("GecerliKur");
    entry.vatRate = rows.text("KdvOrani");
    entry.category = rows.text("IslemCesidi");
    entry.content = rows.text("IslemIcerigi");
    entry.note = rows.text("IslemNotu");
}

Entry readEntry(const db::Rows &rows, qint32 rowId)
{
    Entry e;
    e.rowId = rowId;
    e.kind = rows.text("IslemTuru");
    e.day = rows.text("Gun");
    e.month = rows.text("Ay");
    e.year = rows.text("Yil");
    readDetails(rows, e);
    e.invoice = rows.text("FaturaNo");
    return e;
}

} // namespace

std::optional<Entry> ReportEntries::next()
{
    if (m_rows.atEnd())
        return std::nullopt;
    Entry entry;
    entry.kind = m_kind;
    readDetails(m_rows, entry);
    if (m_kind == ledger::expense())
        entry.invoice = m_rows.text("FaturaNo"); // only expenses carry one
    m_rows.moveNext();
    return entry;
}

int EntryStore::add(const Entry &e)
{
    return m_connection.execute(sql::kGelirGiderEkle, insertedValues(e));
}

qint32 EntryStore::addNumbered(const Entry &e)
{
    // Both engines give the new row back: no second statement, no race with another desk.
    return m_connection
        .query(QByteArray(sql::kGelirGiderEkle).append(" RETURNING RowId").constData(), insertedValues(e))
        .rowId();
}

std::optional<Entry> EntryStore::find(qint32 rowId, bool forUpdate)
{
    const char *lock = forUpdate ? db::dialect::lockRows(m_connection.engine()) : "";
    db::Rows rows = m_connection.query(QByteArray(sql::kHareketDetay).append(lock).constData(), {rowId});
    if (rows.atEnd())
        return std::nullopt;
    return readEntry(rows, rowId);
}

int EntryStore::update(const Entry &e)
{
    if (!m_update)
        m_update.emplace(m_connection.prepare(sql::kHareketGuncelle));
    return m_update->execute(
        {e.amount, e.rate, e.vatRate, e.content, e.note, e.currency, e.day, e.month, e.year, e.invoice, e.rowId});
}

std::vector<Entry> EntryStore::foreignEntries(const QString &kind, int month, int year, bool forUpdate)
{
    QString statement = QString::fromUtf8(sql::kForeignEntries);
    db::Values values{u"Dolar"_s, u"Euro"_s};
    if (ledger::isKind(kind)) {
        statement += QString::fromUtf8(sql::kForeignKind);
        values << kind;
    }
    appendPeriod(statement, values, sql::kHareketAy, sql::kHareketYil, month, year);
    statement += QString::fromUtf8(sql::kRaporSirasi);
    if (forUpdate)
        statement += QString::fromUtf8(db::dialect::lockRows(m_connection.engine()));
    std::vector<Entry> entries;
    for (db::Rows rows = m_connection.query(statement, values); !rows.atEnd(); rows.moveNext())
        entries.push_back(readEntry(rows, rows.rowId()));
    return entries;
}

int EntryStore::remove(qint32 rowId)
{
    return TrashStore::removeKeeping(m_connection, schema::kGelirGider, sql::kHareketSil, {rowId});
}

std::vector<ledger::EntryAmount> EntryStore::periodAmounts(int month, int year)
{
    QString statement = QString::fromUtf8(sql::kToplamlar);
    db::Values values;
    appendPeriod(statement, values, sql::kToplamAy, sql::kToplamYil, month, year);
    std::vector<ledger::EntryAmount> amounts;
    for (db::Rows rows = m_connection.query(statement, values); !rows.atEnd(); rows.moveNext())
        amounts.push_back(
            {rows.text("IslemTuru"), rows.text("IslemTutari"), rows.text("TutarBirimi"), rows.text("GecerliKur")});
    return amounts;
}

ReportEntries EntryStore::reportEntries(const QString &kind, int month, int year)
{
    QString statement = QString::fromUtf8(sql::kRaporHareketleri);
    db::Values values{kind};
    appendPeriod(statement, values, sql::kRaporAy, sql::kRaporYil, month, year);
    statement += QString::fromUtf8(sql::kRaporSirasi);
    return ReportEntries(m_connection.query(statement, values), kind);
}

db::ListQuery EntryStore::list(const QString &kind, int month, int year)
{
    db::ListQuery query{QString::fromUtf8(sql::kHareketListesi), {}, "IslemKaynagi", sql::kPeriodOrder};
    if (kind == ledger::income())
        query.statement += QString::fromUtf8(sql::kHareketGelir);
    else if (kind == ledger::expense())
        query.statement += QString::fromUtf8(sql::kHareketGider);
    appendPeriod(query.statement, query.values, sql::kHareketAy, sql::kHareketYil, month, year);
    return query;
}

db::Rows EntryStore::listedRows(const db::ListQuery &listed)
{
    // A list of this store is its statement with filters appended: the same
    // conditions, from its WHERE on, pick the entries whole. (Wrapping the list
    // in a subquery instead would take about twice as long on a long list.)
    Q_ASSERT(listed.statement.startsWith(QString::fromUtf8(sql::kHareketListesi)));
    const QString statement = QString::fromUtf8(sql::selectFields(schema::kGelirGider)) +
                              listed.statement.mid(listed.statement.indexOf(u" WHERE "_s)) + u" ORDER BY RowId"_s;
    return m_connection.query(statement, listed.values);
}
