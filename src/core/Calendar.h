#pragma once

#include "data/RecurringStore.h"

#include <QDate>

#include <climits>
#include <span>
#include <vector>

// The days a recurring entry falls on. Plain functions of the rule, without the database.
//
// - Every N months on day D: the months counted from the start's month; in a month shorter
//   than D, its last day (the 31st falls on 30 April and on 28 or 29 February).
// - Every N weeks on a weekday: the first such weekday on or after the start, then every 7N days,
//   across the year's end alike.
// - Every N years on a date: the years counted from the start's year; 29 February falls on the
//   28th in the other years.
// - Nothing before the start; nothing after the end date; no more than the number of times
//   (counted from the start), whichever ends it first.
namespace calendar {

// `day` of `month` in `year`, or the month's last day when it has fewer.
QDate dayInMonth(int year, int month, int day);

// The rule's days in order, one at a time.
class Series
{
public:
    explicit Series(const Recurrence &rule);
    QDate next(); // not valid after the last

private:
    QDate at(int step) const; // the step-th candidate, before the start and end are looked at

    Recurrence m_rule;
    int m_step = 0;
    int m_given = 0;
    qint64 m_firstWeekDay = 0; // weeks: the first day, as a Julian day
};

// The rule's days after `after` (from the start when not valid), up to `until` (no limit when not
// valid), at most `most` of them.
std::vector<QDate> days(const Recurrence &rule, const QDate &after, const QDate &until, int most = INT_MAX);

// The days that have fallen due by `today`: the rule's days after `doneThrough` that are not
// among `handled` (recorded or skipped, sorted).
std::vector<QDate> dueDays(const Recurrence &rule, const QDate &doneThrough, std::span<const QDate> handled,
                           const QDate &today);

// How far every day of the rule is handled: `doneThrough` moved past the days after it that are
// among `handled` (sorted), up to the first that is not.
QDate handledThrough(const Recurrence &rule, const QDate &doneThrough, std::span<const QDate> handled);

} // namespace calendar
