#include "data/Backup.h"

#include <algorithm>
#include <numeric>
#include <set>

namespace db {
namespace {

constexpr int kDailyKept = 7;
constexpr int kWeeklyKept = 4;
constexpr int kMonthlyKept = 12;

} // namespace

QList<qsizetype> rotationRemovals(const QList<QDateTime> &made, const QDate &today)
{
    QList<qsizetype> newestFirst(made.size());
    std::iota(newestFirst.begin(), newestFirst.end(), 0);
    std::stable_sort(newestFirst.begin(), newestFirst.end(),
                     [&](qsizetype a, qsizetype b) { return made[a] > made[b]; });

    std::set<qsizetype> kept;
    // Walks the copies newest first and keeps the first one met in each of the
    // first `count` periods.
    const auto keepNewestOf = [&](int count, auto periodOf) {
        std::set<qint64> periods;
        for (const qsizetype index : newestFirst) {
            const qint64 period = periodOf(made[index].date());
            if (periods.contains(period))
                continue;
            if (int(periods.size()) == count)
                break;
            periods.insert(period);
            kept.insert(index);
        }
    };
    keepNewestOf(kDailyKept, [](const QDate &day) { return day.toJulianDay(); });
    keepNewestOf(kWeeklyKept, [](const QDate &day) {
        int year = 0;
        const int week = day.weekNumber(&year);
        return qint64(year) * 100 + week;
    });
    keepNewestOf(kMonthlyKept, [](const QDate &day) { return qint64(day.year()) * 12 + day.month(); });

    QList<qsizetype> removed;
    for (qsizetype index = 0; index < made.size(); ++index)
        if (!kept.contains(index) && made[index].date() < today)
            removed << index;
    return removed;
}

} // namespace db
