#include "core/Calendar.h"

#include <algorithm>

namespace calendar {

namespace {

int daysInMonth(int year, int month)
{
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && QDate::isLeapYear(year) ? 29 : kDays[month - 1];
}

bool isHandled(std::span<const QDate> handled, const QDate &day)
{
    return std::binary_search(handled.begin(), handled.end(), day);
}

} // namespace

QDate dayInMonth(int year, int month, int day)
{
    return QDate(year, month, std::min(day, daysInMonth(year, month)));
}

Series::Series(const Recurrence &rule) : m_rule(rule)
{
    if (rule.unit == Recurrence::Unit::Weeks && rule.start.isValid())
        m_firstWeekDay = rule.start.toJulianDay() + (rule.day - rule.start.dayOfWeek() + 7) % 7;
}

QDate Series::at(int step) const
{
    const Recurrence &r = m_rule;
    switch (r.unit) {
    case Recurrence::Unit::Months: {
        const int months = r.start.year() * 12 + r.start.month() - 1 + step * r.every;
        return dayInMonth(months / 12, months % 12 + 1, r.day);
    }
    case Recurrence::Unit::Weeks: return QDate::fromJulianDay(m_firstWeekDay + qint64(step) * 7 * r.every);
    case Recurrence::Unit::Years: return dayInMonth(r.start.year() + step * r.every, r.month, r.day);
    }
    return {};
}

QDate Series::next()
{
    const Recurrence &r = m_rule;
    const bool fits = r.start.isValid() && r.every >= 1 && r.day >= 1 &&
                      r.day <= (r.unit == Recurrence::Unit::Weeks ? 7 : 31) && r.month >= 1 && r.month <= 12;
    if (!fits || (r.times > 0 && m_given >= r.times))
        return {};
    QDate day = at(m_step++);
    if (day < r.start) // only the first month or year can start before the start
        day = at(m_step++);
    if (!day.isValid() || (r.end.isValid() && day > r.end))
        return {};
    ++m_given;
    return day;
}

std::vector<QDate> days(const Recurrence &rule, const QDate &after, const QDate &until, int most)
{
    std::vector<QDate> found;
    Series series(rule);
    for (QDate day = series.next(); day.isValid() && int(found.size()) < most; day = series.next()) {
        if (until.isValid() && day > until)
            break;
        if (!after.isValid() || day > after)
            found.push_back(day);
    }
    return found;
}

std::vector<QDate> dueDays(const Recurrence &rule, const QDate &doneThrough, std::span<const QDate> handled,
                           const QDate &today)
{
    std::vector<QDate> due;
    Series series(rule);
    for (QDate day = series.next(); day.isValid() && day <= today; day = series.next()) {
        if ((!doneThrough.isValid() || day > doneThrough) && !isHandled(handled, day))
            due.push_back(day);
    }
    return due;
}

QDate handledThrough(const Recurrence &rule, const QDate &doneThrough, std::span<const QDate> handled)
{
    QDate through = doneThrough;
    Series series(rule);
    for (QDate day = series.next(); day.isValid(); day = series.next()) {
        if (doneThrough.isValid() && day <= doneThrough)
            continue;
        if (!isHandled(handled, day))
            break;
        through = day;
    }
    return through;
}

} // namespace calendar
