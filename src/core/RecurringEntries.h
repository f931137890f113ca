#pragma once

#include "core/Entries.h"
#include "core/Result.h"
#include "data/RecurringStore.h"

#include <QDate>
#include <QStringList>

#include <optional>
#include <variant>
#include <vector>

namespace core {

// The part of a rule that keeps its template from being stored.
enum class RuleRefusal {
    Every, // not 1 to 99
    Day,   // not a day of the month (1 to 31), or a weekday (1 to 7) for weeks
    Month, // not 1 to 12
    Start, // no start date
    End,   // an end date before the start
    Times, // fewer than 0
};
// A template is refused for a field of its entry or for its rule.
using TemplateRefusal = std::variant<EntryRefusal, RuleRefusal>;

std::optional<RuleRefusal> ruleRefusal(const Recurrence &rule);

// A template as its list shows it.
struct ListedTemplate
{
    RecurringTemplate recurring;
    // EntryRefusal::Source or Category when its company or category was deleted meanwhile: none of
    // its occurrences is recorded until the user chooses another.
    std::optional<EntryRefusal> problem;
    QDate next; // the first day not yet recorded nor skipped; not valid when none is left
};

// The occurrences fallen due, by date.
struct DueList
{
    struct Due
    {
        qsizetype index; // of its template in `templates`
        QDate date;
    };
    std::vector<ListedTemplate> templates; // those with an occurrence due, in the order added
    std::vector<Due> occurrences;
};

// An occurrence the user ticked, with its template as the list showed it.
struct TickedOccurrence
{
    RecurringTemplate shown;
    QDate date;
};

struct Confirmation
{
    // Refused, gone or changed: nothing was written; rowId names the template.
    Result<EntryRefusal> result;
    int recorded = 0; // entries written now
    int already = 0;  // recorded or skipped by another desk meanwhile: left as they were
};

// Recurring entries: templates with a rule, whose occurrences the user records as they fall due.
class RecurringEntries
{
public:
    std::vector<ListedTemplate> list(); // in the order added
    std::optional<RecurringTemplate> find(qint32 rowId);
    // Checked as an entry is (its amount stored with two decimals), and its rule.
    Result<TemplateRefusal> add(const RecurringTemplate &recurring);
    // Changed, writing nothing, when the stored template is no longer `original`. A new rule
    // applies only after the last occurrence recorded or skipped: those stay as they were.
    Result<TemplateRefusal> update(const RecurringTemplate &original, const RecurringTemplate &recurring);
    Change remove(qint32 rowId); // into the trash; the entries it recorded stay

    // The names of a kind's categories in stored order, for the template's field (its companies
    // are Entries::sources).
    QStringList categories(const QString &kind);

    DueList due(const QDate &today);
    // Records each ticked occurrence as an entry on its date, through the checks of Entries::add,
    // with the template's progress, in one transaction: all of them or none. An occurrence another
    // desk recorded or skipped meanwhile is left out, so none is recorded twice.
    Confirmation confirm(const std::vector<TickedOccurrence> &ticked);
    // The occurrence is never offered again. Gone when the template is.
    Change skip(qint32 templateId, const QDate &date);
};

} // namespace core
