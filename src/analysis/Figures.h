#pragma once

#include "data/Money.h"
#include "data/Totals.h"

#include <QString>

#include <array>
#include <optional>
#include <vector>

namespace db {
class Connection;
}

// The sums the charts draw, counted as "Hesapla" counts a period (ledger::totalsOf): in lira by each
// entry's own rate, exactly, an entry without a usable rate left out and counted.
namespace analysis {

struct MonthFigures
{
    ledger::WideKurus income = 0;
    ledger::WideKurus expense = 0;
};

struct YearFigures
{
    std::array<MonthFigures, 12> months;
    // The whole year, entries whose month is not 1 to 12 included: what "Hesapla" gives for it.
    ledger::Totals year;
};

// A year's income and expense month by month, in one walk. Nothing when an amount cannot be read, as
// for "Hesapla". Throws db::Error.
std::optional<YearFigures> yearFigures(db::Connection &connection, int year);

struct CategoryAmount
{
    QString category; // "Kategorisiz" for an entry without one
    ledger::WideKurus amount = 0;
};

struct CategoryFigures
{
    std::vector<CategoryAmount> income; // largest first
    std::vector<CategoryAmount> expense;
    ledger::Totals totals; // the sums of both lists
};

QString uncategorised(); // "Kategorisiz"

// A year's or, with `month` 1 to 12, a month's income and expense by category. Nothing when an amount
// cannot be read. Throws db::Error.
std::optional<CategoryFigures> categoryFigures(db::Connection &connection, int year, int month);

} // namespace analysis
