#include "data/RecurringStore.h"

#include "data/Dialect.h"
#include "data/Statements.h"
#include "data/TrashStore.h"

using namespace Qt::StringLiterals;

namespace {

constexpr const char16_t *kUnits[] = {u"months", u"weeks", u"years"};

QString unitText(Recurrence::Unit unit)
{
    return QString::fromUtf16(kUnits[int(unit)]);
}

Recurrence::Unit unitOf(const QString &text)
{
    for (int u = 0; u < int(std::size(kUnits)); ++u)
        if (text == QStringView(kUnits[u]))
            return Recurrence::Unit(u);
    return Recurrence::Unit::Months;
}

QString dayText(const QDate &day)
{
    return day.isValid() ? day.toString(Qt::ISODate) : QString();
}

QDate dayOf(const QString &text)
{
    return QDate::fromString(text, Qt::ISODate);
}

RecurringTemplate templateOf(const db::Rows &rows)
{
    RecurringTemplate t;
    t.rowId = rows.rowId();
    Entry &e = t.entry;
    e.kind = rows.text("Kind");
    e.source = rows.text("Source");
    e.amount = rows.text("Amount");
    e.currency = rows.text("Currency");
    e.rate = rows.text("Rate");
    e.vatRate = rows.text("VatRate");
    e.category = rows.text("Category");
    e.invoice = rows.text("Invoice");
    e.content = rows.text("Content");
    e.note = rows.text("Note");
    Recurrence &r = t.rule;
    r.unit = unitOf(rows.text("Unit"));
    r.every = rows.text("Every").toInt();
    r.day = rows.text("Day").toInt();
    r.month = rows.text("Month").toInt();
    r.start = dayOf(rows.text("StartDate"));
    r.end = dayOf(rows.text("EndDate"));
    r.times = rows.text("Times").toInt();
    t.doneThrough = dayOf(rows.text("DoneThrough"));
    return t;
}

db::Values valuesOf(const RecurringTemplate &t)
{
    const Entry &e = t.entry;
    const Recurrence &r = t.rule;
    return {e.kind,
            e.source,
            e.amount,
            e.currency,
            e.rate,
            e.vatRate,
            e.category,
            e.invoice,
            e.content,
            e.note,
            unitText(r.unit),
            QString::number(r.every),
            QString::number(r.day),
            QString::number(r.month),
            dayText(r.start),
            dayText(r.end),
            QString::number(r.times),
            dayText(t.doneThrough)};
}

QString statement(const char *condition, const char *lock = "")
{
    return QString::fromUtf8(sql::kRecurringFields) + QString::fromUtf8(condition) + QString::fromUtf8(lock);
}

} // namespace

std::vector<RecurringTemplate> RecurringStore::all()
{
    std::vector<RecurringTemplate> templates;
    for (db::Rows rows = m_connection.query(statement(sql::kRecurringAll)); !rows.atEnd(); rows.moveNext())
        templates.push_back(templateOf(rows));
    return templates;
}

std::optional<RecurringTemplate> RecurringStore::find(qint32 rowId, bool forUpdate)
{
    const char *lock = forUpdate ? db::dialect::lockRows(m_connection.engine()) : "";
    db::Rows rows = m_connection.query(statement(sql::kRecurringOne, lock), {rowId});
    if (rows.atEnd())
        return std::nullopt;
    return templateOf(rows);
}

int RecurringStore::add(const RecurringTemplate &recurring)
{
    return m_connection.execute(sql::kRecurringAdd, valuesOf(recurring));
}

int RecurringStore::update(const RecurringTemplate &recurring)
{
    return m_connection.execute(sql::kRecurringUpdate, valuesOf(recurring) << recurring.rowId);
}

int RecurringStore::remove(qint32 rowId)
{
    return TrashStore::removeKeeping(m_connection, schema::kRecurringEntries, sql::kRecurringRemove, {rowId});
}

int RecurringStore::setDoneThrough(qint32 rowId, const QDate &day)
{
    return m_connection.execute(sql::kRecurringDoneThrough, {dayText(day), rowId});
}

std::vector<Occurrence> RecurringStore::openOccurrences()
{
    std::vector<Occurrence> handled;
    for (db::Rows rows = m_connection.query(sql::kRecurringOpenOccurrences); !rows.atEnd(); rows.moveNext())
        handled.push_back({rows.text("TemplateId").toInt(), dayOf(rows.text("OccurrenceDate"))});
    return handled;
}

std::vector<QDate> RecurringStore::handled(qint32 rowId, const QDate &after)
{
    std::vector<QDate> days;
    for (db::Rows rows = m_connection.query(sql::kRecurringHandled, {rowId, dayText(after)}); !rows.atEnd();
         rows.moveNext())
        days.push_back(dayOf(rows.text("OccurrenceDate")));
    return days;
}

QDate RecurringStore::lastHandled(qint32 rowId)
{
    return dayOf(m_connection.query(sql::kRecurringLastHandled, {rowId}).text("Last"));
}

bool RecurringStore::mark(qint32 rowId, const QDate &day, Outcome outcome)
{
    const QString outcomeText = outcome == Outcome::Recorded ? u"recorded"_s : u"skipped"_s;
    return m_connection.execute(sql::kRecurringMark, {rowId, dayText(day), outcomeText}) == 1;
}
