#include "core/RecurringEntries.h"

#include "core/Calendar.h"
#include "data/CategoryStore.h"
#include "data/CompanyStore.h"
#include "data/Kinds.h"

#include <QHash>
#include <QSet>

#include <algorithm>

namespace core {

namespace {

QStringList namesOf(db::Connection &connection, const db::ListQuery &list)
{
    QStringList names;
    for (db::Rows rows = connection.query(list.statement, list.values); !rows.atEnd(); rows.moveNext())
        names.append(rows.text(list.textColumn));
    return names;
}

// The names an entry of each kind may take, read once for a whole list.
class Choices
{
public:
    explicit Choices(db::Connection &connection)
    {
        for (const QString &kind : {ledger::income(), ledger::expense()}) {
            m_sources[kind] = setOf(connection, CompanyStore::sources(kind));
            m_categories[kind] = setOf(connection, CategoryStore::list(kind));
        }
    }

    // As entryRefusal() finds a company or category gone.
    std::optional<EntryRefusal> problem(const Entry &entry) const
    {
        if (!offers(m_sources.value(entry.kind), entry.source))
            return EntryRefusal::Source;
        if (!offers(m_categories.value(entry.kind), entry.category))
            return EntryRefusal::Category;
        return std::nullopt;
    }

private:
    static QSet<QString> setOf(db::Connection &connection, const db::ListQuery &list)
    {
        const QStringList names = namesOf(connection, list);
        return QSet<QString>(names.begin(), names.end());
    }
    // What db::isOffered says of one name, over names read already.
    static bool offers(const QSet<QString> &names, const QString &name)
    {
        return names.contains(name) || (name.isEmpty() && names.isEmpty());
    }

