#include "analysis/Figures.h"

#include "analysis/MoneyText.h"
#include "analysis/TurkishText.h"
#include "data/Database.h"
#include "data/Statements.h"

#include <QHash>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace analysis {

namespace {

enum class Side { Income, Expense, None };

Side sideOf(QByteArrayView kind)
{
    return kind == "Gelir" ? Side::Income : kind == "Gider" ? Side::Expense : Side::None;
}

// Adds one entry's lira value to `totals` as totalsOf does; false when its amount cannot be read.
bool count(ledger::Totals &totals, Side side, const StoredValue &value)
{
    if (!value.readable)
        return false;
    if (side == Side::None)
        return true;
    if (!value.lira)
        ++totals.leftOut;
    else
        (side == Side::Income ? totals.income : totals.expense) += *value.lira;
    return true;
}

std::vector<CategoryAmount> largestFirst(const QHash<QString, ledger::WideKurus> &sums)
{
    std::vector<CategoryAmount> list;
    for (auto it = sums.cbegin(); it != sums.cend(); ++it)
        list.push_back({it.key(), it.value()});
    std::sort(list.begin(), list.end(), [](const CategoryAmount &a, const CategoryAmount &b) {
        if (a.amount != b.amount)
            return a.amount > b.amount;
        return turkishSortKey(a.category.toUtf8()) < turkishSortKey(b.category.toUtf8());
    });
    return list;
}

} // namespace

QString uncategorised()
{
    return u"Kategorisiz"_s;
}

std::optional<YearFigures> yearFigures(db::Connection &connection, int year)
{
    YearFigures figures;
    // Columns: Ay, IslemTuru, IslemTutari, TutarBirimi, GecerliKur.
    for (db::Rows rows = connection.query(sql::kYilRakamlari, {QString::number(year)}); !rows.atEnd();
         rows.moveNext()) {
        const Side side = sideOf(rows.utf8(1));
        const StoredValue value = storedValue(rows.utf8(2), rows.utf8(3), rows.utf8(4));
        if (!count(figures.year, side, value))
            return std::nullopt;
        const int month = dateKey("1", rows.utf8(0), "2000") / 100 % 100;
        if (month == 0 || side == Side::None || !value.lira)
            continue;
        MonthFigures &m = figures.months[size_t(month - 1)];
        (side == Side::Income ? m.income : m.expense) += *value.lira;
    }
    return figures;
}

std::optional<CategoryFigures> categoryFigures(db::Connection &connection, int year, int month)
{
    QString statement = QString::fromUtf8(sql::kKategoriRakamlari);
    db::Values values{QString::number(year)};
    if (month > 0) {
        statement += QString::fromUtf8(sql::kKategoriRakamlariAy);
        values << QString::number(month);
    }
    CategoryFigures figures;
    QHash<QString, ledger::WideKurus> income, expense;
    // Columns: IslemCesidi, IslemTuru, IslemTutari, TutarBirimi, GecerliKur.
    for (db::Rows rows = connection.query(statement, values); !rows.atEnd(); rows.moveNext()) {
        const Side side = sideOf(rows.utf8(1));
        const StoredValue value = storedValue(rows.utf8(2), rows.utf8(3), rows.utf8(4));
        if (!count(figures.totals, side, value))
            return std::nullopt;
        if (side == Side::None || !value.lira)
            continue;
        const QString category = QString::fromUtf8(rows.utf8(0)).trimmed();
        (side == Side::Income ? income : expense)[category.isEmpty() ? uncategorised() : category] += *value.lira;
    }
    figures.income = largestFirst(income);
    figures.expense = largestFirst(expense);
    return figures;
}

} // namespace analysis