    QHash<QString, QSet<QString>> m_sources;
    QHash<QString, QSet<QString>> m_categories;
};

Result<TemplateRefusal> refusedTemplate(TemplateRefusal why)
{
    return Result<TemplateRefusal>::refused(why);
}

// The template's checks, on the connection it is written on; nothing when it may be stored.
std::optional<TemplateRefusal> templateRefusal(db::Connection &connection, const RecurringTemplate &recurring)
{
    if (const std::optional<EntryRefusal> refusal = entryRefusal(connection, recurring.entry))
        return *refusal;
    if (const std::optional<RuleRefusal> refusal = ruleRefusal(recurring.rule))
        return *refusal;
    return std::nullopt;
}

RecurringTemplate storedForm(const RecurringTemplate &recurring)
{
    RecurringTemplate stored = recurring;
    stored.entry.amount = ledger::amountText(*ledger::parseAmount(recurring.entry.amount), 2);
    stored.entry.day.clear();
    stored.entry.month.clear();
    stored.entry.year.clear();
    return stored;
}

// DoneThrough moved past the occurrences handled since, after one was written.
void advance(RecurringStore &store, const RecurringTemplate &recurring)
{
    const std::vector<QDate> handled = store.handled(recurring.rowId, recurring.doneThrough);
    const QDate through = calendar::handledThrough(recurring.rule, recurring.doneThrough, handled);
    if (through != recurring.doneThrough)
        store.setDoneThrough(recurring.rowId, through);
}

bool sameAsShown(const RecurringTemplate &stored, const RecurringTemplate &shown)
{
    // Its progress moves with every confirmation; what the user saw is the entry and the rule.
    return stored.entry == shown.entry && stored.rule == shown.rule;
}

} // namespace

std::optional<RuleRefusal> ruleRefusal(const Recurrence &rule)
{
    if (rule.every < 1 || rule.every > 99)
        return RuleRefusal::Every;
    if (rule.day < 1 || rule.day > (rule.unit == Recurrence::Unit::Weeks ? 7 : 31))
        return RuleRefusal::Day;
    if (rule.month < 1 || rule.month > 12)
        return RuleRefusal::Month;
    if (!rule.start.isValid())
        return RuleRefusal::Start;
    if (rule.end.isValid() && rule.end < rule.start)
        return RuleRefusal::End;
    if (rule.times < 0)
        return RuleRefusal::Times;
    return std::nullopt;
}

std::vector<ListedTemplate> RecurringEntries::list()
{
    db::Connection connection;
    RecurringStore store(connection);
    std::vector<RecurringTemplate> templates = store.all();
    const std::vector<Occurrence> handled = store.openOccurrences();
    const Choices choices(connection);
    std::vector<ListedTemplate> listed;
    auto from = handled.begin();
    for (RecurringTemplate &recurring : templates) {
        std::vector<QDate> own;
        for (; from != handled.end() && from->templateId <= recurring.rowId; ++from)
            if (from->templateId == recurring.rowId)
                own.push_back(from->date);
        // The first day after DoneThrough that is not handled yet.
        const QDate through = calendar::handledThrough(recurring.rule, recurring.doneThrough, own);
        const std::vector<QDate> next = calendar::days(recurring.rule, through, {}, 1);
        const std::optional<EntryRefusal> problem = choices.problem(recurring.entry);
        listed.push_back({std::move(recurring), problem, next.empty() ? QDate() : next.front()});
    }
    return listed;
}

std::optional<RecurringTemplate> RecurringEntries::find(qint32 rowId)
{
    db::Connection connection;
    return RecurringStore(connection).find(rowId);
}

Result<TemplateRefusal> RecurringEntries::add(const RecurringTemplate &recurring)
{
    db::Connection connection;
    db::Transaction transaction(connection);
    if (const std::optional<TemplateRefusal> refusal = templateRefusal(connection, recurring))
        return refusedTemplate(*refusal);
    RecurringTemplate stored = storedForm(recurring);
    stored.doneThrough = {};
    RecurringStore(connection).add(stored);
    transaction.commit();
    return Result<TemplateRefusal>::done();
}

Result<TemplateRefusal> RecurringEntries::update(const RecurringTemplate &original, const RecurringTemplate &recurring)
{
    db::Connection connection;
    db::Transaction transaction(connection);
    if (const std::optional<TemplateRefusal> refusal = templateRefusal(connection, recurring))
        return refusedTemplate(*refusal);
    RecurringStore store(connection);
    const std::optional<RecurringTemplate> now = store.find(original.rowId, true);
    if (!now)
        return Result<TemplateRefusal>::gone();
    if (*now != original)
        return Result<TemplateRefusal>::changed();
    RecurringTemplate stored = storedForm(recurring);
    stored.rowId = original.rowId;
    stored.doneThrough = now->doneThrough;
    if (stored.rule != now->rule) {
        // What was recorded or skipped stays; the new rule takes over after the last of it.
        stored.doneThrough = std::max(stored.doneThrough, store.lastHandled(original.rowId));
    }
    store.update(stored);
    transaction.commit();
    return Result<TemplateRefusal>::done(original.rowId);
}

Change RecurringEntries::remove(qint32 rowId)
{
    db::Connection connection;
    return changeOf(RecurringStore(connection).remove(rowId), rowId);
}

QStringList RecurringEntries::categories(const QString &kind)
{
    db::Connection connection;
    return namesOf(connection, CategoryStore::list(kind));
}

DueList RecurringEntries::due(const QDate &today)
{
    db::Connection connection;
    RecurringStore store(connection);
    std::vector<RecurringTemplate> templates = store.all();
    const std::vector<Occurrence> handled = store.openOccurrences();
    DueList due;
    auto from = handled.begin();
    std::vector<QDate> own;
    for (RecurringTemplate &recurring : templates) {
        own.clear();
        for (; from != handled.end() && from->templateId <= recurring.rowId; ++from)
            if (from->templateId == recurring.rowId)
                own.push_back(from->date);
        const std::vector<QDate> days = calendar::dueDays(recurring.rule, recurring.doneThrough, own, today);
        if (days.empty())
            continue;
        const qsizetype index = qsizetype(due.templates.size());
        for (const QDate &day : days)
            due.occurrences.push_back({index, day});
        due.templates.push_back({std::move(recurring), std::nullopt, days.front()});
    }
    if (!due.templates.empty()) {
        const Choices choices(connection);
        for (ListedTemplate &listed : due.templates)
            listed.problem = choices.problem(listed.recurring.entry);
    }
    std::stable_sort(due.occurrences.begin(), due.occurrences.end(),
                     [](const DueList::Due &a, const DueList::Due &b) { return a.date < b.date; });
    return due;
}

Confirmation RecurringEntries::confirm(const std::vector<TickedOccurrence> &ticked)
{
    Confirmation confirmation;
    db::Connection connection;
    db::Transaction transaction(connection);
    RecurringStore store(connection);
    // Each template read under its lock: a second desk confirming the same waits, then finds
    // the occurrences written and leaves them out.
    QHash<qint32, RecurringTemplate> locked;
    for (const TickedOccurrence &occurrence : ticked) {
        const qint32 id = occurrence.shown.rowId;
        if (!locked.contains(id)) {
            const std::optional<RecurringTemplate> now = store.find(id, true);
            if (!now)
                return {Result<EntryRefusal>::gone()};
            if (!sameAsShown(*now, occurrence.shown))
                return {Result<EntryRefusal>::changed()};
            locked.insert(id, *now);
        }
        if (!store.mark(id, occurrence.date, RecurringStore::Outcome::Recorded)) {
            ++confirmation.already;
            continue;
        }
        Entry entry = occurrence.shown.entry;
        entry.day = QString::number(occurrence.date.day());
        entry.month = QString::number(occurrence.date.month());
        entry.year = QString::number(occurrence.date.year());
        Result<EntryRefusal> added = addEntry(connection, entry);
        if (!added.isDone()) {
            added.rowId = id;
            return {added};
        }
        ++confirmation.recorded;
    }
    for (const RecurringTemplate &recurring : std::as_const(locked))
        advance(store, recurring);
    transaction.commit();
    return confirmation;
}

Change RecurringEntries::skip(qint32 templateId, const QDate &date)
{
    db::Connection connection;
    db::Transaction transaction(connection);
    RecurringStore store(connection);
    const std::optional<RecurringTemplate> now = store.find(templateId, true);
    if (!now)
        return Change::gone();
    if (store.mark(templateId, date, RecurringStore::Outcome::Skipped))
        advance(store, *now);
    transaction.commit();
    return Change::done(templateId);
}

} // namespace core
